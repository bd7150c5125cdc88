// The ped places and their differences from the shared named-model list.
#include "scripts/ped_catalogue.h"

#include "scripts/named_models.h"
#include "scripts/studio_state.h"

// clang-format off
const PedPlace pedPlaces[] = {
    //  group  confirm     position 24  position 26  position 31
    // Group 1
    {   1,     "!GP1PD1",  "IGCOLON",   nullptr,     "IGMERC2" },  // place 1: Ped 1
    // Group 2
    {   2,     "!GP2PD1",  "IGCOLON",   nullptr,     "IGMERC2" },  // place 2: Ped 1
    {   2,     "!GP2PD2",  "IGCOLON",   nullptr,     "IGMERC2" },  // place 3: Ped 2
    // Group 3
    {   3,     "!GP3PD1",  "IGCOLON",   nullptr,     "IGMERC2" },  // place 4: Ped 1
    {   3,     "!GP3PD2",  "IGCOLON",   nullptr,     "IGMERC2" },  // place 5: Ped 2
    {   3,     "!GP3PD3",  "IGCOLON",   nullptr,     "IGMERC3" },  // place 6: Ped 3
    // Group 4
    {   4,     "!GP4PD1",  "IGCOLON",   nullptr,     "IGMERD1" },  // place 7: Ped 1
    {   4,     "!GP4PD2",  "IGCOLON",   nullptr,     "IGMERD2" },  // place 8: Ped 2
    {   4,     "!GP4PD3",  "IGCOLON",   nullptr,     "IGMERD3" },  // place 9: Ped 3
    {   4,     "!GP4PD4",  nullptr,     "IGGONZ",    "IGMERD4" },  // place 10: Ped 4
};
// clang-format on
static_assert(sizeof pedPlaces / sizeof pedPlaces[0] == kPedPlaceCount, "one row per ped slot");

const char* PlaceModelName(int place, int position)
{
    const PedPlace& row = pedPlaces[place - 1];
    switch (position) {
    case 24:
        return row.name24;
    case 26:
        return row.name26;
    case 31:
        return row.name31;
    default:
        return namedModels[position - 1];
    }
}
