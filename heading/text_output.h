#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace bivane {

// A place the heading cycle writes its sentences to: the heading output port
// or the log file. write() hands the text on at once and returns nothing on
// success, or the description of the failure.
class TextOutput {
  public:
    virtual ~TextOutput() = default;
    virtual std::optional<std::string> write(std::string_view text) = 0;
};

}  // namespace bivane
