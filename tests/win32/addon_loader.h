// What the two stand-in add-on loaders share: loading the module as such
// loaders load every .asi file in the game's folder.
#pragma once

// Loads brindle_studios.asi from the game's folder (its program's).
void LoadAddOnModules();
