// Fonts, the text texture cache and the layout of the host's coloured texts.
#include "hostsim/window/text_render.h"

#include <map>
#include <tuple>

#include "hostsim/record/text_codes.h"

namespace hostsim {

struct FontFile {
    const char* file;
    int size;
};

// DejaVu ships with Debian (fonts-dejavu-core).
// clang-format off
static const char* const kFontDirectories[] = {
    "/usr/share/fonts/truetype/dejavu/",
    "/usr/share/fonts/dejavu/",
};

static const FontFile kFontFiles[kFontCount] = {
    { "DejaVuSans.ttf",          14 },  // kFontPanel
    { "DejaVuSansMono.ttf",      13 },  // kFontMono
    { "DejaVuSans-Bold.ttf",     21 },  // kFontSubtitle
    { "DejaVuSans-Bold.ttf",     52 },  // kFontTitle
    { "DejaVuSans-Bold.ttf",     22 },  // kFontHud
};
// clang-format on

static SDL_Renderer* renderer = nullptr;
static TTF_Font* fonts[kFontCount] = {};

// Texts are drawn anew every frame and mostly the same ones come back, so
// their textures are kept while they are drawn. One not drawn for a while
// (a clock's last minute, a label of a ped gone) is dropped: the cache holds
// what the picture shows, not all it ever showed.
typedef std::tuple<int, std::string, uint32_t> CacheKey;
struct CachedText {
    SDL_Texture* texture;
    int width, height;
    uint64_t drawnIn;  // the last frame that drew it
};
static std::map<CacheKey, CachedText> cache;
static uint64_t frameNumber = 0;
static const uint64_t kKeptForFrames = 25;

bool OpenFonts(SDL_Renderer* target)
{
    renderer = target;
    if (TTF_Init() != 0)
        return false;
    for (int id = 0; id < kFontCount; ++id) {
        for (const char* directory : kFontDirectories) {
            std::string path = std::string(directory) + kFontFiles[id].file;
            fonts[id] = TTF_OpenFont(path.c_str(), kFontFiles[id].size);
            if (fonts[id])
                break;
        }
        if (!fonts[id])
            return false;
    }
    return true;
}

void EndTextFrame()
{
    for (auto entry = cache.begin(); entry != cache.end();) {
        if (frameNumber - entry->second.drawnIn < kKeptForFrames) {
            ++entry;
            continue;
        }
        SDL_DestroyTexture(entry->second.texture);
        entry = cache.erase(entry);
    }
    ++frameNumber;
}

static const CachedText* Cached(FontId font, const std::string& text, SDL_Color colour)
{
    uint32_t rgba = (uint32_t(colour.r) << 24) | (uint32_t(colour.g) << 16) | (uint32_t(colour.b) << 8) | colour.a;
    CacheKey key(font, text, rgba);
    auto found = cache.find(key);
    if (found != cache.end()) {
        found->second.drawnIn = frameNumber;
        return &found->second;
    }
    SDL_Surface* surface = TTF_RenderUTF8_Blended(fonts[font], text.c_str(), colour);
    if (!surface)
        return nullptr;
    CachedText made = { SDL_CreateTextureFromSurface(renderer, surface), surface->w, surface->h, frameNumber };
    SDL_FreeSurface(surface);
    return &(cache[key] = made);
}

int DrawText(FontId font, const std::string& text, SDL_Color colour, int x, int y)
{
    if (text.empty())
        return 0;
    const CachedText* cached = Cached(font, text, colour);
    if (!cached || !cached->texture)
        return 0;
    SDL_Rect where = { x, y, cached->width, cached->height };
    SDL_RenderCopy(renderer, cached->texture, nullptr, &where);
    return cached->width;
}

int TextWidth(FontId font, const std::string& text)
{
    int width = 0, height = 0;
    TTF_SizeUTF8(fonts[font], text.c_str(), &width, &height);
    return width;
}

int LineHeight(FontId font)
{
    return TTF_FontLineSkip(fonts[font]);
}

static const char kEllipsis[] = "\xE2\x80\xA6";

static bool ContinuesCharacter(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Keeps `kept` bytes of the text (moved onto a character boundary) and puts
// the ellipsis where the rest was.
static std::string Shortened(const std::string& text, size_t kept, ElideFrom from)
{
    if (from == kElideEnd) {
        while (kept > 0 && ContinuesCharacter(text[kept]))
            --kept;
        return text.substr(0, kept) + kEllipsis;
    }
    size_t start = text.size() - kept;
    while (start < text.size() && ContinuesCharacter(text[start]))
        ++start;
    return kEllipsis + text.substr(start);
}

std::string ElideText(FontId font, const std::string& text, int width, ElideFrom from)
{
    if (TextWidth(font, text) <= width)
        return text;
    // The most bytes kept that still fit, by halving.
    size_t fits = 0, tooMany = text.size();
    while (tooMany - fits > 1) {
        size_t middle = (fits + tooMany) / 2;
        if (TextWidth(font, Shortened(text, middle, from)) <= width)
            fits = middle;
        else
            tooMany = middle;
    }
    return Shortened(text, fits, from);
}

static const SDL_Color kHostRed = { 224, 64, 56, 255 };
static const SDL_Color kHostBlue = { 96, 150, 255, 255 };

struct Word {
    std::string text;
    SDL_Color colour;
};

// Splits the text into words, each in the colour its codes give it.
static std::vector<Word> Words(const std::string& text, int number, SDL_Color normal)
{
    std::vector<Word> words;
    for (const TextRun& run : TextRuns(text, number)) {
        const SDL_Color colour = run.colour == kRedText ? kHostRed : run.colour == kBlueText ? kHostBlue : normal;
        std::string word;
        for (char c : run.text) {
            if (c != ' ') {
                word += c;
                continue;
            }
            if (!word.empty())
                words.push_back({ word, colour });
            word.clear();
            words.push_back({ " ", colour });
        }
        if (!word.empty())
            words.push_back({ word, colour });
    }
    return words;
}

static bool SameColour(SDL_Color a, SDL_Color b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

std::vector<TextLine> LayOutHostText(FontId font, const std::string& text, int number, SDL_Color normal, int maxWidth)
{
    std::vector<TextLine> lines(1);
    lines[0].width = 0;
    for (const Word& word : Words(text, number, normal)) {
        TextLine* line = &lines.back();
        bool space = word.text == " ";
        if (space && line->pieces.empty())
            continue;
        int width = TextWidth(font, word.text);
        if (!space && line->width > 0 && line->width + width > maxWidth) {
            // A space left at the end of the line is dropped with the break.
            if (!line->pieces.empty() && line->pieces.back().text.size() && line->pieces.back().text.back() == ' ') {
                line->pieces.back().text.pop_back();
                line->width = line->pieces.back().x + TextWidth(font, line->pieces.back().text);
            }
            lines.push_back(TextLine { {}, 0 });
            line = &lines.back();
        }
        if (!line->pieces.empty() && SameColour(line->pieces.back().colour, word.colour))
            line->pieces.back().text += word.text;
        else
            line->pieces.push_back({ word.text, word.colour, line->width });
        line->width = line->pieces.back().x + TextWidth(font, line->pieces.back().text);
    }
    return lines;
}

void DrawCentredLines(FontId font, const std::vector<TextLine>& lines, int centreX, int y)
{
    static const SDL_Color kShadow = { 0, 0, 0, 255 };
    for (const TextLine& line : lines) {
        int left = centreX - line.width / 2;
        for (const TextPiece& piece : line.pieces) {
            DrawText(font, piece.text, kShadow, left + piece.x + 2, y + 2);
            DrawText(font, piece.text, piece.colour, left + piece.x, y);
        }
        y += LineHeight(font);
    }
}

}  // namespace hostsim
