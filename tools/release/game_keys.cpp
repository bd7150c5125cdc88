// The GAME KEYS document: its own rows for the main loop, the choices and
// the car settings, and the animation rows read from the module's tables.
#include "tools/release/game_keys.h"

#include <cstdio>
#include <vector>

#include "hostsim/record/key_labels.h"
#include "scripts/studio_animation_keys.h"
#include "scripts/studio_key_map.h"
#include "scripts/studio_state.h"

using namespace hostsim;

// --- The document's own rows ------------------------------------------------------

// A row of the main loop takes its keys from the key map; the others have their own.
#define MAIN_LOOP(feature, argument) { 0, 0 }, MainLoopRowOf(feature, argument)
#define OWN_KEYS(first, second) { first, second }, nullptr

// clang-format off
static const DocumentedKeys kCreatingAndDeleting[] = {
    // keys                                    says                                                         finish         text        command
    { MAIN_LOOP(kFeatureCreateGroup, 1),               "create Group 1 (1 ped)",                                    kKeyBackspace, "!GP1PD1",  0      },
    { MAIN_LOOP(kFeatureCreateGroup, 2),               "create Group 2 (2 peds, chosen one after the other)",       kKeyBackspace, "!GP2PD2",  0      },
    { MAIN_LOOP(kFeatureCreateGroup, 3),               "create Group 3 (3 peds)",                                   kKeyBackspace, "!GP3PD3",  0      },
    { MAIN_LOOP(kFeatureCreateGroup, 4),               "create Group 4 (4 peds)",                                   kKeyBackspace, "!GP4PD4",  0      },
    { MAIN_LOOP(kFeatureCreateCar, kCar1CatalogueA),   "create Car 1 from catalogue A",                             kKeyBackspace, "!CR1CRE",  0      },
    { MAIN_LOOP(kFeatureCreateCar, kCar1CatalogueB),   "create Car 1 from catalogue B",                             kKeyBackspace, "!CR1CRE",  0      },
    { MAIN_LOOP(kFeatureCreateCar, kCar2CatalogueA),   "create Car 2 from catalogue A",                             kKeyBackspace, "!CR2CRE",  0      },
    { MAIN_LOOP(kFeatureCreateCar, kCar2CatalogueB),   "create Car 2 from catalogue B",                             kKeyBackspace, "!CR2CRE",  0      },
    { MAIN_LOOP(kFeatureDeleteGroup, 1),               "delete Group 1",                                            0,             nullptr,    0x034F },
    { MAIN_LOOP(kFeatureDeleteGroup, 2),               "delete Group 2",                                            0,             nullptr,    0x034F },
    { MAIN_LOOP(kFeatureDeleteGroup, 3),               "delete Group 3",                                            0,             nullptr,    0x034F },
    { MAIN_LOOP(kFeatureDeleteGroup, 4),               "delete Group 4",                                            0,             nullptr,    0x034F },
    { MAIN_LOOP(kFeatureDeleteCar, 1),                 "delete Car 1",                                              0,             nullptr,    0x00A6 },
    { MAIN_LOOP(kFeatureDeleteCar, 2),                 "delete Car 2",                                              0,             nullptr,    0x00A6 },
    { MAIN_LOOP(kFeatureDeleteEverything, 0),          "delete every ped and both cars",                           0,             nullptr,    0x034F },
};

static const DocumentedKeys kChoosing[] = {
    { OWN_KEYS(kKeyPageUp, 0),                  "the next model",                                            0,             nullptr,    0      },
    { OWN_KEYS(kKeyPageDown, 0),                "the model before",                                          0,             nullptr,    0      },
    { OWN_KEYS(kKeyBackspace, 0),               "take the model on show",                                    0,             nullptr,    0      },
};

static const DocumentedKeys kClockAndWeather[] = {
    { MAIN_LOOP(kFeatureClockMode, 0),              "set the hour with Page Up and Page Down; Backspace freezes the clock there, and the weather with it",
                                                                                                 kKeyBackspace, "!TMEFON",  0      },
    { MAIN_LOOP(kFeatureUnfreezeClock, 0),             "let the clock and the weather run again",                   0,             "!TMEFOF",  0      },
    { MAIN_LOOP(kFeatureNextWeather, 0),               "the next weather: SUNNY, CLOUDY, RAINY, FOGGY, EXTRA SUNNY, RAINY 2, then SUNNY again",
                                                                                                 0,             nullptr,    0x01B6 },
};

static const DocumentedKeys kTexts[] = {
    { MAIN_LOOP(kFeatureTextsOn, 0),                   "confirmation texts on (they start off)",                    0,             "!GMTXON",  0      },
    { MAIN_LOOP(kFeatureTextsOff, 0),                  "confirmation texts off",                                    0,             "!GMTXOF",  0      },
};

