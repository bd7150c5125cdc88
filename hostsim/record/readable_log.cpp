// The readable log.
#include "hostsim/record/readable_log.h"

#include <cstdio>

#include "hostsim/commands/host_commands.h"
#include "hostsim/engine/host_world.h"
#include "hostsim/record/text_codes.h"

namespace hostsim {

static std::string Clock(int64_t t)
{
    char text[32];
    snprintf(text, sizeof text, "%02lld:%02lld.%03lld", static_cast<long long>(t / 60000),
             static_cast<long long>(t / 1000 % 60), static_cast<long long>(t % 1000));
    return text;
}

// The text's colours as terminal codes, when the log is in colour.
static std::string Rendered(const TraceRecord& record, bool colour)
{
    static const char* const kEscapes[] = { "\x1b[0m", "\x1b[1;31m", "\x1b[1;34m" };  // by TextColour
    std::string out;
    const std::vector<TextRun> runs = TextRuns(record.text, record.number);
    for (size_t n = 0; n < runs.size(); ++n) {
        if (colour && n > 0)
            out += kEscapes[runs[n].colour];
        out += runs[n].text;
    }
    if (colour)
        out += kEscapes[kNormalText];
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

std::string LogSpecialModel(ReadableLog& log, const TraceRecord& record)
{
    log.specialModels[IntArgument(record, 0)] = record.args.size() > 1 ? record.args[1].s : "";
    return "";
}

std::string LogFade(ReadableLog&, const TraceRecord& record)
{
    char line[64];
    snprintf(line, sizeof line, "FADE  %s over %d ms", IntArgument(record, 1) ? "in" : "out", IntArgument(record, 0));
    return line;
}

// The handle a command hands out is in its last variable.
static int32_t HandleOut(const TraceRecord& record)
{
    return record.out.empty() ? 0 : record.out.back();
}

static std::string At(const TraceRecord& record, size_t first)
{
    char text[96];
    snprintf(text, sizeof text, "at (%.2f, %.2f, %.2f)", FloatArgument(record, first), FloatArgument(record, first + 1),
             FloatArgument(record, first + 2));
    return text;
}

std::string LogPedCreated(ReadableLog& log, const TraceRecord& record)
{
    return "PED   #" + std::to_string(HandleOut(record)) + " " + ModelText(log, IntArgument(record, 1)) + " " +
           At(record, 2);
}

std::string LogCarCreated(ReadableLog&, const TraceRecord& record)
{
    return "CAR   #" + std::to_string(HandleOut(record)) + " model " + std::to_string(IntArgument(record, 0)) + " " +
           At(record, 1);
}

std::string LogPedRemoved(ReadableLog&, const TraceRecord& record)
{
    return "PED   #" + std::to_string(IntArgument(record, 0)) + " removed";
}

std::string LogCarRemoved(ReadableLog&, const TraceRecord& record)
{
    return "CAR   #" + std::to_string(IntArgument(record, 0)) + " removed";
}

std::string LogMarkerPlaced(ReadableLog&, const TraceRecord& record)
{
    return "RADAR marker #" + std::to_string(HandleOut(record)) + " " + At(record, 0);
}

std::string LogMarkerRemoved(ReadableLog&, const TraceRecord& record)
{
    return "RADAR marker #" + std::to_string(IntArgument(record, 0)) + " removed";
}

std::string LogClock(ReadableLog&, const TraceRecord& record)
{
    char line[32];
    snprintf(line, sizeof line, "CLOCK %02d:%02d", IntArgument(record, 0), IntArgument(record, 1));
    return line;
}

std::string LogWeather(ReadableLog&, const TraceRecord& record)
{
    return "WEATHER " + std::to_string(IntArgument(record, 0));
}

std::string LogPlayerModel(ReadableLog&, const TraceRecord& record)
{
    return "PLAYER model " + (record.args.size() > 1 ? record.args[1].s : "");
}

static std::string DirectionLine(const char* subject, const TraceRecord& record)
{
    return subject + std::to_string(IntArgument(record, 0)) + " " +
           FindHostCommand(record.id)->words(record.id, record.args, kLogWords);
}

std::string LogPedDirection(ReadableLog&, const TraceRecord& record)
{
    return DirectionLine("PED   #", record);
}

std::string LogCarDirection(ReadableLog&, const TraceRecord& record)
{
    return DirectionLine("CAR   #", record);
}

// The detail of a command's line after its time, "" for commands left out.
static std::string CommandDetail(ReadableLog& log, const TraceRecord& record)
{
    const HostCommand* command = FindHostCommand(record.id);
    return command && command->logLine ? command->logLine(log, record) : "";
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
    if (record.kind == kTextRecord) {
        const char* how = record.style == 2 ? "TITLE" : "TEXT ";
        return at + how + " " + Rendered(record, log.colour) + "  (" + std::to_string(record.ms) + " ms)\n";
    }
    if (record.kind == kErrorRecord)
        return at + "ERROR " + record.what + "\n";
    if (record.kind == kStallRecord) {
        const std::string stall = "STALL " + CommandIdText(record.id) + " of script " + std::to_string(record.script);
        return at + stall + (record.ms < 0 ? ", for ever" : " for " + std::to_string(record.ms) + " ms") + "\n";
    }
    if (record.kind == kWorldRecord)
        return at + "WORLD {" + record.world + "}\n";
    if (record.kind == kReinitRecord || record.kind == kShutdownRecord || record.kind == kEndRecord)
        return at + "HOST  " + RecordKindName(record.kind) + "\n";
    if (record.kind != kCommandRecord)
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
    if (lines.empty() && record.kind != kEndRecord)
        return "";
    return EndedHolds(log, record.t, record.kind == kEndRecord) + lines;
}

}  // namespace hostsim
