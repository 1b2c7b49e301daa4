// Writing the game configuration file back from the settings store.
#pragma once

#include <string>
#include <string_view>

#include "config/file_ops.h"
#include "config/settings_store.h"

namespace vorn {

struct SaveResult {
  bool ok = false;
  std::string path;       // the file that could not be saved
  SystemError error = 0;  // the system's reason
};

// One "key = value" line (CR LF) per entry, then `tail` verbatim (by default
// the list's own unread tail). A line ending after "=" would swallow the
// next line's key when read back, so an entry with an empty value is written
// only as the very last line.
std::string FormatConfig(const ConfigList& entries, std::string_view tail);
std::string FormatConfig(const ConfigList& entries);

// Puts the ID text back into the list, then replaces Vorn.cfg in one step:
// on failure the old file is left whole and no temporary file remains.
SaveResult WriteGameConfig(SettingsStore& store);

}  // namespace vorn
