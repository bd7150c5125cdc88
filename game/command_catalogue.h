// The command catalogue: one constant descriptor per host command the module
// sends, each command in exactly one form.
#pragma once

#include "script/command.h"

extern const CommandDescriptor kWait;         // 0x0001 "i"
extern const CommandDescriptor kStartScript;  // 0x00D7 "iz"
