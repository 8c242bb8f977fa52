#pragma once

#include <QString>
#include <optional>

namespace bivane {

// The message boxes and the questions of the program, behind an interface
// so that tests answer them. All wait for the user.
class UserPrompts {
  public:
    virtual ~UserPrompts() = default;

    // A message box with an OK button only and no icon.
    virtual void message(const QString& title, const QString& text) = 0;

    // An input prompt with one text field, OK and Cancel: the text confirmed
    // with OK, or nothing on Cancel.
    virtual std::optional<QString> input(const QString& title, const QString& prompt,
                                         const QString& initial) = 0;

    // A file to write, chosen by the user (who confirms replacing one that
    // exists), starting at `suggested`: its path, or nothing on Cancel.
    virtual std::optional<QString> saveFile(const QString& title, const QString& suggested) = 0;
};

}  // namespace bivane
