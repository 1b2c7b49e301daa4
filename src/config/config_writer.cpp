#include "config/config_writer.h"

#include <cstring>
#include <new>

#include "config/config_reader.h"

namespace vorn {

namespace {

// How often a save reads a file again that another program keeps rewriting.
constexpr int kSaveRounds = 5;
constexpr std::string_view kSeparator = " = ";
constexpr std::string_view kLineEnd = "\r\n";

bool IsWritten(const ConfigList& entries, std::size_t i, std::string_view tail) {
  const bool isLastLine = i + 1 == entries.size() && tail.empty();
  return !entries.Value(i).empty() || isLastLine;
}

}  // namespace

std::string FormatConfig(const ConfigList& entries, std::string_view tail) {
  std::size_t size = tail.size();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (IsWritten(entries, i, tail)) {
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
    if (!IsWritten(entries, i, tail)) continue;
    put(entries.Key(i));
    put(kSeparator);
    put(entries.Value(i));
    put(kLineEnd);
  }
  put(tail);
  // A first key or tail that begins as a byte-order mark would lose those
  // bytes when read back; after a line end they stay part of it.
  if (StartsWithByteOrderMark(text)) text.insert(0, kLineEnd);
  return text;
}

std::string FormatConfig(const ConfigList& entries) {
  return FormatConfig(entries, entries.UnreadTail());
}

SaveResult WriteGameConfig(SettingsStore& store) {
  store.Set("ID", store.id);
  SaveResult result;
  result.path = ConfigPath(store, kGameConfigFile);
  const std::string_view tail =
      store.unreadGameConfig.empty() ? store.Entries().UnreadTail() : store.unreadGameConfig;
  std::string text;
  try {
    text = FormatConfig(store.Entries(), tail);
  } catch (const std::bad_alloc&) {
    result.error = kOutOfMemory;
    return result;
  }
  switch (ReplacePlainFile(result.path, text, store.gameConfigFound, result.error, result.link)) {
    case FileReplace::kReplaced:
      result.ok = true;
      break;
    case FileReplace::kLinked:
      result.linked = true;
      break;
    case FileReplace::kChanged:
      result.changed = true;
      result.error = kFileKeptChanging;
      break;
    case FileReplace::kFailed:
      break;
  }
  return result;
}

SaveResult SaveGameConfig(SettingsStore& store, const SettingValues& values) {
  SaveResult result;
  // Read again, and again whenever another program writes the file before it
  // is replaced: unchanged, it gives the same list; rewritten, its pairs;
  // with no pair, its bytes are kept after the list as for any damaged file.
  // The typed settings stay the dialog's.
  for (int round = 0; round < kSaveRounds; ++round) {
    result = SaveResult();
    result.path = ConfigPath(store, kGameConfigFile);
    const TypedSettings applied = store.settings;
    FileFound found;
    const ReadResult reread = ReadGameConfigAgain(store, found);
    store.settings = applied;
    switch (reread) {
      case ReadResult::kTooLarge:
        result.tooLarge = true;
        return result;
      case ReadResult::kLinked:
        result.linked = true;
        result.link = found.link;
        return result;
      case ReadResult::kUnreadable:
        result.error = found.error;
        return result;
      case ReadResult::kRead:
      case ReadResult::kNotRead:
        break;
    }
    store.SetAll(values);
    result = WriteGameConfig(store);
    if (!result.changed) return result;
  }
  return result;
}

}  // namespace vorn