static const DocumentedKeys kPlayerModel[] = {
    { MAIN_LOOP(kFeaturePlayerModel, 0),         "choose your own model from the named models; Backspace puts it on",
                                                                                                 kKeyBackspace, nullptr,    0x0352 },
};

static const DocumentedKeys kSkippingTheTutorial[] = {
    { OWN_KEYS(kKeySpace, 0),                   "held while the tutorial begins: skips the mini-tutorial",   0,             nullptr,    0      },
};
// clang-format on

#define SECTION_ROWS(rows) rows, static_cast<int>(sizeof rows / sizeof rows[0])

// clang-format off
const DocumentedSection kDocumentedSections[] = {
    { "CREATING AND DELETING",
      "A creation first deletes what the group or car had, then shows each new ped or car in front of you "
      "to choose (see CHOOSING). The cars' catalogues are listed below the keys.",
      SECTION_ROWS(kCreatingAndDeleting) },
    { "CHOOSING",
      "While a ped, a car or your own model is being chosen, only these keys count.",
      SECTION_ROWS(kChoosing) },
    { "CLOCK AND WEATHER", nullptr, SECTION_ROWS(kClockAndWeather) },
    { "TEXTS", nullptr, SECTION_ROWS(kTexts) },
    { "PLAYER MODEL", nullptr, SECTION_ROWS(kPlayerModel) },
    { "SKIPPING THE TUTORIAL", nullptr, SECTION_ROWS(kSkippingTheTutorial) },
};
// clang-format on
const int kDocumentedSectionCount = sizeof kDocumentedSections / sizeof kDocumentedSections[0];
static_assert(sizeof kDocumentedSections / sizeof kDocumentedSections[0] == 6, "six sections of the document's own");

// clang-format off
const DocumentedCatalogue kDocumentedCatalogues[] = {
    // digit  car  catalogue  first  last
    { '5',    1,   'A',       130,   179 },
    { '6',    1,   'B',       185,   230 },
    { '7',    2,   'A',       130,   175 },
    { '8',    2,   'B',       185,   230 },
};
// clang-format on
const int kDocumentedCatalogueCount = sizeof kDocumentedCatalogues / sizeof kDocumentedCatalogues[0];
static_assert(sizeof kDocumentedCatalogues / sizeof kDocumentedCatalogues[0] == 4, "Insert + 5 to 8");

// clang-format off
const DocumentedKeys kDocumentedCarSettings[] = {
    // key                     says                                                      finish  text (Car 1)  command
    { OWN_KEYS('Q', 0),          "normal driving",                                         0,      "!DVNOR1",    0      },
    { OWN_KEYS('W', 0),          "psycho driving",                                         0,      "!DVPSY1",    0      },
    { OWN_KEYS('E', 0),          "speed one step up: 5, 10, 15, 20, 30, 50",               0,      nullptr,      0x00AD },
    { OWN_KEYS('R', 0),          "speed one step down (once E has set a speed)",           0,      nullptr,      0x00AD },
    { OWN_KEYS('T', 0),          "immunities on",                                          0,      "!IMM1ON",    0      },
    { OWN_KEYS('Y', 0),          "immunities off",                                         0,      "!IMM1OF",    0      },
    { OWN_KEYS('U', 0),          "follow roads and paths while driving",                   0,      "!C1BVR1",    0      },
    { OWN_KEYS('I', 0),          "try to kill the player while driving",                   0,      "!C1BVR2",    0      },
    { OWN_KEYS('O', 0),          "drive to the player and stop, following roads and paths", 0,     "!C1BVR3",    0      },
    { OWN_KEYS('P', 0),          "ignore all roads and paths while driving",               0,      "!C1BVR4",    0      },
    { OWN_KEYS(kKeySpace, 0),    "no behaviour",                                           0,      nullptr,      0x00AF },
};
// clang-format on
const int kDocumentedCarSettingCount = sizeof kDocumentedCarSettings / sizeof kDocumentedCarSettings[0];
static_assert(sizeof kDocumentedCarSettings / sizeof kDocumentedCarSettings[0] == 11, "eleven car keys");

// --- Writing -------------------------------------------------------------------

static const size_t kKeyColumn = 22;
static const size_t kLineWidth = 78;

const int* DocumentedRowKeys(const DocumentedKeys& row)
{
    return row.mainLoopRow ? row.mainLoopRow->keys : row.keys;
}

static std::string Keys(const int keys[2])
{
    std::string text = KeyLabel(keys[0]);
    if (keys[1])
        text += " + " + KeyLabel(keys[1]);
    return text;
}

