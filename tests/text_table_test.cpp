// The custom text table and its lookup by key.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "text/text_table.h"

namespace {

// The table's texts are ASCII; narrowed for readable failure messages.
std::string Narrow(const char16_t* text)
{
    std::string narrow;
    for (; *text; ++text)
        narrow += static_cast<char>(*text);
    return narrow;
}

std::string Lookup(const char* key)
{
    return Narrow(LookupCustomText(key));
}

std::string Upper(const char* key)
{
    std::string upper = key;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return upper;
}

}  // namespace

TEST(TextTable, KeysFitTheLabelFieldAndAreUnique)
{
    EXPECT_EQ(kTextRowCount, 65);
    EXPECT_STREQ(kTextTable[0].key, "");
    EXPECT_EQ(Narrow(kTextTable[0].text), "NOT FOUND");

    std::set<std::string> seen;
    for (int row = 1; row < kTextRowCount; ++row) {
        const char* key = kTextTable[row].key;
        EXPECT_EQ(key[0], '!') << key;
        EXPECT_LE(strlen(key), 7u) << key;
        // Keys compare without case, so uniqueness is without case too.
        EXPECT_TRUE(seen.insert(Upper(key)).second) << key;
    }
}

// Every key as written, wholly in lower case, and with each of its letters
// alone in lower case: every letter the keys use is folded.
TEST(TextTable, EveryKeyFindsItsOwnRowInAnyCase)
{
    for (int row = 1; row < kTextRowCount; ++row) {
        const std::string key = kTextTable[row].key;
        std::vector<std::string> spellings = { key, key };
        for (char& c : spellings[1])
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        for (size_t n = 0; n < key.size(); ++n) {
            if (!isupper(static_cast<unsigned char>(key[n])))
                continue;
            spellings.push_back(key);
            spellings.back()[n] = static_cast<char>(tolower(static_cast<unsigned char>(key[n])));
        }
        for (const std::string& spelling : spellings)
            EXPECT_EQ(LookupCustomText(spelling.c_str()), kTextTable[row].text) << spelling << " for " << key;
    }
}

TEST(TextTable, LettersCompareWithoutCase)
{
    EXPECT_EQ(Lookup("!WEAT3"), "Weather now set to ~b~FOGGY~h~.");
    EXPECT_EQ(Lookup("!weat3"), "Weather now set to ~b~FOGGY~h~.");
    EXPECT_EQ(Lookup("!WeLc_0"), "Welcome");
    EXPECT_EQ(Lookup("!gp3pd2"), "~r~Group 3, Ped 2~h~ created!");
}

TEST(TextTable, OnlyTheLettersAToZFold)
{
    // '_' and DEL, '3' and 0x13 differ by the case bit but are no letters.
    EXPECT_EQ(Lookup("!WELC\x7f"
                     "0"),
              "NOT FOUND");
    EXPECT_EQ(Lookup("!WEAT\x13"), "NOT FOUND");
}

TEST(TextTable, KeysMatchOnlyWhole)
{
    EXPECT_EQ(Lookup("!NOSUCH"), "NOT FOUND");
    EXPECT_EQ(Lookup("!"), "NOT FOUND");
    EXPECT_EQ(Lookup(""), "NOT FOUND");
    EXPECT_EQ(Lookup("!WEAT"), "NOT FOUND");
    EXPECT_EQ(Lookup("!WEAT30"), "NOT FOUND");
    EXPECT_EQ(Lookup("!GETEM"), "Use ~r~DELETE~h~ and ~r~'1-4 'or '5 or 7'~h~ to delete the ped /car after it's "
                                "created. See the ~r~READ ME~h~ file for more details...");
}

TEST(TextTable, EightByteLabelWithoutTerminatorMatchesNothing)
{
    // The host's label field is 8 bytes; a full one has no terminator. An
    // allocation of exactly 8 bytes lets a memory checker catch a read past it.
    std::unique_ptr<char[]> label(new char[8]);
    memcpy(label.get(), "!WEAT3XY", 8);
    EXPECT_EQ(Lookup(label.get()), "NOT FOUND");
    memcpy(label.get(), "!TMEFON ", 8);
    EXPECT_EQ(Lookup(label.get()), "NOT FOUND");
    memcpy(label.get(), "!TMEFON", 8);
    EXPECT_EQ(Lookup(label.get()), "Time has been ~r~FROZEN~h~ !");
}

TEST(TextTable, FamilyRowsNameTheirOwnCarGroupAndPed)
{
    EXPECT_EQ(Lookup("!GP1PD1"), "~r~Group 1, Ped 1~h~ created!");
    EXPECT_EQ(Lookup("!GP4PD4"), "~r~Group 4, Ped 4~h~ created!");
    EXPECT_EQ(Lookup("!CR2CRE"), "~r~Car 2~h~ created!");
    EXPECT_EQ(Lookup("!IMM1ON"), "Car 1 Immunities are ~r~ON~h~.");
    EXPECT_EQ(Lookup("!IMM2OF"), "Car 2 Immunities are ~b~OFF~h~.");
    EXPECT_EQ(Lookup("!SDFST1"), "Car 1 set to ~r~CRAZY~h~ speed.");
    EXPECT_EQ(Lookup("!SDSLW2"), "Car 2 set to ~b~NORMAL~h~ speed.");
    EXPECT_EQ(Lookup("!DVPSY2"), "Car 2 set to ~r~PSYCHO~h~ driving.");
    EXPECT_EQ(Lookup("!DVNOR1"), "Car 1 set to ~b~NORMAL~h~ driving.");
    EXPECT_EQ(Lookup("!C1BVR2"), "Car 1 will try to ~r~KILL THE PLAYER~h~ while driving.");
    EXPECT_EQ(Lookup("!C2BVR3"), "Car 2 will ~b~DRIVE TO THE PLAYER AND STOP~h~ , following roads and paths.");
    EXPECT_EQ(Lookup("!C2BVR4"), "Car 2 will ~r~IGNORE ALL ROADS AND PATHS~h~ while driving.");
    EXPECT_EQ(Lookup("!WEAT0"), "Weather now set to ~b~SUNNY~h~.");
    EXPECT_EQ(Lookup("!WEAT4"), "Weather now set to ~b~EXTRA SUNNY~h~.");
    EXPECT_EQ(Lookup("!WEAT5"), "Weather now set to ~b~RAINY 2~h~.");
}

TEST(TextTable, SpeedKeysNameTheStepsSpeed)
{
    const char* speeds[] = { "5", "10", "15", "20", "30", "50" };
    for (int car = 1; car <= 2; ++car) {
        for (int step = 1; step <= 6; ++step) {
            std::string key = "!C" + std::to_string(car) + "SPD" + std::to_string(step);
            EXPECT_EQ(Lookup(key.c_str()),
                      "Car " + std::to_string(car) + " speed set to ~b~" + speeds[step - 1] + "~h~.")
                << key;
        }
    }
    EXPECT_EQ(Lookup("!C1SPD0"), "NOT FOUND");
    EXPECT_EQ(Lookup("!C1SPD7"), "NOT FOUND");
}
