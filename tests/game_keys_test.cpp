// The GAME KEYS document against the studio: every combination it states
// with its own words is held in one session, and must show the text or send
// the command that proves it; the car catalogues end where it says.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "hostsim/engine/scenario.h"
#include "scripts/studio_key_map.h"
#include "tests/studio_feature_steps.h"
#include "tools/release/game_keys.h"

using namespace hostsim;

namespace {

std::string KeyNames(const int keys[2])
{
    std::string names = VirtualKeyName(keys[0]);
    if (keys[1])
        names += " " + VirtualKeyName(keys[1]);
    return names;
}

struct Proof {
    std::string what;  // the row, for messages
    const DocumentedKeys* row;
    int64_t from, to;  // session times
};

// Whether the studio showed the row's text or sent its command in the time.
bool Proven(const std::vector<TraceRecord>& trace, int studioScript, const Proof& proof)
{
    for (size_t n = IndexAfter(trace, proof.from); n < trace.size() && trace[n].t <= proof.to; ++n) {
        const TraceRecord& record = trace[n];
        if (record.script != studioScript)
            continue;
        if (proof.row->shownText && IsText(record, proof.row->shownText))
            return true;
        if (!proof.row->shownText && IsCommand(record, proof.row->sentCommand))
            return true;
    }
    return false;
}

const DocumentedSection* Section(const char* title)
{
    for (int n = 0; n < kDocumentedSectionCount; ++n)
        if (std::string(kDocumentedSections[n].title) == title)
            return &kDocumentedSections[n];
    return nullptr;
}

TEST(GameKeys, EveryCombinationTheDocumentStatesDoesWhatItSays)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    std::vector<Proof> proofs;
    auto hold = [&](const DocumentedKeys& row, const std::string& modifier) {
        Proof proof { (modifier.empty() ? "" : modifier + " + ") + KeyNames(DocumentedRowKeys(row)) + ": " + row.says,
                      &row, steps.Now(), 0 };
        if (modifier.empty())
            steps.Press(KeyNames(DocumentedRowKeys(row)));
        else
            steps.WithModifier(modifier, KeyNames(DocumentedRowKeys(row)));
        if (row.finishKey)
            steps.Press(VirtualKeyName(row.finishKey), 1000);
        proof.to = steps.Now();
        if (row.shownText || row.sentCommand)
            proofs.push_back(proof);
    };

    // Texts on first, so that the confirmations prove their rows; off last.
    const DocumentedSection* texts = Section("TEXTS");
    ASSERT_NE(texts, nullptr);
    hold(texts->rows[0], "");
    for (int n = 0; n < kDocumentedSectionCount; ++n) {
        const DocumentedSection& section = kDocumentedSections[n];
        if (&section == texts)
            continue;
        for (int row = 0; row < section.rowCount; ++row)
            hold(section.rows[row], "");
    }
    // The catalogues: Page Down from the first model wraps to the last, Page
    // Up back to the first (each cursor starts at its first model).
    std::vector<std::pair<int64_t, int64_t>> browsed;
    for (int n = 0; n < kDocumentedCatalogueCount; ++n) {
        const int64_t from = steps.Now();
        steps.Press(std::string("INSERT ") + static_cast<char>(kDocumentedCatalogues[n].digit))
            .Page("NEXT")
            .Page("PRIOR")
            .Press("BACK", 1000);
        browsed.push_back({ from, steps.Now() });
    }
    // Car 1 stands now: its settings with Home.
    for (int n = 0; n < kDocumentedCarSettingCount; ++n)
        hold(kDocumentedCarSettings[n], "HOME");
    hold(texts->rows[1], "");

    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    EXPECT_GE(proofs.size(), 30u) << "rows with a proof";
    for (const Proof& proof : proofs)
        EXPECT_TRUE(Proven(result.trace, session.studioScript, proof))
            << proof.what << ": no " << (proof.row->shownText ? proof.row->shownText : "command") << " between "
            << proof.from << " and " << proof.to << " ms";

    for (int n = 0; n < kDocumentedCatalogueCount; ++n) {
        const DocumentedCatalogue& c = kDocumentedCatalogues[n];
        const std::vector<int32_t> made =
            CarModelsMade(result.trace, IndexAfter(result.trace, browsed[n].first), browsed[n].second);
        bool down = false, up = false;
        for (size_t at = 1; at < made.size(); ++at) {
            down = down || (made[at - 1] == c.firstModel && made[at] == c.lastModel);
            up = up || (made[at - 1] == c.lastModel && made[at] == c.firstModel);
        }
        std::string listed;
        for (int32_t model : made)
            listed += std::to_string(model) + " ";
        EXPECT_TRUE(down && up) << "Car " << c.car << ", catalogue " << c.letter << " (Insert + "
                                << static_cast<char>(c.digit) << "): no wrap between " << c.firstModel << " and "
                                << c.lastModel << " in the cars made: " << listed;
    }
}

// The words of a list in a line: what follows the colon, up to "then", split
// at the commas ("the next weather: SUNNY, CLOUDY, then SUNNY again").
std::vector<std::string> ListedInLine(const std::string& says)
{
    std::string list = says.substr(says.find(':') + 1);
    list = list.substr(0, list.find(", then"));
    std::vector<std::string> items;
    std::istringstream parts(list);
    for (std::string item; std::getline(parts, item, ',');)
        items.push_back(item.substr(item.find_first_not_of(' ')));
    return items;
}

