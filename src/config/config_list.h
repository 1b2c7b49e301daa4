// The key-value list of a configuration file, kept as offsets into one buffer
// that holds the file's own bytes: a file of many pairs costs little more
// memory than the file itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

class ConfigList {
 public:
  ConfigList() = default;
  // Takes over a file's bytes; the reader then records the pairs it finds.
  explicit ConfigList(std::string bytes) : text_(std::move(bytes)) {}

  std::size_t size() const { return entries_.size(); }
  std::string_view Key(std::size_t i) const { return View(entries_[i].key); }
  std::string_view Value(std::size_t i) const { return View(entries_[i].value); }
  std::string_view UnreadTail() const { return View(unreadTail_); }

  // Index of the first entry with exactly this key, or npos.
  std::size_t Find(std::string_view key) const;

  // Records a pair lying in the buffer, lower-casing its key in place.
  void AddFromBuffer(std::size_t keyBegin, std::size_t keyEnd, std::size_t valueBegin,
                     std::size_t valueEnd);
  // Marks the buffer from `begin` to its end as the part left unread.
  void KeepUnreadTail(std::size_t begin);

  void Append(std::string_view key, std::string_view value);
  void SetValue(std::size_t i, std::string_view value);

  std::string_view Buffer() const { return text_; }
  void Reserve(std::size_t entries) { entries_.reserve(entries); }

  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

 private:
  struct Span {
    uint32_t offset = 0;
    uint32_t length = 0;
  };
  struct Entry {
    Span key;
    Span value;
  };

  std::string_view View(Span span) const {
    return std::string_view(text_).substr(span.offset, span.length);
  }
  Span Store(std::string_view bytes);

  std::string text_;
  std::vector<Entry> entries_;
  Span unreadTail_;
};

// Lower-cases A to Z only, byte by byte, as the game does.
void LowerAsciiInPlace(char* begin, char* end);

}  // namespace vorn
