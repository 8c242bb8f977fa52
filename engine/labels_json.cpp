#include "engine/labels_json.h"

#include <cstdio>
#include <string_view>

namespace bivane {
namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0.
std::size_t utf8Length(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        char escaped[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            out += escaped;
        } else if (byte < 0x80) {
            out += c;
        } else if (const std::size_t length = utf8Length(text, i); length > 0) {
            out.append(text.substr(i, length));
            i += length - 1;
        } else {
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            out += escaped;
        }
    }
    out += '"';
}

}  // namespace

std::string LabelsJson(const MainWindowText& window) {
    std::string out = "{";
    bool first = true;
    window.forEachLabel([&](std::string_view name, int index, const LabelText& label) {
        out += first ? "\n  " : ",\n  ";
        first = false;
        appendJsonString(out, LabelKey(name, index));
        out += ": {\"text\": ";
        appendJsonString(out, label.text);
        char color[16];
        std::snprintf(color, sizeof color, "#%06X", label.color & 0xFFFFFFu);
        out += ", \"color\": \"";
        out += color;
        out += "\", \"visible\": ";
        out += label.visible ? "true" : "false";
        out += '}';
    });
    out += "\n}\n";
    return out;
}

}  // namespace bivane