// What a line of the document says, held to what the studio sends or shows,
// value by value and in order: the weathers by the names their texts give,
// the car's speeds one step up to the top and one step down again.
TEST(GameKeys, TheLinesThatListValuesGetThemInTheirOrder)
{
    const DocumentedKeys* weatherRow = nullptr;
    for (int n = 0; n < kDocumentedSectionCount; ++n)
        for (int row = 0; row < kDocumentedSections[n].rowCount; ++row)
            if (kDocumentedSections[n].rows[row].sentCommand == kSetWeather.id)
                weatherRow = &kDocumentedSections[n].rows[row];
    ASSERT_NE(weatherRow, nullptr);
    const DocumentedKeys& speedUp = kDocumentedCarSettings[2];
    const DocumentedKeys& speedDown = kDocumentedCarSettings[3];
    ASSERT_EQ(DocumentedRowKeys(speedUp)[0], 'E');
    ASSERT_EQ(DocumentedRowKeys(speedDown)[0], 'R');
    // "SUNNY, ..., RAINY 2, then SUNNY again": the weather starts at the first.
    std::vector<std::string> weathers = ListedInLine(weatherRow->says);
    ASSERT_EQ(weathers.size(), 6u) << weatherRow->says;
    std::vector<std::string> weathersAfterTheFirst(weathers.begin() + 1, weathers.end());
    weathersAfterTheFirst.push_back(weathers[0]);
    const std::vector<std::string> speeds = ListedInLine(speedUp.says);
    ASSERT_EQ(speeds.size(), 6u) << speedUp.says;

    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.TextsOn();
    const int64_t weatherFrom = steps.Now();
    // Held over at least six passes of the main loop; the first six steps count.
    steps.Press(KeyNames(DocumentedRowKeys(*weatherRow)), 4500);
    steps.CreateCar(1);
    const int64_t speedFrom = steps.Now();
    for (size_t n = 0; n < speeds.size(); ++n)
        steps.WithModifier("HOME", KeyNames(DocumentedRowKeys(speedUp)));
    for (size_t n = 1; n < speeds.size(); ++n)
        steps.WithModifier("HOME", KeyNames(DocumentedRowKeys(speedDown)));
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");

    std::vector<std::string> weathersShown;
    for (size_t n = IndexAfter(result.trace, weatherFrom); n < IndexAfter(result.trace, speedFrom); ++n) {
        const TraceRecord& record = result.trace[n];
        if (record.kind == kTextRecord && record.key.rfind("!WEAT", 0) == 0) {
            const size_t from = record.text.find("~b~") + 3;
            weathersShown.push_back(record.text.substr(from, record.text.find("~h~") - from));
        }
    }
    ASSERT_GE(weathersShown.size(), weathers.size());
    weathersShown.resize(weathers.size());
    EXPECT_EQ(weathersShown, weathersAfterTheFirst) << weatherRow->says;

    std::vector<std::string> speedsWanted = speeds;
    for (size_t n = speeds.size() - 1; n-- > 0;)
        speedsWanted.push_back(speeds[n]);
    std::vector<std::string> speedsSent;
    for (const TraceRecord& record : StudioActionsAfter(result.trace, session.studioScript, speedFrom))
        if (record.id == kSetCarSpeed.id)
            speedsSent.push_back(std::to_string(static_cast<int>(record.args[1].f)));
    EXPECT_EQ(speedsSent, speedsWanted) << speedUp.says << "; " << speedDown.says;
}

// A key added to the main loop is in the document, once; a line that names
// a row the key map does not have would have no keys.
TEST(GameKeys, EveryRowOfTheMainLoopHasOneLine)
{
    for (int n = 0; n < kDocumentedSectionCount; ++n)
        for (int line = 0; line < kDocumentedSections[n].rowCount; ++line)
            EXPECT_NE(DocumentedRowKeys(kDocumentedSections[n].rows[line])[0], 0)
                << kDocumentedSections[n].rows[line].says;
    for (const MainLoopRow& row : kMainLoopRows) {
        int lines = 0;
        for (int n = 0; n < kDocumentedSectionCount; ++n)
            for (int line = 0; line < kDocumentedSections[n].rowCount; ++line)
                lines += kDocumentedSections[n].rows[line].mainLoopRow == &row;
        EXPECT_EQ(lines, 1) << KeyNames(row.keys) << " (feature " << row.feature << ", " << row.argument << ")";
    }
}

TEST(GameKeys, TheDocumentFitsItsColumnsAndNamesEveryModifier)
{
    const std::string text = GameKeysText();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        EXPECT_LE(line.size(), 78u) << "line " << number << ": " << line;
        EXPECT_EQ(line.find('\r'), std::string::npos) << "the release adds the CRs";
    }
    for (const char* modifier : { "Left Shift", "Left Ctrl", "Left Alt", "Right Alt", "Right Ctrl", "Right Shift",
                                  "Tab + F4", "Home for Car 1", "End for Car 2" })
        EXPECT_NE(text.find(modifier), std::string::npos) << modifier;
}

#ifndef _WIN32
// The READ ME's car creation rules state the catalogues as GAME KEYS does.
// Native only: the source tree is read where it is.
TEST(GameKeys, TheReadMeStatesTheSameCatalogues)
{
    const std::string path = BRINDLE_SOURCE_DIR "/tools/release/read_me.txt";
    std::ifstream file(path);
    ASSERT_TRUE(file) << path;
    std::stringstream text;
    text << file.rdbuf();
    for (int n = 0; n < kDocumentedCatalogueCount; ++n) {
        const DocumentedCatalogue& c = kDocumentedCatalogues[n];
        char line[96];
        snprintf(line, sizeof line, "Insert + %c   Car %d, catalogue %c: models %d to %d", c.digit, c.car, c.letter,
                 c.firstModel, c.lastModel);
        EXPECT_NE(text.str().find(line), std::string::npos) << "READ ME lacks \"" << line << "\"";
    }
}
#endif

}  // namespace
