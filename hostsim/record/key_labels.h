// Key names as a person reads them (Insert, Page Up, Left Shift), for the
// studio window's panel and the player's key documents.
#pragma once

#include <string>

namespace hostsim {

// "Insert", "Page Up", "Left Shift", "F4", "Q", "7", ... ; for a code with no
// label, its scenario name.
std::string KeyLabel(int virtualKey);

}  // namespace hostsim
