#pragma once

#include <string>
#include <utility>

namespace bivane {

// The outcome of opening a port or writing to a port or a file: success, or
// a failure with the description the user is shown.
class [[nodiscard]] IoResult {
  public:
    IoResult() = default;  // success
    static IoResult Failure(std::string description) {
        IoResult result;
        result.m_failed = true;
        result.m_description = std::move(description);
        return result;
    }

    bool ok() const { return !m_failed; }
    // What went wrong; empty on success.
    const std::string& failure() const { return m_description; }

    bool operator==(const IoResult&) const = default;

  private:
    bool m_failed = false;
    std::string m_description;
};

}  // namespace bivane
