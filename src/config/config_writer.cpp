#include "config/config_writer.h"

#include <cstring>
#include <new>
#include <utility>

#include "config/config_reader.h"

namespace vorn {

namespace {

// How often a save reads a file again that another program keeps rewriting.
constexpr int kSaveRounds = 5;
constexpr std::string_view kSeparator = " = ";
constexpr std::string_view kLineEnd = "\r\n";

// The text goes to the file in pieces of this size, so that a save needs
// no buffer as large as the file.
constexpr std::size_t kPieceBytes = std::size_t{256} << 10;

bool IsWritten(const ConfigList& entries, std::size_t i, std::string_view tail) {
  const bool isLastLine = i + 1 == entries.size() && tail.empty();
  return !entries.Value(i).empty() || isLastLine;
}

// FormatConfig's text handed to `write` in pieces gathered in `piece`,
// allocated beforehand: nothing here allocates.
bool WriteConfig(const ConfigList& entries, std::string_view tail, std::string& piece,
                 const WriteBytes& write) {
  std::size_t used = 0;
  bool first = true;
  auto emit = [&](std::string_view bytes) {
    // A first key or tail that begins as a byte-order mark would lose those
    // bytes when read back; after a line end they stay part of it.
    if (first && StartsWithByteOrderMark(bytes) && !write(kLineEnd)) return false;
    first = false;
    return write(bytes);
  };
  auto flush = [&] {
    const bool ok = used == 0 || emit(std::string_view(piece).substr(0, used));
    used = 0;
    return ok;
  };
  // Bytes that do not fit in what is left of the piece go after it; more
  // than a whole piece (a long unread tail) go on their own.
  auto put = [&](std::string_view bytes) {
    if (used + bytes.size() > piece.size() && !flush()) return false;
    if (bytes.size() > piece.size()) return emit(bytes);
    std::memcpy(&piece[used], bytes.data(), bytes.size());
    used += bytes.size();
    return true;
  };
  // Lines that lie in the file's own bytes as they are written, one after
  // another, go out from there: a file the tool wrote before goes out whole.
  std::string_view asRead;
  auto putAsRead = [&] { return asRead.empty() || put(std::exchange(asRead, {})); };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    // A line in the file has a value: it is written.
    const std::string_view inFile = entries.LineAsRead(i, kSeparator, kLineEnd);
    if (inFile.empty() && !IsWritten(entries, i, tail)) continue;
    if (!inFile.empty() && asRead.data() + asRead.size() == inFile.data()) {
      asRead = std::string_view(asRead.data(), asRead.size() + inFile.size());
      continue;
    }
    if (!putAsRead()) return false;
    if (!inFile.empty()) {
      asRead = inFile;
      continue;
    }
    const std::string_view key = entries.Key(i), value = entries.Value(i);
    const std::size_t line = key.size() + kSeparator.size() + value.size() + kLineEnd.size();
    if (used + line <= piece.size()) {  // nearly always: the whole line fits
      char* out = &piece[used];
      std::memcpy(out, key.data(), key.size());
      out += key.size();
      std::memcpy(out, kSeparator.data(), kSeparator.size());
      out += kSeparator.size();
      std::memcpy(out, value.data(), value.size());
      out += value.size();
      std::memcpy(out, kLineEnd.data(), kLineEnd.size());
      used += line;
    } else if (!(put(key) && put(kSeparator) && put(value) && put(kLineEnd))) {
      return false;
    }
  }
  return putAsRead() && put(tail) && flush();
}

// The text's end that follows the pairs.
std::string_view TailOf(const SettingsStore& store) {
  return store.unreadGameConfig.empty() ? store.Entries().UnreadTail() : store.unreadGameConfig;
}

// Replaces Vorn.cfg with the store's list as it stands.
SaveResult WriteEntries(const SettingsStore& store) {
  SaveResult result;
  result.path = FilePlace(ConfigPath(store, kGameConfigFile));
  std::string piece;
  try {
    piece.resize(kPieceBytes);
  } catch (const std::bad_alloc&) {
    result.error = kOutOfMemory;
    return result;
  }
  auto text = [&](const WriteBytes& write) {
    return WriteConfig(store.Entries(), TailOf(store), piece, write);
  };
  switch (
      ReplacePlainFile(result.path.path, text, store.gameConfigFound, result.error, result.link)) {
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

// Removes the game client's copy a save took its bytes from, while it is
// the copy read: false when it changed since, and must be read again.
bool RemoveCopy(const FilePlace& copy, const FileVersion& read, SaveResult& result) {
  SystemError error = 0;
  LinkedFile link;
  const FileRemove removed = RemovePlainFile(copy, read, error, link);
  if (removed == FileRemove::kRemoved) return true;
  result.copyLeft = true;
  result.path = copy;
  result.linked = removed == FileRemove::kLinked;
  result.link = link;
  result.error = removed == FileRemove::kChanged ? kFileKeptChanging : error;
  return removed != FileRemove::kChanged;
}

// Puts the client's copy of the safe-mode file in the game folder as it
// stands, unless the game folder's file was written after it, then removes
// it: the tool never changes what either holds. A copy that cannot be read,
// or a file that cannot be written, fails the save as Vorn.cfg's would.
void MoveSafeModeCopy(const SettingsStore& store, SaveResult& result) {
  const FilePlace copy = CopyPlace(store, kSafeModeConfigFile);
  const std::string path = ConfigPath(store, kSafeModeConfigFile);
  for (int round = 0; round < kSaveRounds; ++round) {
    result.copyLeft = false;
    std::string bytes;
    FileFound found, inFolder;
    const FileRead read = ReadPlainFile(copy, kMaxConfigBytes, bytes, found);
    if (read == FileRead::kMissing) return;
    if (read != FileRead::kRead) {
      result.ok = false;
      result.path = copy;
      result.linked = read == FileRead::kLinked;
      result.tooLarge = read == FileRead::kTooLarge;
      result.unreadable = read == FileRead::kUnreadable;
      result.link = found.link;
      result.error = found.error;
      return;
    }
    LookAtPlainFile(path, inFolder);
    // A game folder's file written after the copy stays as it is.
    const FileReplace replaced =
        WrittenAfter(inFolder, found)
            ? FileReplace::kReplaced
            : ReplacePlainFile(path, bytes, inFolder, result.error, result.link);
    result.ok = replaced == FileReplace::kReplaced;
    result.path = FilePlace(path);
    result.linked = replaced == FileReplace::kLinked;
    result.changed = replaced == FileReplace::kChanged;
    if (result.changed) result.error = kFileKeptChanging;
    if (replaced == FileReplace::kReplaced && RemoveCopy(copy, found.version, result)) return;
    if (!result.changed && !result.copyLeft) return;
  }
}

}  // namespace

std::string FormatConfig(const ConfigList& entries, std::string_view tail) {
  std::string text, piece(kPieceBytes, '\0');
  WriteConfig(entries, tail, piece, [&text](std::string_view bytes) {
    text.append(bytes);
    return true;
  });
  return text;
}

std::string FormatConfig(const ConfigList& entries) {
  return FormatConfig(entries, entries.UnreadTail());
}

SaveResult WriteGameConfig(SettingsStore& store) {
  store.Set("ID", store.id);
  return WriteEntries(store);
}

SaveResult SaveGameConfig(SettingsStore& store, const SettingValues& values) {
  SaveResult result;
  // Read again, and again whenever another program writes the file before it
  // is replaced: unchanged, it gives the same list; rewritten, its pairs;
  // with no pair, its bytes are kept after the list as for any damaged file.
  // The typed settings stay the dialog's.
  for (int round = 0; round < kSaveRounds; ++round) {
    result = SaveResult();
    const TypedSettings applied = store.settings;
    FileFound found;
    const ReadResult reread = ReadGameConfigAgain(store, found);
    store.settings = applied;
    result.path = ReadPlace(store, kGameConfigFile);
    switch (reread) {
      case ReadResult::kTooLarge:
        result.tooLarge = true;
        return result;
      case ReadResult::kLinked:
        result.linked = true;
        result.link = found.link;
        return result;
      case ReadResult::kUnreadable:
        result.unreadable = true;
        result.error = found.error;
        return result;
      case ReadResult::kRead:
      case ReadResult::kNotRead:
        break;
    }
    // The dialog's values and then the ID text, as WriteGameConfig puts it
    // back, in one pass over the list.
    SettingValues withId = values;
    withId.emplace_back("ID", store.id);
    store.SetAll(withId);
    result = WriteEntries(store);
    if (result.changed) continue;
    // The client reads its copy until it is gone.
    const FileFound copy = store.gameConfigCopy.found;
    if (!result.ok || !copy.exists ||
        RemoveCopy(CopyPlace(store, kGameConfigFile), copy.version, result)) {
      break;
    }
  }
  if (result.ok && !result.copyLeft && store.safeModeCopy.found.exists) {
    MoveSafeModeCopy(store, result);
  }
  return result;
}

}  // namespace vorn
