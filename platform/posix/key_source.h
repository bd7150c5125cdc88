// Natively the keyboard is the substitute host's: it installs the function
// that answers the module's key polls.
#pragma once

#include <cstdint>

typedef int16_t (*KeyStateSource)(int virtualKey);
void SetKeyStateSource(KeyStateSource source);
