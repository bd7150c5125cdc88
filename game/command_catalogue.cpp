// The command catalogue, in ascending order of command id.
#include "game/command_catalogue.h"

//                                  id      types
const CommandDescriptor kWait        = { 0x0001, "i" };
const CommandDescriptor kStartScript = { 0x00D7, "iz" };
