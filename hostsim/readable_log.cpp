// The readable log.
#include "hostsim/readable_log.h"

#include <cstdio>

#include "hostsim/directions.h"
#include "hostsim/engine.h"

static std::string Clock(int64_t t)
{
    char text[32];
    snprintf(text, sizeof text, "%02lld:%02lld.%03lld", static_cast<long long>(t / 60000),
             static_cast<long long>(t / 1000 % 60), static_cast<long long>(t % 1000));
    return text;
}

// The host's inline codes: ~r~ red, ~b~ blue, ~h~ back to normal, ~1~ the number.
static std::string Rendered(const TraceRecord& record, bool colour)
{
    std::string out;
    const std::string& text = record.text;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '~' && at + 2 < text.size() && text[at + 2] == '~') {
            char code = text[at + 1];
            if (code == '1') {
                out += std::to_string(record.number);
            } else if (colour) {
                out += code == 'r' ? "\x1b[1;31m" : code == 'b' ? "\x1b[1;34m" : "\x1b[0m";
            }
            at += 2;
            continue;
        }
        out += text[at];
    }
    if (colour)
        out += "\x1b[0m";
    return out;
}

static float FloatArgument(const TraceRecord& record, size_t n)
{
    return n < record.args.size() ? record.args[n].f : 0;
}

static int32_t IntArgument(const TraceRecord& record, size_t n)
{
    return n < record.args.size() ? record.args[n].i : 0;
}

// "model 4", or for a named model "BURGER (model 109)".
static std::string ModelText(const ReadableLog& log, int32_t model)
{
    std::map<int32_t, std::string>::const_iterator name = log.specialModels.find(model - kFirstSpecialModel);
    if (name == log.specialModels.end())
        return "model " + std::to_string(model);
    return name->second + " (model " + std::to_string(model) + ")";
}

// The detail of a command's line after its time, "" for commands left out.
static std::string CommandDetail(ReadableLog& log, const TraceRecord& record)
{
    char detail[200];
    const int32_t handle = record.out.empty() ? 0 : record.out.back();
    switch (record.id) {
    case 0x023C:
        log.specialModels[IntArgument(record, 0)] = record.args.size() > 1 ? record.args[1].s : "";
        return "";
    case 0x016A:
        snprintf(detail, sizeof detail, "FADE  %s over %d ms", IntArgument(record, 1) ? "in" : "out", IntArgument(record, 0));
        break;
    case 0x009A:
        snprintf(detail, sizeof detail, "PED   #%d %s at (%.2f, %.2f, %.2f)", handle,
                 ModelText(log, IntArgument(record, 1)).c_str(), FloatArgument(record, 2), FloatArgument(record, 3),
                 FloatArgument(record, 4));
        break;
    case 0x00A5:
        snprintf(detail, sizeof detail, "CAR   #%d model %d at (%.2f, %.2f, %.2f)", handle, IntArgument(record, 0),
                 FloatArgument(record, 1), FloatArgument(record, 2), FloatArgument(record, 3));
        break;
    case 0x009B:
    case 0x034F:
    case 0x01C2:
        snprintf(detail, sizeof detail, "PED   #%d removed", IntArgument(record, 0));
        break;
    case 0x00A6:
    case 0x01C3:
        snprintf(detail, sizeof detail, "CAR   #%d removed", IntArgument(record, 0));
        break;
    case 0x02A7:
        snprintf(detail, sizeof detail, "RADAR marker #%d at (%.2f, %.2f, %.2f)", handle, FloatArgument(record, 0),
                 FloatArgument(record, 1), FloatArgument(record, 2));
        break;
    case 0x0164:
        snprintf(detail, sizeof detail, "RADAR marker #%d removed", IntArgument(record, 0));
        break;
    case 0x00C0:
        snprintf(detail, sizeof detail, "CLOCK %02d:%02d", IntArgument(record, 0), IntArgument(record, 1));
        break;
    case 0x01B6:
        snprintf(detail, sizeof detail, "WEATHER %d", IntArgument(record, 0));
        break;
    case 0x0352:
        snprintf(detail, sizeof detail, "PLAYER model %s", record.args.size() > 1 ? record.args[1].s.c_str() : "");
        break;
    default:
        switch (DirectionSubjectOf(record.id)) {
        case kPedDirection:
            return "PED   #" + std::to_string(IntArgument(record, 0)) + " " + DirectionLogText(record.id, record.args);
        case kCarDirection:
            return "CAR   #" + std::to_string(IntArgument(record, 0)) + " " + DirectionLogText(record.id, record.args);
        case kNotADirection:
            break;
        }
        return "";
    }
    return detail;
}

// States the studio sends again and again while the clock is frozen.
static bool IsHeldState(const std::string& detail)
{
    return detail.rfind("CLOCK ", 0) == 0 || detail.rfind("WEATHER ", 0) == 0;
}

// A state not sent again for this long is no longer held: its repeats are
// told, in one line at the last repeat's time, before the next line.
static const int64_t kHoldGapMs = 1000;

static std::string HeldLine(const ReadableLog::Held& held)
{
    return "[" + Clock(held.lastRepeat) + "] " + held.line + " held, " + std::to_string(held.repeats) +
           (held.repeats == 1 ? " time\n" : " times\n");
}

// The repeats of the states no longer held by the time (every state's at the
// end of the run), one line each.
static std::string EndedHolds(ReadableLog& log, int64_t t, bool ending)
{
    std::string lines;
    for (auto& [word, held] : log.held) {
        if (held.repeats && (ending || t - held.lastRepeat > kHoldGapMs)) {
            lines += HeldLine(held);
            held.repeats = 0;
        }
    }
    return lines;
}

static std::string RecordLines(ReadableLog& log, const TraceRecord& record)
{
    const std::string at = "[" + Clock(record.t) + "] ";
    if (record.kind == "text") {
        const char* how = record.style == 2 ? "TITLE" : "TEXT ";
        return at + how + " " + Rendered(record, log.colour) + "  (" + std::to_string(record.ms) + " ms)\n";
    }
    if (record.kind == "error")
        return at + "ERROR " + record.what + "\n";
    if (record.kind == "stall") {
        char line[64];
        if (record.ms < 0)
            snprintf(line, sizeof line, "STALL %04X of script %d, for ever", record.id, record.script);
        else
            snprintf(line, sizeof line, "STALL %04X of script %d for %d ms", record.id, record.script, record.ms);
        return at + line + "\n";
    }
    if (record.kind == "world")
        return at + "WORLD {" + record.world + "}\n";
    if (record.kind == "reinit" || record.kind == "shutdown" || record.kind == "end")
        return at + "HOST  " + record.kind + "\n";
    if (record.kind != "cmd")
        return "";
    const std::string detail = CommandDetail(log, record);
    if (detail.empty())
        return "";
    if (IsHeldState(detail)) {
        ReadableLog::Held& held = log.held[detail.substr(0, detail.find(' '))];
        if (detail == held.line) {
            ++held.repeats;
            held.lastRepeat = record.t;
            return "";
        }
        // A new state ends the hold of the one before, whatever the gap.
        const std::string lines = held.repeats ? HeldLine(held) : "";
        held = { detail, 0, 0 };
        return lines + at + detail + "\n";
    }
    return at + detail + "\n";
}

std::string ReadableLogLines(ReadableLog& log, const TraceRecord& record)
{
    const std::string lines = RecordLines(log, record);
    if (lines.empty() && record.kind != "end")
        return "";
    return EndedHolds(log, record.t, record.kind == "end") + lines;
}
