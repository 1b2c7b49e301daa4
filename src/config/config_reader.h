// Reading the game's configuration files: a sequence of "key = value" pairs,
// read up to the first pair that cannot be read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "config/file_ops.h"
#include "config/settings_store.h"
#include "config/text_encoder.h"

namespace vorn {

constexpr char kGameConfigFile[] = "Vorn.cfg";
constexpr char kSafeModeConfigFile[] = "VornSafeMode.cfg";

// The largest configuration file read. Real ones hold about a kilobyte; a
// file of this size still fits, with its pairs and the text written back,
// in the 2 GB a 32-bit program has, on a 64-bit build alike.
constexpr std::size_t kMaxConfigBytes = std::size_t{256} << 20;

enum class ReadResult {
  kRead,
  kNotRead,     // missing, or (Vorn.cfg) not a single pair in it
  kUnreadable,  // it exists but cannot be read now: FileFound::error says why
  kTooLarge,    // over kMaxConfigBytes, or more than memory holds
  kLinked,      // a link or one of several names of a file: never read
};

// What a Windows editor puts before the text of a file saved as "UTF-8" or
// "Unicode" (UTF-16, little- or big-endian).
bool StartsWithByteOrderMark(std::string_view bytes);

// The text that a file's bytes hold, in the code page the game reads: the
// bytes after a UTF-8 mark; UTF-16 after its mark converted to `codePage`
// (by `encoder`, or ASCII alone without one) when it decodes and every
// character has its own form there; else the bytes as they are.
std::string ConfigText(std::string bytes, TextEncoder* encoder, int codePage);

// Reads pairs up to the first one that fails, keeping the text from there to
// the end (unless it is only white space or a dangling "key =") verbatim.
ConfigList ParseConfig(std::string text);

// "<folder><separator><file name>"
std::string ConfigPath(const SettingsStore& store, const char* fileName);

// Where the store's copies would hold `fileName`; an empty root without copies.
FilePlace CopyPlace(const SettingsStore& store, const char* fileName);

// The file the last read of `fileName` took: the game client's copy where
// one stood, else the file in the game folder.
FilePlace ReadPlace(const SettingsStore& store, const char* fileName);

// Whether `file` (in the game folder) was written after the client's `copy`
// of it: where neither is later, the copy is what the client reads.
bool WrittenAfter(const FileFound& file, const FileFound& copy);

// Both set the folder to "." and, when the file is not read, leave the rest
// of the store as it was; `found` says what was found under the name (where
// a link leads, why a file could not be read). The safe-mode file leaves
// SupportShader, TreeNormalMap and VSync alone.
//
// Where the game client reads a copy (the store's gameCopies), a copy that
// stands is read instead, by the same rules, and `found` is the copy's,
// unless the game folder's file was written after it; gameConfigFound is
// still what stands in the game folder, for the save.
//
// A Vorn.cfg without a single pair (empty, zero-filled, not text) counts as
// missing, so that the tool starts over from the safe-mode file; what could
// not be read of it is kept in the store's unreadGameConfig and written back.
ReadResult ReadGameConfig(SettingsStore& store, FileFound* found = nullptr);
ReadResult ReadSafeModeConfig(SettingsStore& store, FileFound* found = nullptr);

// As ReadGameConfig, for a save: a Vorn.cfg holding the very bytes that the
// store's list was read from is not parsed again, and the list keeps what
// was set in it since.
ReadResult ReadGameConfigAgain(SettingsStore& store, FileFound& found);

}  // namespace vorn
