// What the process's code says with OutputDebugStringA, seen as a debugger
// would see it, for the tests of what the module says when it loads.
#pragma once

#include <string>

// From now on every debug string the process sends is kept.
void KeepDebugOutput();

// Every debug string kept so far, in order, one after the other.
std::string DebugOutput();
