// The host's inline codes in a text: ~r~ red, ~b~ blue, ~h~ (or any other
// letter) back to normal, and ~1~ for the number a number text carries. One
// reading for the readable log and the studio window.
#pragma once

#include <string>
#include <vector>

namespace hostsim {

enum TextColour { kNormalText, kRedText, kBlueText };

// A stretch of the text in one colour. Every run but the first begins at a
// colour code, even one that changes nothing or is followed by no text.
struct TextRun {
    TextColour colour;
    std::string text;
};

// The runs of the text, ~1~ replaced by the number.
std::vector<TextRun> TextRuns(const std::string& text, int number);

}  // namespace hostsim
