// Trace records as JSON Lines.
#include "hostsim/record/trace.h"

#include <charconv>
#include <cstdio>

namespace hostsim {

void AppendJsonString(std::string& out, const std::string& text)
{
    out += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

// The shortest decimal that reads back as the same single-precision value.
static std::string FloatText(float value)
{
    char digits[32];
    std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

std::string CommandIdText(uint16_t id)
{
    char text[8];
    snprintf(text, sizeof text, "%04X", id);
    return text;
}

const char* RecordKindName(RecordKind kind)
{
    // clang-format off
    static const char* const kNames[] = { "cmd", "text", "stall", "reinit", "shutdown", "error", "world", "end" };
    // clang-format on
    static_assert(sizeof kNames / sizeof kNames[0] == kEndRecord + 1, "a name for each kind of record");
    return kNames[kind];
}

std::string TraceRecordJson(const TraceRecord& record)
{
    std::string out = "{\"t\":" + std::to_string(record.t) + ",\"kind\":";
    AppendJsonString(out, RecordKindName(record.kind));
    if (record.kind == kCommandRecord || record.kind == kTextRecord || record.kind == kStallRecord) {
        out += ",\"script\":" + std::to_string(record.script) + ",\"id\":\"" + CommandIdText(record.id) + "\"";
    }
    if (record.kind == kCommandRecord) {
        out += ",\"args\":[";
        for (size_t n = 0; n < record.args.size(); ++n) {
            const TraceArgument& argument = record.args[n];
            if (n)
                out += ',';
            out += "[\"";
            out += argument.kind;
            out += '"';
            switch (argument.kind) {
            case 'i':
                out += "," + std::to_string(argument.i);
                break;
            case 'f':
                out += "," + FloatText(argument.f);
                break;
            case 's':
                out += ',';
                AppendJsonString(out, argument.s);
                break;
            case 'v':
                out += "," + std::to_string(argument.slot) + "," + std::to_string(argument.i);
                break;
            }
            out += ']';
        }
        out += "],\"cond\":" + std::to_string(record.cond);
        if (!record.out.empty()) {
            out += ",\"out\":[";
            for (size_t n = 0; n < record.out.size(); ++n)
                out += (n ? "," : "") + std::to_string(record.out[n]);
            out += ']';
        }
    } else if (record.kind == kTextRecord) {
        out += ",\"key\":";
        AppendJsonString(out, record.key);
        out += ",\"text\":";
        AppendJsonString(out, record.text);
        out += ",\"ms\":" + std::to_string(record.ms) + ",\"style\":" + std::to_string(record.style);
        if (record.hasNumber)
            out += ",\"number\":" + std::to_string(record.number);
    } else if (record.kind == kStallRecord) {
        out += ",\"ms\":" + std::to_string(record.ms);
    } else if (record.kind == kErrorRecord) {
        out += ",\"what\":";
        AppendJsonString(out, record.what);
    } else if (record.kind == kWorldRecord) {
        out += "," + record.world;
    }
    out += '}';
    return out;
}

}  // namespace hostsim
