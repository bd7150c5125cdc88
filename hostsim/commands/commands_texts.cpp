// The texts' commands, and the host's own texts for keys the module does not serve.
#include <cstring>

#include "hostsim/commands/command_handlers.h"

namespace hostsim {

struct HostText {
    const char* key;
    const char16_t* text;
};

// A few of the host's own texts; "~1~" stands for the number of the command.
// clang-format off
static const HostText kHostTexts[] = {
    { "NUMBER", u"~1~" },
    { "WELCOME", u"Host welcome text" },
};
// clang-format on

const char16_t* HostOwnText(const char* key)
{
    for (const HostText& text : kHostTexts)
        if (strncmp(key, text.key, 8) == 0)
            return text.text;
    return u"";
}

static std::string Utf8(const char16_t* text)
{
    std::string out;
    for (; *text; ++text) {
        uint32_t c = *text;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The studio confirms a chosen car with its slot's text right after making
// it: from then on the newest car is that slot's, for the labels.
static void NoteCarSlot(const std::string& key)
{
    HostWorld& world = engineRun->world;
    const int slot = key == "!CR1CRE" ? 1 : key == "!CR2CRE" ? 2 : 0;
    if (!slot || world.cars.empty())
        return;
    for (auto& [handle, car] : world.cars)
        if (car.slot == slot)
            car.slot = 0;
    world.cars.rbegin()->second.slot = slot;
}

// The key, then the number when it has one, the ms and the style.
static void Show(const DecodedCommand& command, EngineScript* script, bool withNumber)
{
    TraceRecord text;
    text.kind = kTextRecord;
    text.script = script->number;
    text.id = command.id;
    text.key = command.args[0].s;
    const char16_t* found = engineRun->binding.lookupText(command.labels[0]);
    text.text = Utf8(found);
    if (command.labels[0][0] == '!' && std::u16string(found) == u"NOT FOUND")
        ReportHostError("text key " + text.key + " has no text of the module's");
    NoteCarSlot(text.key);
    text.hasNumber = withNumber;
    text.number = withNumber ? Int(command, 1) : 0;
    text.ms = Int(command, withNumber ? 2 : 1);
    text.style = Int(command, withNumber ? 3 : 2);
    HostWorld& world = engineRun->world;
    (text.style == 2 ? world.title : world.subtitle) = { text.text, text.number, engineRun->now + text.ms };
    RecordTrace(text);
}

void ShowText(const DecodedCommand& command, EngineScript* script)
{
    Show(command, script, false);
}

void ShowNumberText(const DecodedCommand& command, EngineScript* script)
{
    Show(command, script, true);
}

}  // namespace hostsim
