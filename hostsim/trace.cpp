// Trace records as JSON Lines and as a readable log.
#include "hostsim/trace.h"

#include <charconv>
#include <cstdio>

static void AppendJsonString(std::string& out, const std::string& text)
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

static std::string IdText(uint16_t id)
{
    char text[8];
    snprintf(text, sizeof text, "%04X", id);
    return text;
}

std::string TraceRecordJson(const TraceRecord& record)
{
    std::string out = "{\"t\":" + std::to_string(record.t) + ",\"kind\":";
    AppendJsonString(out, record.kind);
    if (record.kind == "cmd" || record.kind == "text") {
        out += ",\"script\":" + std::to_string(record.script) + ",\"id\":\"" + IdText(record.id) + "\"";
    }
    if (record.kind == "cmd") {
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
    } else if (record.kind == "text") {
        out += ",\"key\":";
        AppendJsonString(out, record.key);
        out += ",\"text\":";
        AppendJsonString(out, record.text);
        out += ",\"ms\":" + std::to_string(record.ms) + ",\"style\":" + std::to_string(record.style);
        if (record.hasNumber)
            out += ",\"number\":" + std::to_string(record.number);
    } else if (record.kind == "error") {
        out += ",\"what\":";
        AppendJsonString(out, record.what);
    } else if (record.kind == "world") {
        out += "," + record.world;
    }
    out += '}';
    return out;
}

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

std::string TraceRecordLogLine(const TraceRecord& record, bool colour)
{
    std::string at = "[" + Clock(record.t) + "] ";
    char detail[160];
    if (record.kind == "text") {
        const char* how = record.style == 2 ? "TITLE" : "TEXT ";
        return at + how + " " + Rendered(record, colour) + "  (" + std::to_string(record.ms) + " ms)";
    }
    if (record.kind == "error")
        return at + "ERROR " + record.what;
    if (record.kind == "world")
        return at + "WORLD " + record.world;
    if (record.kind == "reinit" || record.kind == "shutdown" || record.kind == "end")
        return at + "HOST  " + record.kind;
    if (record.kind != "cmd")
        return "";
    int32_t handle = record.out.empty() ? 0 : record.out.back();
    switch (record.id) {
    case 0x016A:
        snprintf(detail, sizeof detail, "FADE  %s over %d ms", IntArgument(record, 1) ? "in" : "out", IntArgument(record, 0));
        break;
    case 0x009A:
        snprintf(detail, sizeof detail, "PED   #%d model %d at (%.2f, %.2f, %.2f)", handle, IntArgument(record, 1),
                 FloatArgument(record, 2), FloatArgument(record, 3), FloatArgument(record, 4));
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
        return "";
    }
    return at + detail;
}
