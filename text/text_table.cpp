// The custom text table and its lookup. The host's text lookup hook answers
// every key beginning with '!' from here.
#include "text/text_table.h"

// clang-format off
const TextRow kTextTable[] = {
    // Default row: its empty key is never compared.
    { "",        u"NOT FOUND" },

    // Welcome and mini-tutorial.
    { "!WELC_0",  u"Welcome" },
    { "!WELC_1",  u"Welcome to Brindle Studios, version 1.1!" },
    { "!WELC_2",  u"Go to the blue arrow on your radar to start ped and car creation! Thanks to ~b~Orvane~h~ for the Cuebridge and source, and to the ~b~Meridian Team~h~ for thier game code!!! Here we go..." },
    { "!WELC_3",  u"(Press and hold ~r~SPACE~h~ to skip the mini-tutorial)" },
    { "!TITLE",   u"Brindle Studios" },
    { "!CAUGHT",  u"To start ped /car creation, press ~r~INSERT~h~ and ~r~'1-4' or '5 or 6' and '7 or 8'~h~ (see the ~r~READ ME~h~ file for car creation rules)" },
    { "!TAKEN",   u"Use ~r~PAGE UP~h~ and ~r~PAGE DOWN~h~ to select peds /cars, and use ~r~BACKSPACE~h~ to choose..." },
    { "!GETEM",   u"Use ~r~DELETE~h~ and ~r~'1-4 'or '5 or 7'~h~ to delete the ped /car after it's created. See the ~r~READ ME~h~ file for more details..." },
    { "!GETEM2",  u"Use a ~r~LETTER KEY (Q, W, E, etc)~h~ and a ~r~MODIFIER (LF SHIFT, LF CTRL, etc)~h~ to animate peds /cars. See the ~r~GAME KEYS~h~ file for more details..." },
    { "!SENTI",   u"Remember to ~r~CREATE~h~ your peds /cars before animating them! Ok? Have fun!!!" },

    // Confirmation texts, clock freeze.
    { "!GMTXON",  u"Quire Text is now ~r~ON~h~. Hi there!" },
    { "!GMTXOF",  u"Quire Text is now ~b~OFF~h~. Bye!" },
    { "!TMEFON",  u"Time has been ~r~FROZEN~h~ !" },
    { "!TMEFOF",  u"The sands of ~b~TIME~h~ flow freely once again." },

    // Group peds created.
    { "!GP1PD1",  u"~r~Group 1, Ped 1~h~ created!" },
    { "!GP2PD1",  u"~r~Group 2, Ped 1~h~ created!" },
    { "!GP2PD2",  u"~r~Group 2, Ped 2~h~ created!" },
    { "!GP3PD1",  u"~r~Group 3, Ped 1~h~ created!" },
    { "!GP3PD2",  u"~r~Group 3, Ped 2~h~ created!" },
    { "!GP3PD3",  u"~r~Group 3, Ped 3~h~ created!" },
    { "!GP4PD1",  u"~r~Group 4, Ped 1~h~ created!" },
    { "!GP4PD2",  u"~r~Group 4, Ped 2~h~ created!" },
    { "!GP4PD3",  u"~r~Group 4, Ped 3~h~ created!" },
    { "!GP4PD4",  u"~r~Group 4, Ped 4~h~ created!" },

    // Cars created.
    { "!CR1CRE",  u"~r~Car 1~h~ created!" },
    { "!CR2CRE",  u"~r~Car 2~h~ created!" },

    // Car immunities.
    { "!IMM1ON",  u"Car 1 Immunities are ~r~ON~h~." },
    { "!IMM1OF",  u"Car 1 Immunities are ~b~OFF~h~." },
    { "!IMM2ON",  u"Car 2 Immunities are ~r~ON~h~." },
    { "!IMM2OF",  u"Car 2 Immunities are ~b~OFF~h~." },

    // Car speed modes.
    { "!SDSLW1",  u"Car 1 set to ~b~NORMAL~h~ speed." },
    { "!SDFST1",  u"Car 1 set to ~r~CRAZY~h~ speed." },
    { "!SDSLW2",  u"Car 2 set to ~b~NORMAL~h~ speed." },
    { "!SDFST2",  u"Car 2 set to ~r~CRAZY~h~ speed." },

    // Car driving styles.
    { "!DVNOR1",  u"Car 1 set to ~b~NORMAL~h~ driving." },
    { "!DVPSY1",  u"Car 1 set to ~r~PSYCHO~h~ driving." },
    { "!DVNOR2",  u"Car 2 set to ~b~NORMAL~h~ driving." },
    { "!DVPSY2",  u"Car 2 set to ~r~PSYCHO~h~ driving." },

    // Car behaviours.
    { "!C1BVR1",  u"Car 1 will ~b~FOLLOW ROADS AND PATHS~h~ while driving." },
    { "!C1BVR2",  u"Car 1 will try to ~r~KILL THE PLAYER~h~ while driving." },
    { "!C1BVR3",  u"Car 1 will ~b~DRIVE TO THE PLAYER AND STOP~h~ , following roads and paths." },
    { "!C1BVR4",  u"Car 1 will ~r~IGNORE ALL ROADS AND PATHS~h~ while driving." },
    { "!C2BVR1",  u"Car 2 will ~b~FOLLOW ROADS AND PATHS~h~ while driving." },
    { "!C2BVR2",  u"Car 2 will try to ~r~KILL THE PLAYER~h~ while driving." },
    { "!C2BVR3",  u"Car 2 will ~b~DRIVE TO THE PLAYER AND STOP~h~ , following roads and paths." },
    { "!C2BVR4",  u"Car 2 will ~r~IGNORE ALL ROADS AND PATHS~h~ while driving." },

    // Weather.
    { "!WEAT0",   u"Weather now set to ~b~SUNNY~h~." },
    { "!WEAT1",   u"Weather now set to ~b~CLOUDY~h~." },
    { "!WEAT2",   u"Weather now set to ~b~RAINY~h~." },
    { "!WEAT3",   u"Weather now set to ~b~FOGGY~h~." },
    { "!WEAT4",   u"Weather now set to ~b~EXTRA SUNNY~h~." },
    { "!WEAT5",   u"Weather now set to ~b~RAINY 2~h~." },

    // Car speed steps 1 to 6 (5, 10, 15, 20, 30, 50).
    { "!C1SPD1",  u"Car 1 speed set to ~b~5~h~." },
    { "!C1SPD2",  u"Car 1 speed set to ~b~10~h~." },
    { "!C1SPD3",  u"Car 1 speed set to ~b~15~h~." },
    { "!C1SPD4",  u"Car 1 speed set to ~b~20~h~." },
    { "!C1SPD5",  u"Car 1 speed set to ~b~30~h~." },
    { "!C1SPD6",  u"Car 1 speed set to ~b~50~h~." },
    { "!C2SPD1",  u"Car 2 speed set to ~b~5~h~." },
    { "!C2SPD2",  u"Car 2 speed set to ~b~10~h~." },
    { "!C2SPD3",  u"Car 2 speed set to ~b~15~h~." },
    { "!C2SPD4",  u"Car 2 speed set to ~b~20~h~." },
    { "!C2SPD5",  u"Car 2 speed set to ~b~30~h~." },
    { "!C2SPD6",  u"Car 2 speed set to ~b~50~h~." },
};
// clang-format on
const int kTextRowCount = sizeof kTextTable / sizeof kTextTable[0];
static_assert(kTextRowCount == 65, "default row, 52 texts, 12 speed texts");

// The longest key the host's 8-byte label can carry with its terminator.
static const int kKeyFieldBytes = 8;

static char FoldCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Compares byte by byte and stops at the first difference or at the shared
// terminator. Table keys end within the first 8 bytes, so a key read from an
// unterminated host label is never read past its 8th byte.
static bool KeysEqual(const char* key, const char* rowKey)
{
    for (int i = 0; i < kKeyFieldBytes; ++i) {
        if (FoldCase(key[i]) != FoldCase(rowKey[i]))
            return false;
        if (key[i] == 0)
            return true;
    }
    return false;
}

const char16_t* LookupCustomText(const char* key)
{
    for (int row = 1; row < kTextRowCount; ++row) {
        if (KeysEqual(key, kTextTable[row].key))
            return kTextTable[row].text;
    }
    return kTextTable[0].text;
}
