#include "settings/settings_file.h"

#include <charconv>
#include <cmath>

#include "settings/strict_number.h"
#include "nmea/integer_conversion.h"

namespace bivane {
namespace {

constexpr std::string_view kTrue = "#TRUE#";
constexpr std::string_view kFalse = "#FALSE#";

enum class Kind { PortNumber, SettingsText, Offset, Switch };

struct FileItem {
    Kind kind;
    std::string_view name;
};

// The eleven items in file order.
constexpr std::array<FileItem, 11> kItems = {{
    {Kind::PortNumber, "the port number of port 1"},
    {Kind::SettingsText, "the settings text of port 1"},
    {Kind::PortNumber, "the port number of port 2"},
    {Kind::SettingsText, "the settings text of port 2"},
    {Kind::PortNumber, "the port number of port 3"},
    {Kind::SettingsText, "the settings text of port 3"},
    {Kind::Offset, "the X offset of the GPS 1 antenna"},
    {Kind::Offset, "the Y offset of the GPS 1 antenna"},
    {Kind::Offset, "the X offset of the GPS 2 antenna"},
    {Kind::Offset, "the Y offset of the GPS 2 antenna"},
    {Kind::Switch, "the heading output switch"},
}};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// One item as it stands in the file.
struct RawItem {
    std::string_view text;  // quotes removed from a quoted item
    std::string_view asWritten;
    bool quoted = false;
};

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The items of the whole text, one after the other, in whatever layout: a
// comma or a line end (CR LF, LF or CR) ends an item.
class FileItems {
  public:
    explicit FileItems(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_at >= m_text.size(); }
    // The line (from 1) that the next item starts on.
    int line() const { return m_line; }

    // The next item and the comma or line end after it, or why it cannot be
    // taken.
    std::optional<std::string> next(RawItem& item) {
        skipBlanks();
        const std::size_t start = m_at;
        if (m_at < m_text.size() && m_text[m_at] == '"') {
            // A settings text never holds a line break: its closing quote
            // stands on its own line.
            const std::size_t close = m_text.find_first_of("\"\r\n", m_at + 1);
            if (close == std::string_view::npos || m_text[close] != '"') {
                return "a quoted text has no closing quote";
            }
            item.quoted = true;
            item.text = m_text.substr(m_at + 1, close - m_at - 1);
            item.asWritten = m_text.substr(start, close + 1 - start);
            m_at = close + 1;
            skipBlanks();
            if (m_at < m_text.size() && m_text[m_at] != ',' && !isLineEnd(m_text[m_at])) {
                return "text follows the closing quote of " + std::string(item.asWritten);
            }
        } else {
            const std::size_t stop = std::min(m_text.find_first_of(",\r\n", m_at), m_text.size());
            std::string_view text = m_text.substr(m_at, stop - m_at);
            while (!text.empty() && isBlank(text.back())) {
                text.remove_suffix(1);
            }
            item.quoted = false;
            item.text = text;
            item.asWritten = text;
            m_at = stop;
        }
        skipItemEnd();
        return std::nullopt;
    }

  private:
    void skipBlanks() {
        while (m_at < m_text.size() && isBlank(m_text[m_at])) {
            ++m_at;
        }
    }

    void skipItemEnd() {
        if (m_at >= m_text.size()) {
            return;
        }
        if (m_text[m_at] == ',') {
            ++m_at;
            return;
        }
        const bool crLf =
            m_text[m_at] == '\r' && m_at + 1 < m_text.size() && m_text[m_at + 1] == '\n';
        m_at += crLf ? 2 : 1;
        ++m_line;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    int m_line = 1;
};

std::string quotedForMessage(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Stores item number `k` of the file into `items`, or says why it cannot.
std::optional<std::string> store(std::size_t k, const RawItem& item, SettingsItems& items,
                                 const PortSettingsCheck& checkPortSettings) {
    const FileItem& expected = kItems[k];
    if (!item.quoted && item.text.empty()) {
        return std::string(expected.name) + " is missing";
    }
    const std::string name = std::string(expected.name) + ", " + quotedForMessage(item.asWritten);
    if (expected.kind == Kind::SettingsText) {
        if (!item.quoted) {
            return name + ", is not in double quotes";
        }
        if (checkPortSettings) {
            if (auto problem = checkPortSettings(item.text)) {
                return name + ", cannot be used: " + *problem;
            }
        }
        items.ports[k / 2].settings = item.text;
        return std::nullopt;
    }
    if (item.quoted) {
        return name + ", is a quoted text where " +
               (expected.kind == Kind::Switch ? "#TRUE# or #FALSE#" : "a number") + " is expected";
    }
    if (expected.kind == Kind::Switch) {
        if (item.text != kTrue && item.text != kFalse) {
            return name + ", is neither #TRUE# nor #FALSE#";
        }
        items.HeadingOutput = item.text == kTrue;
        return std::nullopt;
    }
    const std::optional<double> number = ReadStrictNumber(item.text);
    if (!number) {
        return name + ", is not a number";
    }
    if (expected.kind == Kind::PortNumber) {
        const std::optional<std::int16_t> port = RoundToInteger<std::int16_t>(*number);
        if (!port || *port < 1) {
            return name + ", lies outside 1 to 32767";
        }
        items.ports[k / 2].number = *port;
        return std::nullopt;
    }
    const std::size_t offset = k - 6;  // X1, Y1, X2, Y2
    (offset % 2 == 0 ? items.OffsetX : items.OffsetY)[offset / 2] = *number;
    return std::nullopt;
}

}  // namespace

SettingsRead ReadSettingsFile(std::string_view text, const PortSettingsCheck& checkPortSettings) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    SettingsRead read;
    FileItems items(text);
    for (std::size_t k = 0; k < kItems.size(); ++k) {
        const int line = items.line();
        const auto fail = [&](std::string description) {
            read.problem = SettingsProblem{line, std::move(description)};
            return read;
        };
        if (items.atEnd()) {
            return fail("the file ends before " + std::string(kItems[k].name));
        }
        RawItem item;
        if (auto problem = items.next(item)) {
            return fail(*problem);
        }
        if (auto problem = store(k, item, read.items, checkPortSettings)) {
            return fail(*problem);
        }
    }
    return read;
}

std::string SettingsNumberText(double value) {
    if (std::isnan(value) || value == 0) {
        return "0";  // no "-0"
    }
    if (std::isinf(value)) {
        return value > 0 ? "1e999" : "-1e999";
    }
    char text[32];
    const auto result = std::to_chars(std::begin(text), std::end(text), value);
    return std::string(text, result.ptr);
}

std::string WriteSettingsFile(const SettingsItems& items) {
    std::string text;
    for (const PortSettingsItem& port : items.ports) {
        text += std::to_string(port.number);
        text += ",\"";
        for (char c : port.settings) {
            if (c != '"' && c != '\r' && c != '\n') {
                text += c;
            }
        }
        text += "\"\r\n";
    }
    for (std::size_t i = 0; i < 2; ++i) {
        text += SettingsNumberText(items.OffsetX[i]) + "," + SettingsNumberText(items.OffsetY[i]);
        text += "\r\n";
    }
    text += items.HeadingOutput ? kTrue : kFalse;
    text += "\r\n";
    return text;
}

}  // namespace bivane
