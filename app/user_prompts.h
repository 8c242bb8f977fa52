#pragma once

#include <QString>
#include <optional>

namespace bivane {

// The message boxes and the input prompt of the program, behind an interface
// so that tests answer them. Both wait for the user.
class UserPrompts {
  public:
    virtual ~UserPrompts() = default;

    // A message box with an OK button only and no icon.
    virtual void message(const QString& title, const QString& text) = 0;

    // An input prompt with one text field, OK and Cancel: the text confirmed
    // with OK, or nothing on Cancel.
    virtual std::optional<QString> input(const QString& title, const QString& prompt,
                                         const QString& initial) = 0;
};

}  // namespace bivane
