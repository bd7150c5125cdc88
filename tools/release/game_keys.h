// The GAME KEYS document of the release: every key combination of the
// studio, grouped the way a player learns them. The animation, Group 4 and
// modifier rows are read from the module's own key tables; the rows below
// are the document's own, and the tests hold each to what the studio does.
#pragma once

#include <cstdint>
#include <string>

struct MainLoopRow;

// A combination of the main loop, the car settings or the choices: its keys,
// what the document says, and what proves it in the studio.
struct DocumentedKeys {
    int keys[2];                     // its own virtual-key codes, the second 0 for one key; or { 0, 0 }
    const MainLoopRow* mainLoopRow;  // a row of the main loop: its row of the key map, which gives the keys
    const char* says;
    int finishKey;          // held after the keys to end a choice (Backspace), or 0
    const char* shownText;  // the text key the studio shows, with texts on; or nullptr
    uint16_t sentCommand;   // else a command the studio sends
};

struct DocumentedSection {
    const char* title;
    const char* introduction;  // or nullptr
    const DocumentedKeys* rows;
    int rowCount;
};

extern const DocumentedSection kDocumentedSections[];
extern const int kDocumentedSectionCount;

// The car catalogues as the document states them (Insert + 5 to 8).
struct DocumentedCatalogue {
    int digit;
    int car;
    char letter;
    int32_t firstModel, lastModel;
};
extern const DocumentedCatalogue kDocumentedCatalogues[];
extern const int kDocumentedCatalogueCount;

// The car settings that Home (Car 1) and End (Car 2) select: the key, what
// it does, and the text of Car 1 it shows (nullptr: none) or the command.
extern const DocumentedKeys kDocumentedCarSettings[];
extern const int kDocumentedCarSettingCount;

// The row's keys: its own, or those of its row of the main loop.
const int* DocumentedRowKeys(const DocumentedKeys& row);

// The whole document, with "\n" line ends; the release turns them to CRLF.
std::string GameKeysText();
