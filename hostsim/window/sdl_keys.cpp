// Scancodes to virtual-key codes, for a US keyboard layout as the host's
// key polls assume.
#include "hostsim/window/sdl_keys.h"

namespace hostsim {

struct ScancodeKey {
    SDL_Scancode scancode;
    int virtualKey;
};

// clang-format off
static const ScancodeKey kScancodeKeys[] = {
    // scancode                 virtual key
    { SDL_SCANCODE_BACKSPACE,   8   },
    { SDL_SCANCODE_TAB,         9   },
    { SDL_SCANCODE_RETURN,      13  },
    { SDL_SCANCODE_ESCAPE,      27  },
    { SDL_SCANCODE_SPACE,       32  },
    { SDL_SCANCODE_PAGEUP,      33  },
    { SDL_SCANCODE_PAGEDOWN,    34  },
    { SDL_SCANCODE_END,         35  },
    { SDL_SCANCODE_HOME,        36  },
    { SDL_SCANCODE_LEFT,        37  },
    { SDL_SCANCODE_UP,          38  },
    { SDL_SCANCODE_RIGHT,       39  },
    { SDL_SCANCODE_DOWN,        40  },
    { SDL_SCANCODE_INSERT,      45  },
    { SDL_SCANCODE_DELETE,      46  },
    { SDL_SCANCODE_LSHIFT,      160 },
    { SDL_SCANCODE_RSHIFT,      161 },
    { SDL_SCANCODE_LCTRL,       162 },
    { SDL_SCANCODE_RCTRL,       163 },
    { SDL_SCANCODE_LALT,        164 },
    { SDL_SCANCODE_RALT,        165 },
    { SDL_SCANCODE_COMMA,       188 },
    { SDL_SCANCODE_PERIOD,      190 },
};
// clang-format on
static_assert(sizeof kScancodeKeys / sizeof kScancodeKeys[0] == 23, "the named keys");

int VirtualKeyOf(SDL_Scancode scancode)
{
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    // SDL numbers the digit row 1 to 9, then 0.
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0)
        return '0';
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return 0x70 + (scancode - SDL_SCANCODE_F1);
    for (const ScancodeKey& key : kScancodeKeys)
        if (key.scancode == scancode)
            return key.virtualKey;
    return 0;
}

}  // namespace hostsim
