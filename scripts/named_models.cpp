// The named-model list, in browsing order.
#include "scripts/named_models.h"

// clang-format off
const char* const namedModels[] = {
    // 1 to 12
    "BGA",     "BGB",     "BURGER",  "CDRIVRA", "CDRIVRB", "CGONA",
    "CGONB",   "CHEF",    "CMRAMAN", "COURIER", "CREWA",   "CREWB",
    // 13 to 24
    "DGOONA",  "DGOONB",  "DGOONC",  "FLOOZYA", "FLOOZYB", "FLOOZYC",
    "FSFA",    "IGCANDY", "IGBUDDY", "IGBUDY2", "IGBUDY3", "IGCOLON",
    // 25, 26: no name
    nullptr,   nullptr,
    // 27 to 37
    "IGHLARY", "IGHLRY2", "IGKEN",   "IGMERC",  "IGMERC2", "IGMIKE",
    "IGMIKE2", "IGPHIL",  "IGPHIL2", "IGPHIL3", "IGSONNY",
    // 38 to 49
    "MBA",     "MBB",     "MGOONA",  "MPORNA",  "MSERVER", "PLAYER",
    "PLAYER2", "PLAYER3", "PLAYER4", "PLAYER5", "PLAYER6", "IGALSCB",
    // 50 to 61
    "PRINTRA", "PRINTRB", "PRINTRC", "PSYCHO",  "S_KEEP",  "SAM",
    "SGC",     "SGOONA",  "SGOONB",  "SHOOTRA", "SHOOTRB", "SPANDXA",
    // 62 to 73
    "SPANDXB", "STRIPA",  "STRIPB",  "STRIPC",  "WFYCST",  "IGDICK",
    "IGJEZZ",  "IGPERCY", "JZGIRLA", "PLAY10",  "PLAY11",  "PLAY12",
};
// clang-format on
static_assert(sizeof namedModels / sizeof namedModels[0] == kNamedModelCount, "one entry per named position");
