// The process-wide, in-memory copy of the game's configuration: the key-value
// list of the file read last, the typed settings derived from it, and the
// few texts the files and the resource library are found by.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/config_list.h"
#include "config/file_ops.h"
#include "config/text_encoder.h"

namespace vorn {

// The game reads every key and value into a 512-byte buffer.
constexpr std::size_t kMaxTextLength = 511;

// One number per setting the Options dialog shows or changes, with the values
// that hold before any file has been read.
struct TypedSettings {
  int32_t GlareRender = 1;
  int32_t ShaderVersion = 0;
  int32_t SupportShader = 0;
  int32_t Shadowmap = 1;
  int32_t WaterReflection = 1;
  int32_t VolumeCloud = 0;
  int32_t Texture = 1;
  int32_t Character = 0;
  int32_t HeightField = 0;
  int32_t Object = 0;
  int32_t Ocean = 1;
  int32_t Sky = 0;
  int32_t Tree = 0;
  int32_t TreeNormalMap = 0;
  int32_t VSync = 0;
  int32_t Bit = 32;
  int32_t Width = 1280;
  int32_t Height = 768;
  int32_t WindowMode = 0;
  int32_t Audio = 1;
};

struct Region {
  const char* code;
  int codePage;
};

// The region the program is built for; each program links the one unit
// that defines it.
extern const Region kBuildRegion;

class SettingsStore {
 public:
  // Both use the first entry whose key matches without regard to case.
  std::string LookupText(std::string_view key) const;
  int32_t LookupNumber(std::string_view key) const;  // -1 when absent
  // LookupNumber for each of `count` keys, with one pass over a list of many pairs.
  void LookupNumbers(const char* const* keys, std::size_t count, int32_t* numbers) const;

  // Replaces the first matching entry's value in place, or appends.
  void Set(std::string_view key, std::string_view value);
  // Set for each pair, in order, with one pass over a list of many pairs.
  void SetAll(const std::vector<std::pair<std::string, std::string>>& values);

  // Replaces the whole list with a file's pairs and the part of it that
  // could not be read as pairs, kept so that a save puts it back.
  void ReplaceEntries(ConfigList entries) { entries_ = std::move(entries); }
  const ConfigList& Entries() const { return entries_; }

  const char* RegionCode() const;
  int RegionCodePage() const;

  TypedSettings settings;
  std::string id;            // value of the ID key as last read
  std::string folder = ".";  // where both configuration files live
  // What could not be read of a Vorn.cfg without a single pair; the save
  // writes it after the pairs, as it writes the unread end of any file.
  std::string unreadGameConfig;
  // The list's buffer holds the very bytes of Vorn.cfg as last read (no
  // byte-order mark taken off, no UTF-16 converted): a save that finds them
  // there again need not parse them.
  bool entriesHoldGameConfig = false;
  // What the last read of Vorn.cfg found there: a save replaces only that
  // file, or creates one only where there was none.
  FileFound gameConfigFound;
  // Where Windows keeps the game client's own copies of both files, when it
  // virtualizes the client (its VirtualStore): the client reads a copy in
  // the file's stead, so the tool does too, and a save moves it into the
  // game folder. An empty root: the client reads the files themselves.
  FilePlace gameCopies;
  // What the last reads found there (`exists` is false where no copy
  // stands), and whether the copy was the file read: it is, unless the game
  // folder's file was written after it.
  struct ClientCopy {
    FileFound found;
    bool read = false;
  };
  ClientCopy gameConfigCopy;
  ClientCopy safeModeCopy;
  int regionIndex = 0;
  // Turns a file saved as UTF-16 into the region's code page; without one,
  // only ASCII, which every region's code page shares.
  TextEncoder* textEncoder = nullptr;

 private:
  ConfigList entries_;
};

// Lower-cases A to Z only, byte by byte, as the game does.
std::string LowerAscii(std::string_view text);

// Reads a number as atoi does (leading digits with an optional sign, 0 when
// there are none), clamped to the 32-bit range instead of overflowing.
int32_t ParseLeadingInt(std::string_view text);

}  // namespace vorn
