#pragma once

#include <string_view>

namespace bivane {

// Sees what reception takes from the receivers' ports (1 and 2), exactly as
// taken and before it is handled: a recorder of the input, say. It is called
// on the heading's path, so it must not wait.
class InputTap {
  public:
    virtual ~InputTap() = default;

    // The characters of one receive event of port `port`.
    virtual void received(int port, std::string_view characters) = 0;
    // A port event other than a receive event: a line condition such as
    // kEventFrame.
    virtual void lineCondition(int port, int code) = 0;
};

}  // namespace bivane
