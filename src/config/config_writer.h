// Writing the game configuration file back from the settings store.
#pragma once

#include <string>

#include "config/settings_store.h"

namespace vorn {

struct SaveResult {
  bool ok = false;
  std::string message;  // the file's path and the system's reason, when not ok
};

// One "key = value" line (CR LF) per entry, then the unread tail verbatim.
// A line ending after "=" would swallow the next line's key when read back,
// so an entry with an empty value is written only as the very last line.
std::string FormatConfig(const ConfigList& entries);

// Puts the ID text back into the list, then replaces Vorn.cfg in one step:
// on failure the old file is left whole and no temporary file remains.
SaveResult WriteGameConfig(SettingsStore& store);

}  // namespace vorn
