// The few file operations whose safe form differs between systems.
#pragma once

#include <string>
#include <string_view>

namespace vorn {

// Creates or truncates the file, writes the bytes and flushes them to disk.
bool WriteFileDurably(const std::string& path, std::string_view bytes, std::string& reason);

// Puts `replacement` in place of `target` in one step, replacing a read-only,
// hidden or system target too. On failure `target` is left as it was.
bool ReplaceFileAtomically(const std::string& replacement, const std::string& target,
                           std::string& reason);

void RemoveFile(const std::string& path);

}  // namespace vorn
