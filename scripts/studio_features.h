// The studio features the main loop calls that live in their own files:
// the clock and texts, the player's model, the weather, and the modifier chain.
#pragma once

struct StudioState;

void RunClockMode(StudioState& studio);          // Home: the clock mode; ends the pass
void TextsOn(StudioState& studio);               // texts on; the pass goes on
void TextsOff(StudioState& studio);              // texts off; the pass goes on
void UnfreezeClock(StudioState& studio);         // End: lets the clock and weather run; ends the pass
void ChoosePlayerModel(StudioState& studio);     // the player's model choice; ends the pass
void NextWeather(StudioState& studio);           // the next weather; ends the pass
// The modifier rows (animation, car settings) with their own re-polling and
// the hold step after the first of them; returns when the pass ends.
void RunModifierChain(StudioState& studio);
