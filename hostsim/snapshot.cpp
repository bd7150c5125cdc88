// The "world" record: what the substitute's world holds at one moment, for
// tests and for modders who want to see where things stand.
#include "hostsim/snapshot.h"

#include <cstdio>

// Two decimals: enough to tell things apart, and the same text natively and
// under Wine however the last bits of a position came out.
static std::string Number(float value)
{
    char text[32];
    snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    std::string out = text;
    return out == "-0.00" ? "0.00" : out;
}

static std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c < 0x20)
            continue;
        out += static_cast<char>(c);
    }
    return out + "\"";
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
    for (const auto& [handle, point] : world.markers) {
        out += comma;
        out += "{\"handle\":" + std::to_string(handle) + "," + Point(point[0], point[1], point[2]) + "}";
        comma = ",";
    }
    char clock[8];
    snprintf(clock, sizeof clock, "%02d:%02d", world.clockHour % 100, world.clockMinute % 100);
    return out + "],\"clock\":\"" + clock + "\",\"weather\":" + std::to_string(world.weather);
}
