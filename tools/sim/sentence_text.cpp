#include "tools/sim/sentence_text.h"

#include "nmea/hdt.h"

namespace bivane::sim {

std::string FinishSentence(std::string_view body) {
    std::string line(body);
    line += '*';
    line += NmeaChecksum(line);
    line += "\r\n";
    return line;
}

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
    std::vector<std::string_view> items;
    for (;;) {
        const std::size_t comma = text.find(',');
        items.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) {
            return items;
        }
        text.remove_prefix(comma + 1);
    }
}

std::vector<std::string> SentenceFields(std::string_view line) {
    if (!line.empty() && line.front() == '$') {
        line.remove_prefix(1);
    }
    const auto pieces = SplitAtCommas(line.substr(0, line.find_first_of("*\r\n")));
    return {pieces.begin(), pieces.end()};
}

std::string ReplaceField(std::string_view line, std::size_t index, std::string_view value) {
    std::vector<std::string> fields = SentenceFields(line);
    if (index < fields.size()) {
        fields[index] = value;
    }
    std::string body = "$";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        body += (i == 0 ? "" : ",") + fields[i];
    }
    return FinishSentence(body);
}

}  // namespace bivane::sim
