#pragma once

#include <string_view>

namespace bivane {

// Where a routine sends a message that the user should see (a message box on
// the window, a line on standard error in the tools). Implementations must
// return at once: the routines that report go straight on with their work.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void showMessage(std::string_view title, std::string_view text) = 0;
};

// A sink for messages nobody is to see: a decoder run only for what it reads.
class DiscardedMessages final : public MessageSink {
  public:
    void showMessage(std::string_view, std::string_view) override {}
};

}  // namespace bivane
