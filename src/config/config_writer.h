// Writing the game configuration file back from the settings store.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/file_ops.h"
#include "config/settings_store.h"

namespace vorn {

struct SaveResult {
  bool ok = false;
  FilePlace path;           // the file that could not be saved (or, `copyLeft`, removed)
  SystemError error = 0;    // the system's reason, when writing failed
  bool tooLarge = false;    // the file now on disk cannot be read: left alone
  bool linked = false;      // it is a link (see `link`): left alone
  bool changed = false;     // another program wrote it since it was read: not replaced
  bool unreadable = false;  // it could not be read again before the save (see `error`)
  // Saved, but the game client's copy (`path`) is still there, and the client
  // reads it rather than the file saved: why, as above.
  bool copyLeft = false;
  LinkedFile link;
};

// One "key = value" line (CR LF) per entry, then `tail` verbatim (by default
// the list's own unread tail). A line ending after "=" would swallow the
// next line's key when read back, so an entry with an empty value is written
// only as the very last line.
std::string FormatConfig(const ConfigList& entries, std::string_view tail);
std::string FormatConfig(const ConfigList& entries);

// Puts the ID text back into the list, then replaces Vorn.cfg in one step,
// while it is still the file the store's last read found (or creates it
// while there is none): on failure the old file is left whole and no
// temporary file remains.
SaveResult WriteGameConfig(SettingsStore& store);

// Keys and the values the Options dialog gives them, in the order they are set.
using SettingValues = std::vector<std::pair<std::string, std::string>>;

// Saves the dialog's values over what Vorn.cfg holds now: another program
// (the game, its patcher) may have rewritten it since it was read, even
// while it is being saved, and its other pairs and unread bytes are kept. A
// Vorn.cfg that is now too large, a link or unreadable is left alone.
//
// Where the game client reads its own copy (see ReadGameConfig), the copy
// is what Vorn.cfg holds now: the game folder's Vorn.cfg is written from it,
// and the copy then removed while it is still the one read, so that the
// client reads the file saved; a copy of the safe-mode file is moved into
// the game folder as it stands.
SaveResult SaveGameConfig(SettingsStore& store, const SettingValues& values);

}  // namespace vorn
