#include "config/config_reader.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <utility>

namespace vorn {
namespace {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// What each byte is to the scan, looked up once a byte: a file of many
// pairs is read at about the speed it is copied. A zero byte also stops a
// scan, where it is told from the buffer's terminating zero: every text
// scanned here ends where the std::string it lies in ends, so no scan needs
// a bound check a byte.
constexpr unsigned char kSpace = 1;   // the C locale's white space, as the game's scanf sees it
constexpr unsigned char kEquals = 2;  // ends a key
constexpr unsigned char kZero = 4;
constexpr unsigned char kCapital = 8;  // A to Z: a key holding one is kept lower-cased
struct ByteClasses {
  unsigned char of[256] = {kZero};
  constexpr ByteClasses() {
    for (int c = '\t'; c <= '\r'; ++c) of[c] = kSpace;
    for (int c = 'A'; c <= 'Z'; ++c) of[c] = kCapital;
    of[static_cast<unsigned char>(' ')] = kSpace;
    of[static_cast<unsigned char>('=')] = kEquals;
  }
};
constexpr ByteClasses kClasses;

unsigned char ClassOf(char c) { return kClasses.of[static_cast<unsigned char>(c)]; }

std::size_t SkipSpace(std::string_view text, std::size_t pos) {
  const char* p = text.data() + pos;
  while (ClassOf(*p) == kSpace) ++p;
  return static_cast<std::size_t>(p - text.data());
}

// A key ends at white space or at its "="; a value ends at white space only.
// `classes` gathers the classes of the token's bytes.
std::size_t TokenEnd(std::string_view text, std::size_t pos, bool stopAtEquals,
                     unsigned char& classes) {
  const unsigned char stop = kZero | (stopAtEquals ? kSpace | kEquals : kSpace);
  const char* p = text.data() + pos;
  const char* end = text.data() + text.size();
  for (;;) {
    unsigned char c;
    while (((c = ClassOf(*p)) & stop) == 0) {
      classes |= c;
      ++p;
    }
    if (*p != '\0' || p == end) return static_cast<std::size_t>(p - text.data());
    ++p;  // a zero inside the text is part of the token
  }
}

std::size_t TokenEnd(std::string_view text, std::size_t pos, bool stopAtEquals) {
  unsigned char ignored = 0;
  return TokenEnd(text, pos, stopAtEquals, ignored);
}

bool FitsText(std::size_t begin, std::size_t end) {
  return end > begin && end - begin <= kMaxTextLength;
}

// What the writer leaves behind for an empty value at the end of a file
// ("id =") and white space alone carry nothing worth keeping.
bool IsWorthKeeping(std::string_view tail) {
  const std::size_t keyEnd = TokenEnd(tail, 0, true);
  const std::size_t equals = SkipSpace(tail, keyEnd);
  const bool danglingKey = FitsText(0, keyEnd) && equals < tail.size() && tail[equals] == '=' &&
                           SkipSpace(tail, equals + 1) == tail.size();
  return !tail.empty() && !danglingKey;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

// The code units of UTF-16 bytes; nothing for an odd length or a surrogate
// without its other half.
std::optional<std::wstring> DecodeUtf16(std::string_view bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::wstring units(bytes.size() / 2, L'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    const unsigned first = static_cast<unsigned char>(bytes[2 * i]);
    const unsigned second = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
  }
  auto isHigh = [](unsigned unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
  auto isLow = [](unsigned unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
  for (std::size_t i = 0; i < units.size(); ++i) {
    const unsigned unit = static_cast<unsigned>(units[i]);
    if (isHigh(unit) && i + 1 < units.size() && isLow(static_cast<unsigned>(units[i + 1]))) {
      ++i;
    } else if (isHigh(unit) || isLow(unit)) {
      return std::nullopt;
    }
  }
  return units;
}

std::optional<std::string> EncodeAscii(const std::wstring& text) {
  std::string encoded(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned>(text[i]) >= 0x80) return std::nullopt;
    encoded[i] = static_cast<char>(text[i]);
  }
  return encoded;
}

int32_t InRange(int32_t value, int32_t low, int32_t high, int32_t otherwise) {
  return value >= low && value <= high ? value : otherwise;
}

enum class ConfigKind { kGame, kSafeMode };

// The typed settings read as numbers, each from its key; the safe-mode file
// leaves the last three as they were.
struct NumberSetting {
  const char* key;
  int32_t TypedSettings::*setting;
};
constexpr NumberSetting kNumberSettings[] = {
    {"GlareRender", &TypedSettings::GlareRender},
    {"ShaderVersion", &TypedSettings::ShaderVersion},
    {"Shadowmap", &TypedSettings::Shadowmap},
    {"Ocean", &TypedSettings::Ocean},
    {"WaterReflection", &TypedSettings::WaterReflection},
    {"Texture", &TypedSettings::Texture},
    {"Character", &TypedSettings::Character},
    {"HeightField", &TypedSettings::HeightField},
    {"Object", &TypedSettings::Object},
    {"Sky", &TypedSettings::Sky},
    {"Tree", &TypedSettings::Tree},
    {"Bit", &TypedSettings::Bit},
    {"Width", &TypedSettings::Width},
    {"Height", &TypedSettings::Height},
    {"WindowMode", &TypedSettings::WindowMode},
    {"Audio", &TypedSettings::Audio},
    {"SupportShader", &TypedSettings::SupportShader},
    {"TreeNormalMap", &TypedSettings::TreeNormalMap},
    {"Vsync", &TypedSettings::VSync},
};
constexpr std::size_t kGameFileOnly = 3;

ReadResult ReadConfig(SettingsStore& store, ConfigKind kind, FileFound* found, bool again) {
  store.folder = ".";
  const bool game = kind == ConfigKind::kGame;
  FileFound ignored;
  FileFound& on = found ? *found : ignored;
  ConfigList entries;
  bool asRead = false;
  try {
    std::string bytes;
    const char* name = game ? kGameConfigFile : kSafeModeConfigFile;
    const std::string path = ConfigPath(store, name);
    // At a save, the bytes the list was read from: nothing new to take in
    // when the file still holds them.
    const std::optional<std::string_view> same = again && store.entriesHoldGameConfig
                                                     ? std::optional(store.Entries().Buffer())
                                                     : std::nullopt;
    // The game client's copy first, where it reads one: what the client
    // reads, unless the game folder's file was written after it (by the
    // patcher, or a tool that wrote the file itself), which is then kept.
    const FilePlace copy = CopyPlace(store, name);
    SettingsStore::ClientCopy& clientCopy = game ? store.gameConfigCopy : store.safeModeCopy;
    clientCopy = SettingsStore::ClientCopy();
    FileRead read = FileRead::kMissing;
    if (!copy.root.empty()) {
      read = ReadPlainFile(copy, kMaxConfigBytes, bytes, clientCopy.found, same);
    }
    FileFound inFolder;
    if (read != FileRead::kMissing) LookAtPlainFile(path, inFolder);
    const bool copyRead = (read == FileRead::kRead || read == FileRead::kUnchanged)
                              ? !WrittenAfter(inFolder, clientCopy.found)
                              : read != FileRead::kMissing;
    clientCopy.read = copyRead;
    if (copyRead) {
      on = clientCopy.found;
      if (game) store.gameConfigFound = inFolder;
    } else {
      read = ReadPlainFile(path, kMaxConfigBytes, bytes, on, same);
      if (game) store.gameConfigFound = on;
    }
    switch (read) {
      case FileRead::kUnchanged:
        return ReadResult::kRead;
      case FileRead::kMissing:
        return ReadResult::kNotRead;
      case FileRead::kUnreadable:
        return ReadResult::kUnreadable;
      case FileRead::kTooLarge:
        return ReadResult::kTooLarge;
      case FileRead::kLinked:
        return ReadResult::kLinked;
      case FileRead::kRead:
        break;
    }
    asRead = !StartsWithByteOrderMark(bytes);
    // Row 0's code page: the region every read leaves the store in, and the
    // one VideoCard is written in.
    entries = ParseConfig(ConfigText(std::move(bytes), store.textEncoder, kBuildRegion.codePage));
    if (game) {
      // Not a single pair: start over as without the file, but keep its bytes.
      const bool noPair = entries.size() == 0;
      store.unreadGameConfig = noPair ? std::string(entries.UnreadTail()) : std::string();
      if (noPair) return ReadResult::kNotRead;
    }
  } catch (const std::bad_alloc&) {
    return ReadResult::kTooLarge;
  }
  store.ReplaceEntries(std::move(entries));
  store.entriesHoldGameConfig = game && asRead;

  // Every number in one pass over the list; each correction after all of
  // them, of its own setting alone.
  const std::size_t count = std::size(kNumberSettings) - (game ? 0 : kGameFileOnly);
  const char* keys[std::size(kNumberSettings)];
  int32_t numbers[std::size(kNumberSettings)];
  for (std::size_t i = 0; i < count; ++i) keys[i] = kNumberSettings[i].key;
  store.LookupNumbers(keys, count, numbers);
  TypedSettings& s = store.settings;
  for (std::size_t i = 0; i < count; ++i) s.*kNumberSettings[i].setting = numbers[i];
  s.Ocean = InRange(s.Ocean, 1, 3, 1);
  s.VolumeCloud = 0;  // off after every read, whatever the file holds
  s.Character = InRange(s.Character, 0, 2, 0);
  s.HeightField = InRange(s.HeightField, 0, 3, 1);
  s.Object = InRange(s.Object, 0, 2, 1);
  s.Sky = InRange(s.Sky, 0, 2, 0);
  s.Tree = InRange(s.Tree, 0, 2, 0);
  if (game) {
    s.SupportShader = std::max(s.SupportShader, 0);
    s.TreeNormalMap = std::max(s.TreeNormalMap, 0);
  }
  s.Audio = s.Audio == 0 ? 0 : 1;

  store.id = store.LookupText("ID");
  store.regionIndex = 0;
  return ReadResult::kRead;
}

}  // namespace

bool StartsWithByteOrderMark(std::string_view bytes) {
  return StartsWith(bytes, kUtf8Mark) || StartsWith(bytes, kUtf16LittleEndianMark) ||
         StartsWith(bytes, kUtf16BigEndianMark);
}

std::string ConfigText(std::string bytes, TextEncoder* encoder, int codePage) {
  if (StartsWith(bytes, kUtf8Mark)) {
    bytes.erase(0, kUtf8Mark.size());
    return bytes;
  }
  const bool bigEndian = StartsWith(bytes, kUtf16BigEndianMark);
  if (!bigEndian && !StartsWith(bytes, kUtf16LittleEndianMark)) return bytes;
  const std::optional<std::wstring> text =
      DecodeUtf16(std::string_view(bytes).substr(kUtf16BigEndianMark.size()), bigEndian);
  if (!text) return bytes;
  std::optional<std::string> encoded =
      encoder ? encoder->EncodeExactly(*text, codePage) : EncodeAscii(*text);
  // A character the game could not read back: kept as a damaged file is.
  if (!encoded) return bytes;
  return std::move(*encoded);
}

ConfigList ParseConfig(std::string bytes) {
  ConfigList list(std::move(bytes));
  const std::string_view text = list.Buffer();
  // Room for pairs of 16 bytes, shorter than the tool writes them: fresh
  // memory costs a page fault a page, so the list should not grow by copies.
  list.Reserve(text.size() / 16);
  std::size_t pos = 0;
  for (;;) {
    const std::size_t keyBegin = SkipSpace(text, pos);
    unsigned char keyClasses = 0;
    const std::size_t keyEnd = TokenEnd(text, keyBegin, true, keyClasses);
    const std::size_t equals = SkipSpace(text, keyEnd);
    const bool hasEquals = equals < text.size() && text[equals] == '=';
    const std::size_t valueBegin = hasEquals ? SkipSpace(text, equals + 1) : equals;
    const std::size_t valueEnd = TokenEnd(text, valueBegin, false);
    if (!FitsText(keyBegin, keyEnd) || !hasEquals || !FitsText(valueBegin, valueEnd)) {
      if (IsWorthKeeping(text.substr(keyBegin))) list.KeepUnreadTail(keyBegin);
      return list;
    }
    list.AddFromBuffer(keyBegin, keyEnd, valueBegin, valueEnd, (keyClasses & kCapital) == 0);
    pos = valueEnd;
  }
}

std::string ConfigPath(const SettingsStore& store, const char* fileName) {
  return store.folder + kPathSeparator + fileName;
}

FilePlace CopyPlace(const SettingsStore& store, const char* fileName) {
  if (store.gameCopies.root.empty()) return FilePlace();
  return FilePlace(store.gameCopies.path + kPathSeparator + fileName, store.gameCopies.root);
}

FilePlace ReadPlace(const SettingsStore& store, const char* fileName) {
  const bool game = std::string_view(fileName) == kGameConfigFile;
  const bool copyRead = game ? store.gameConfigCopy.read : store.safeModeCopy.read;
  return copyRead ? CopyPlace(store, fileName) : FilePlace(ConfigPath(store, fileName));
}

bool WrittenAfter(const FileFound& file, const FileFound& copy) {
  return file.exists && copy.exists && file.version.lastWrite > copy.version.lastWrite;
}

ReadResult ReadGameConfig(SettingsStore& store, FileFound* found) {
  return ReadConfig(store, ConfigKind::kGame, found, false);
}

ReadResult ReadSafeModeConfig(SettingsStore& store, FileFound* found) {
  return ReadConfig(store, ConfigKind::kSafeMode, found, false);
}

ReadResult ReadGameConfigAgain(SettingsStore& store, FileFound& found) {
  return ReadConfig(store, ConfigKind::kGame, &found, true);
}

}  // namespace vorn
