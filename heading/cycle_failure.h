#pragma once

#include <stdexcept>
#include <string>

namespace bivane {

// A failure that ends the current heading cycle at the failing step; what the
// cycle did before it stays done. Its description goes to the error line.
class CycleFailure : public std::runtime_error {
  public:
    explicit CycleFailure(const std::string& description) : std::runtime_error(description) {}
};

}  // namespace bivane
