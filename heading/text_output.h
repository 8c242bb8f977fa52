#pragma once

#include <string_view>

#include "heading/io_result.h"

namespace bivane {

// A place the heading cycle writes its sentences to: the heading output port
// or the log file. write() hands the text on at once.
class TextOutput {
  public:
    virtual ~TextOutput() = default;
    virtual IoResult write(std::string_view text) = 0;
};

}  // namespace bivane
