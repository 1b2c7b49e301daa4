#include "config/config_list.h"

#include <cstring>

namespace vorn {

void LowerAsciiInPlace(char* begin, char* end) {
  // Without a branch a letter, so that the compiler can do many at once.
  for (char* c = begin; c != end; ++c) {
    const bool upper = static_cast<unsigned char>(*c - 'A') < 26;
    *c = static_cast<char>(*c | (upper << 5));
  }
}

std::size_t ConfigList::Find(std::string_view key) const {
  std::size_t found = npos;
  FindFirst(&key, 1, &found);
  return found;
}

void ConfigList::FindFirst(const std::string_view* keys, std::size_t count,
                           std::size_t* found) const {
  // Most entries differ from every key in length already.
  uint64_t lengths = 0;
  for (std::size_t k = 0; k < count; ++k) {
    found[k] = npos;
    lengths |= keys[k].size() < 64 ? uint64_t{1} << keys[k].size() : ~uint64_t{0};
  }
  std::size_t left = count;
  for (std::size_t i = 0; i < entries_.size() && left > 0; ++i) {
    const std::size_t length = entries_[i].key.length & ~kAdded;
    if (length < 64 && !(lengths >> length & 1)) continue;
    const std::string_view key = Key(i);
    for (std::size_t k = 0; k < count; ++k) {
      if (found[k] == npos && keys[k] == key) {
        found[k] = i;
        --left;
      }
    }
  }
}

void ConfigList::KeepUnreadTail(std::size_t begin) {
  unreadTail_ = {static_cast<uint32_t>(begin), static_cast<uint32_t>(text_.size() - begin)};
}

ConfigList::Span ConfigList::Store(std::string_view bytes) {
  const Span span{static_cast<uint32_t>(added_.size()),
                  static_cast<uint32_t>(bytes.size()) | kAdded};
  added_.append(bytes);
  return span;
}

ConfigList::Span ConfigList::StoreLower(std::string_view key) {
  const Span span = Store(key);
  LowerAsciiInPlace(&added_[span.offset], &added_[0] + added_.size());
  return span;
}

void ConfigList::Append(std::string_view key, std::string_view value) {
  Entry entry;
  entry.key = StoreLower(key);
  entry.value = Store(value);
  entries_.push_back(entry);
}

void ConfigList::SetValue(std::size_t i, std::string_view value) {
  entries_[i].value = Store(value);
}

}  // namespace vorn
