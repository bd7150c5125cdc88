// Key labels: the keys the studio and the window use, by virtual-key code.
#include "hostsim/record/key_labels.h"

#include "hostsim/engine/scenario.h"

namespace hostsim {

struct KeyLabelRow {
    int code;
    const char* label;
};

// clang-format off
static const KeyLabelRow kKeyLabels[] = {
    // code  label
    { 8,     "Backspace"   },
    { 9,     "Tab"         },
    { 13,    "Enter"       },
    { 27,    "Esc"         },
    { 32,    "Space"       },
    { 33,    "Page Up"     },
    { 34,    "Page Down"   },
    { 35,    "End"         },
    { 36,    "Home"        },
    { 37,    "Left"        },
    { 38,    "Up"          },
    { 39,    "Right"       },
    { 40,    "Down"        },
    { 45,    "Insert"      },
    { 46,    "Delete"      },
    { 160,   "Left Shift"  },
    { 161,   "Right Shift" },
    { 162,   "Left Ctrl"   },
    { 163,   "Right Ctrl"  },
    { 164,   "Left Alt"    },
    { 165,   "Right Alt"   },
    { 188,   "Comma"       },
    { 190,   "Period"      },
};
// clang-format on
static_assert(sizeof kKeyLabels / sizeof kKeyLabels[0] == 23, "the studio's and the window's named keys");

std::string KeyLabel(int virtualKey)
{
    for (const KeyLabelRow& row : kKeyLabels)
        if (row.code == virtualKey)
            return row.label;
    return VirtualKeyName(virtualKey);
}

}  // namespace hostsim
