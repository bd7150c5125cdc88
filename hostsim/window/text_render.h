// Text for the studio window: the fonts, cached text textures, and the host's
// inline colour codes (~r~ red, ~b~ blue, ~h~ back to normal, ~1~ the number)
// laid out in wrapped lines.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>
#include <vector>

namespace hostsim {

enum FontId {
    kFontPanel,     // the side panel and labels
    kFontMono,      // the command list
    kFontSubtitle,  // style 1 texts
    kFontTitle,     // style 2 texts
    kFontHud,       // clock and weather
    kFontCount,
};

// Loads the fonts from the Debian font directories; false when none is found.
bool OpenFonts(SDL_Renderer* renderer);

// Draws one run of text with its top-left at (x, y); returns its width.
int DrawText(FontId font, const std::string& text, SDL_Color colour, int x, int y);
// A frame is drawn: the texts that no recent frame drew are let go.
void EndTextFrame();
int TextWidth(FontId font, const std::string& text);
int LineHeight(FontId font);
// The text cut to fit the width, with an ellipsis where it was cut: at the
// end, or at the start when the end is what matters (a file's path).
enum ElideFrom { kElideEnd, kElideStart };
std::string ElideText(FontId font, const std::string& text, int width, ElideFrom from = kElideEnd);

// A host text as coloured pieces, wrapped to the width.
struct TextPiece {
    std::string text;
    SDL_Color colour;
    int x;  // from the line's left edge
};
struct TextLine {
    std::vector<TextPiece> pieces;
    int width;
};
std::vector<TextLine> LayOutHostText(FontId font, const std::string& text, int number, SDL_Color normal, int maxWidth);
// Draws laid-out lines centred on centreX from y down, with a drop shadow.
void DrawCentredLines(FontId font, const std::vector<TextLine>& lines, int centreX, int y);

}  // namespace hostsim
