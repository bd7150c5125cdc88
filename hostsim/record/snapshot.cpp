// The "world" record: what the substitute's world holds at one moment, for
// tests and for modders who want to see where things stand.
#include "hostsim/record/snapshot.h"

#include <cmath>
#include <cstdio>

#include "hostsim/record/trace.h"

namespace hostsim {

// Two decimals: enough to tell things apart. Rounded here, half away from
// zero, rather than by printf, whose ties differ between C libraries; a
// float times 100 is exact in a double.
static std::string Number(float value)
{
    const long long hundredths = std::llround(static_cast<double>(value) * 100.0);
    const unsigned long long magnitude = hundredths < 0 ? -hundredths : hundredths;
    char text[32];
    snprintf(text, sizeof text, "%s%llu.%02llu", hundredths < 0 ? "-" : "", magnitude / 100, magnitude % 100);
    return text;
}

static std::string Quoted(const std::string& text)
{
    std::string out;
    AppendJsonString(out, text);
    return out;
}

static std::string Point(float x, float y, float z)
{
    return "\"x\":" + Number(x) + ",\"y\":" + Number(y) + ",\"z\":" + Number(z);
}

std::string WorldJson(const HostWorld& world)
{
    const HostPlayer& player = world.player;
    std::string out = "\"player\":{" + Point(player.x, player.y, player.z) + ",\"heading\":" + Number(player.heading) +
                      ",\"model\":" + Quoted(player.model) + "},\"peds\":[";
    const char* comma = "";
    for (const auto& [handle, ped] : world.peds) {
        out += comma;
        out += "{\"handle\":" + std::to_string(handle) + ",\"model\":" + std::to_string(ped.model) +
               ",\"name\":" + (ped.name.empty() ? "null" : Quoted(ped.name)) + "," + Point(ped.x, ped.y, ped.z) +
               ",\"heading\":" + Number(ped.heading) + ",\"doing\":" + Quoted(ped.doing) +
               ",\"inCar\":" + (ped.inCar ? "true" : "false") + "}";
        comma = ",";
    }
    out += "],\"cars\":[";
    comma = "";
    for (const auto& [handle, car] : world.cars) {
        out += comma;
        out += "{\"handle\":" + std::to_string(handle) + ",\"model\":" + std::to_string(car.model) + "," +
               Point(car.x, car.y, car.z) + ",\"heading\":" + Number(car.heading) + ",\"speed\":" + Number(car.speed) +
               ",\"doing\":" + Quoted(car.doing) + ",\"driver\":" + std::to_string(car.driver) + "}";
        comma = ",";
    }
    out += "],\"markers\":[";
    comma = "";
    for (const auto& [handle, marker] : world.markers) {
        out += comma;
        out += "{\"handle\":" + std::to_string(handle) + "," + Point(marker.x, marker.y, marker.z) + "}";
        comma = ",";
    }
    char clock[8];
    snprintf(clock, sizeof clock, "%02d:%02d", world.clockHour % 100, world.clockMinute % 100);
    return out + "],\"clock\":\"" + clock + "\",\"weather\":" + std::to_string(world.weather);
}

}  // namespace hostsim
