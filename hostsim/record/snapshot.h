// The fields of a "world" record, after "t" and "kind", as JSON.
#pragma once

#include <string>

#include "hostsim/engine/host_world.h"

namespace hostsim {

std::string WorldJson(const HostWorld& world);

}  // namespace hostsim