// "  Insert + 1            create Group 1", the description wrapped under itself.
static std::string Row(const std::string& keys, const std::string& says)
{
    std::string line = "  " + keys;
    line += std::string(line.size() < kKeyColumn ? kKeyColumn - line.size() : 1, ' ');
    std::string out;
    size_t at = 0;
    while (at < says.size()) {
        size_t room = kLineWidth - line.size();
        size_t end = says.size();
        if (end - at > room) {
            end = says.rfind(' ', at + room);
            if (end == std::string::npos || end <= at)
                end = at + room;
        }
        line += says.substr(at, end - at);
        out += line + "\n";
        at = end < says.size() && says[end] == ' ' ? end + 1 : end;
        line = std::string(kKeyColumn, ' ');
    }
    return out;
}

static std::string Wrapped(const std::string& text)
{
    std::string out, line;
    size_t at = 0;
    while (at < text.size()) {
        size_t space = text.find(' ', at);
        std::string word = text.substr(at, space == std::string::npos ? std::string::npos : space - at);
        if (!line.empty() && line.size() + 1 + word.size() > kLineWidth) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        at = space == std::string::npos ? text.size() : space + 1;
    }
    return out + line + "\n";
}

static std::string Heading(int number, const std::string& title)
{
    std::string text = std::to_string(number) + ". " + title;
    return "\n" + text + "\n" + std::string(text.size(), '-') + "\n";
}

