#pragma once

#include <QString>
#include <optional>

#include "settings/settings_file.h"

namespace bivane {

// The settings file's name in the program folder.
inline constexpr char kSettingsFileName[] = "Bivane.ini";

// What start-up found in the settings file.
struct SettingsFileLoad {
    bool exists = false;
    // The items read (the built-in values where none could be read) and the
    // first problem of the text.
    SettingsRead read;
    // Why a file that exists cannot be read at all.
    std::optional<QString> failure;
};

// Reads the settings file at `path`; settings texts must be ones a serial
// port can use.
SettingsFileLoad LoadSettingsFile(const QString& path);

// Keeps a copy of an unreadable settings file beside it as `path` + ".bad",
// replacing an older copy. Nothing on success, else why not.
std::optional<QString> KeepBadSettingsFile(const QString& path);

// Writes the settings file whole or not at all: into a temporary file in the
// same folder, synced to disk, which then replaces `path`; last the folder is
// synced, so the new file outlasts a power cut. Nothing on success, else why
// not.
std::optional<QString> SaveSettingsFile(const QString& path, const SettingsItems& items);

}  // namespace bivane
