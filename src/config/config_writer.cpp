#include "config/config_writer.h"

#include "config/config_reader.h"
#include "config/file_ops.h"

#include <cstring>

namespace vorn {

namespace {

constexpr std::string_view kSeparator = " = ";
constexpr std::string_view kLineEnd = "\r\n";

bool IsWritten(const ConfigList& entries, std::size_t i) {
  const bool isLastLine = i + 1 == entries.size() && entries.UnreadTail().empty();
  return !entries.Value(i).empty() || isLastLine;
}

}  // namespace

std::string FormatConfig(const ConfigList& entries) {
  std::size_t size = entries.UnreadTail().size();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (IsWritten(entries, i)) {
      size += entries.Key(i).size() + kSeparator.size() + entries.Value(i).size() + kLineEnd.size();
    }
  }
  std::string text(size, '\0');
  char* out = &text[0];
  auto put = [&out](std::string_view bytes) {
    std::memcpy(out, bytes.data(), bytes.size());
    out += bytes.size();
  };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!IsWritten(entries, i)) continue;
    put(entries.Key(i));
    put(kSeparator);
    put(entries.Value(i));
    put(kLineEnd);
  }
  put(entries.UnreadTail());
  return text;
}

SaveResult WriteGameConfig(SettingsStore& store) {
  store.Set("ID", store.id);
  const std::string path = ConfigPath(store, kGameConfigFile);
  const std::string temporary = path + ".tmp";
  std::string reason;
  SaveResult result;
  if (!WriteFileDurably(temporary, FormatConfig(store.Entries()), reason) ||
      !ReplaceFileAtomically(temporary, path, reason)) {
    RemoveFile(temporary);
    result.message = "Cannot save " + path + ": " + reason;
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace vorn
