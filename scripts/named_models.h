// The named models: host model names that are loaded into a special-character
// slot and then made under that slot's model number. The ped choices of the
// groups and the player's model choice browse the same list.
#pragma once

static const int kNamedModelCount = 73;

// Position p (1 to 73) is namedModels[p - 1]; positions without a name hold
// nullptr and are never shown.
extern const char* const namedModels[];
