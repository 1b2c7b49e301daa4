// The key-value list of a configuration file, kept as offsets into one buffer
// that holds the file's own bytes, unchanged: a file of many pairs costs
// little more memory than the file itself, and a save can tell the file
// unchanged by comparing it with them. Keys with capitals, lower-cased, and
// what is set after the read go to a buffer of their own, so that the
// file's is never copied to grow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
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
  // The buffer's bytes of entry i when they are the line a writer makes of
  // it, `key<separator>value<lineEnd>` (a key stays in the buffer only when
  // it is lower case already), else empty. Inline, so that both texts are
  // constants where the writer asks.
  std::string_view LineAsRead(std::size_t i, std::string_view separator,
                              std::string_view lineEnd) const {
    const Entry& entry = entries_[i];
    if ((entry.key.length | entry.value.length) & kAdded) return {};
    const std::size_t keyEnd = entry.key.offset + entry.key.length;
    const std::size_t valueEnd = entry.value.offset + entry.value.length;
    const std::size_t lineEndsAt = valueEnd + lineEnd.size();
    const char* text = text_.data();
    if (entry.value.offset != keyEnd + separator.size() || lineEndsAt > text_.size() ||
        std::memcmp(text + keyEnd, separator.data(), separator.size()) != 0 ||
        std::memcmp(text + valueEnd, lineEnd.data(), lineEnd.size()) != 0) {
      return {};
    }
    return std::string_view(text + entry.key.offset, lineEndsAt - entry.key.offset);
  }

  // Index of the first entry with exactly this key, or npos.
  std::size_t Find(std::string_view key) const;
  // The same for each of `count` keys, in one pass over the list.
  void FindFirst(const std::string_view* keys, std::size_t count, std::size_t* found) const;

  // Records a pair lying in the buffer; a key that is not `keyIsLower`
  // already is kept lower-cased beside it. Inline: the reader's loop calls
  // it for every pair.
  void AddFromBuffer(std::size_t keyBegin, std::size_t keyEnd, std::size_t valueBegin,
                     std::size_t valueEnd, bool keyIsLower) {
    const Span key =
        keyIsLower ? Span{static_cast<uint32_t>(keyBegin), static_cast<uint32_t>(keyEnd - keyBegin)}
                   : StoreLower(std::string_view(text_).substr(keyBegin, keyEnd - keyBegin));
    entries_.push_back(
        {key, {static_cast<uint32_t>(valueBegin), static_cast<uint32_t>(valueEnd - valueBegin)}});
  }
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

  // Spans of what was set after the read lie in added_.
  static constexpr uint32_t kAdded = 0x80000000u;

  std::string_view View(Span span) const {
    const std::string& buffer = (span.length & kAdded) ? added_ : text_;
    return std::string_view(buffer).substr(span.offset, span.length & ~kAdded);
  }
  Span Store(std::string_view bytes);
  Span StoreLower(std::string_view key);

  std::string text_;
  std::string added_;
  std::vector<Entry> entries_;
  Span unreadTail_;
};

// Lower-cases A to Z only, byte by byte, as the game does.
void LowerAsciiInPlace(char* begin, char* end);

}  // namespace vorn
