// The studio features the main loop calls that live in their own files:
// the clock and texts, the player's model, the weather, and the modifier chain.
#pragma once

struct StudioState;

void RunClockMode(StudioState& studio);       // Insert + '0': the clock mode; ends the pass
void TextsOn(StudioState& studio);            // Insert + 'T': texts on; the pass goes on
void TextsOff(StudioState& studio);           // Delete + 'T': texts off; the pass goes on
void UnfreezeClock(StudioState& studio);      // Delete + '0': lets the clock and weather run; ends the pass
void ChoosePlayerModel(StudioState& studio);  // Insert + 'S': the player's model choice; ends the pass
void NextWeather(StudioState& studio);        // Insert + '9': the next weather; ends the pass
// The modifier rows (animation, car settings) with their own re-polling and
// the hold step after the first of them; returns when the pass ends.
void RunModifierChain(StudioState& studio);