static std::string Duration(int32_t ms)
{
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// One ped step in a player's words; the numbers are the game's own.
static std::string StepText(const PedStep& step)
{
    // clang-format off
    switch (step.method) {
    case kAnimate:      return "animation " + std::to_string(step.a) + " for " + Duration(step.b);
    case kCommand04EB:  return "command 04EB with " + std::to_string(step.a) + " for " + Duration(step.b);
    case kCommand01DF:  return "command 01DF with you";
    case kCommand01D2:  return "command 01D2 with you";
    case kCommand009C:  return "command 009C with " + std::to_string(step.a);
    case kCommand0319:  return "command 0319 with " + std::to_string(step.a);
    case kCommand020F:  return "command 020F with you";
    case kCommand011C:  return "command 011C";
    case kCommand01D5:  return "gets into Car " + std::to_string(step.a) + " (command 01D5; only while it exists)";
    case kCommand01D4:  return "command 01D4 with Car " + std::to_string(step.a) + " (only while it exists)";
    case kCommand03E2:  return "command 03E2";
    case kCommand011A:  return "command 011A with " + std::to_string(step.a);
    case kCommand03F9:  return "pairs up with Ped " + std::to_string(step.a) + " for " + Duration(step.b) + " (command 03F9)";
    case kNoStep:       break;
    }
    // clang-format on
    return "";
}

static std::string StepsText(const PedStep* steps)
{
    std::string text;
    for (int n = 0; n < kMaxPedSteps && steps[n].method != kNoStep; ++n)
        text += (n ? ", then " : "") + StepText(steps[n]);
    return text;
}

static std::string TargetText(const AnimationTarget& target)
{
    if (target.kind == kTargetCar)
        return "Car " + std::to_string(target.index);
    if (target.kind == kTargetGroupFour)
        return "the four peds of Group 4";
    // Places: Group 1 Ped 1; Group 2 Ped 1, 2; Group 3 Ped 1 to 3.
    static const char* const kPlaces[] = { "Group 1, Ped 1", "Group 2, Ped 1", "Group 2, Ped 2",
                                           "Group 3, Ped 1", "Group 3, Ped 2", "Group 3, Ped 3" };
    return kPlaces[target.index];
}

static std::string AnimatingSection()
{
    std::string text = Wrapped("Hold the modifier of a ped, then press a key. The modifier works once its "
                               "group is created; the first modifier held counts. The numbers are the game's "
                               "own animations and commands: try them and see.");
    text += "\n";
    for (int n = 0; n < kAnimationTargetCount; ++n)
        if (kAnimationTargets[n].kind == kTargetPed)
            text += Row(KeyLabel(kAnimationTargets[n].modifier), TargetText(kAnimationTargets[n]));
    text += "\n";
    // A key with a row of its own for Group 1 Ped 1 is listed once, both ways.
    for (int n = 0; n < kPedAnimationKeyCount; ++n) {
        const PedAnimationKey& row = kPedAnimationKeys[n];
        bool seen = false;
        for (int m = 0; m < n; ++m)
            seen = seen || kPedAnimationKeys[m].key == row.key;
        if (seen)
            continue;
        std::string says;
        for (int m = n; m < kPedAnimationKeyCount; ++m) {
            const PedAnimationKey& same = kPedAnimationKeys[m];
            if (same.key != row.key)
                continue;
            std::string steps = StepsText(same.steps);
            if (same.scope == kEveryPed)
                says = steps;
            else if (same.scope == kGroupOnePedOne)
                says += (says.empty() ? "" : "; ") + std::string("Group 1, Ped 1: ") + steps;
            else
                says += (says.empty() ? "" : "; ") + std::string("the other peds: ") + steps;
        }
        if (row.scope == kGroupOnePedOne && says.find("other peds") == std::string::npos)
            says += " (nothing for the other peds)";
        text += Row(KeyLabel(row.key), says);
    }
    return text;
}

static std::string GroupFourSection()
{
    std::string modifier;
    for (int n = 0; n < kAnimationTargetCount; ++n)
        if (kAnimationTargets[n].kind == kTargetGroupFour)
            modifier = KeyLabel(kAnimationTargets[n].modifier);
    std::string text = Wrapped("Hold " + modifier +
                               " once Group 4 is created, then press a key. \"Each\" sends "
                               "the command to Ped 1, 2, 3 and 4 of Group 4 in turn.");
    text += "\n";
    for (int n = 0; n < kGroupFourKeyCount; ++n) {
        const GroupFourKey& row = kGroupFourKeys[n];
        std::string steps = StepsText(row.steps);
        std::string says =
            row.ped == kEachGroupFourPed ? "each: " + steps : "Ped " + std::to_string(row.ped) + " " + steps;
        text += Row(modifier + " + " + KeyLabel(row.key), says);
    }
    return text;
}

static std::string CarSettingsSection()
{
    std::string text = "Hold ";
    std::vector<std::string> cars;
    for (int n = 0; n < kAnimationTargetCount; ++n)
        if (kAnimationTargets[n].kind == kTargetCar)
            cars.push_back(KeyLabel(kAnimationTargets[n].modifier) + " for Car " +
                           std::to_string(kAnimationTargets[n].index));
    for (size_t n = 0; n < cars.size(); ++n)
        text += (n ? " or " : "") + cars[n];
    text = Wrapped(text + " once that car is created, then press a key. The speed step belongs to the car's "
                          "place and is kept when the car is deleted and made again.");
    text += "\n";
    for (int n = 0; n < kDocumentedCarSettingCount; ++n)
        text += Row(Keys(DocumentedRowKeys(kDocumentedCarSettings[n])), kDocumentedCarSettings[n].says);
    return text;
}

static std::string CataloguesText()
{
    std::string text = "\n  Car catalogues (Page Up after the last model gives the first):\n";
    for (int n = 0; n < kDocumentedCatalogueCount; ++n) {
        const DocumentedCatalogue& c = kDocumentedCatalogues[n];
        char line[96];
        snprintf(line, sizeof line, "Car %d, catalogue %c: models %d to %d", c.car, c.letter, c.firstModel,
                 c.lastModel);
        text += Row("Insert + " + std::string(1, static_cast<char>(c.digit)), line);
    }
    return text;
}

static std::string DocumentedSectionText(const DocumentedSection& section)
{
    std::string text = section.introduction ? Wrapped(section.introduction) + "\n" : "";
    for (int n = 0; n < section.rowCount; ++n)
        text += Row(Keys(DocumentedRowKeys(section.rows[n])), section.rows[n].says);
    return text;
}

std::string GameKeysText()
{
    std::string text = "BRINDLE STUDIOS 1.1 - GAME KEYS\n===============================\n\n";
    text += Wrapped("Every key combination of the studio. Hold the keys of a combination together until the "
                    "studio acts (about half a second): it looks at the keyboard about four times a second "
                    "and does not remember keys pressed in between. Digits are the number keys above the "
                    "letters. How to start the studio is in the READ ME file.");
    int number = 0;
    // In the order a player learns them: the document's first four
    // sections, the animation keys, then the rest.
    for (int n = 0; n < 4; ++n) {
        text += Heading(++number, kDocumentedSections[n].title) + DocumentedSectionText(kDocumentedSections[n]);
        if (n == 0)
            text += CataloguesText();
    }
    text += Heading(++number, "ANIMATING GROUPS 1 TO 3") + AnimatingSection();
    text += Heading(++number, "DIRECTING GROUP 4") + GroupFourSection();
    text += Heading(++number, "CAR SETTINGS") + CarSettingsSection();
    for (int n = 4; n < kDocumentedSectionCount; ++n)
        text += Heading(++number, kDocumentedSections[n].title) + DocumentedSectionText(kDocumentedSections[n]);
    return text;
}
