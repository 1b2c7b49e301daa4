// The few file operations whose safe form differs between systems.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

// The system's code for why an operation failed: GetLastError() on Windows,
// errno elsewhere.
using SystemError = uint32_t;
extern const SystemError kOutOfMemory;

// Creates or truncates the file, writes the bytes and flushes them to disk.
bool WriteFileDurably(const std::string& path, std::string_view bytes, SystemError& error);

// Puts `replacement` in place of `target` in one step, replacing a read-only,
// hidden or system target too, and keeping the target's permissions. On
// failure `target` is left as it was.
bool ReplaceFileAtomically(const std::string& replacement, const std::string& target,
                           SystemError& error);

void RemoveFile(const std::string& path);

}  // namespace vorn
