#include "hostsim/record/text_codes.h"

namespace hostsim {

std::vector<TextRun> TextRuns(const std::string& text, int number)
{
    std::vector<TextRun> runs(1, { kNormalText, "" });
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '~' && at + 2 < text.size() && text[at + 2] == '~') {
            const char code = text[at + 1];
            at += 2;
            if (code == '1')
                runs.back().text += std::to_string(number);
            else
                runs.push_back({ code == 'r' ? kRedText : code == 'b' ? kBlueText : kNormalText, "" });
            continue;
        }
        runs.back().text += text[at];
    }
    return runs;
}

}  // namespace hostsim
