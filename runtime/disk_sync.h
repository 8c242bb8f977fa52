#pragma once

#include <QString>
#include <optional>

namespace bivane {

// Pushes what was written to the open file `handle` (a system file
// descriptor) to the disk. Whether it could.
bool SyncFileToDisk(int handle);

// Pushes the entries of `folder` (a file just renamed into it) to the disk,
// so that a power cut cannot bring back the old entry. Nothing on success or
// where the system has no such step, else why not.
std::optional<QString> SyncFolderToDisk(const QString& folder);

}  // namespace bivane
