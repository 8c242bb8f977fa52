#pragma once

// Small stand-ins for what the heading engine is handed: a fixed clock,
// outputs that record or fail, and a message sink that records.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "heading/local_clock.h"
#include "heading/text_output.h"
#include "nmea/message_sink.h"

namespace bivane::test {

class FixedClock final : public LocalClock {
  public:
    LocalTime time{2026, 12, 5, 12, 34, 56};
    LocalTime now() const override { return time; }
};

class RecordingOutput final : public TextOutput {
  public:
    std::string text;
    std::string failure;  // non-empty: every write fails with it
    IoResult write(std::string_view written) override {
        if (!failure.empty()) {
            return IoResult::Failure(failure);
        }
        text += written;
        return {};
    }
};

class RecordingSink final : public MessageSink {
  public:
    std::vector<std::pair<std::string, std::string>> messages;
    void showMessage(std::string_view title, std::string_view text) override {
        messages.emplace_back(title, text);
    }
};

}  // namespace bivane::test
