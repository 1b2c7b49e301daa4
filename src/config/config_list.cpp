#include "config/config_list.h"

#include <cstring>

namespace vorn {

void LowerAsciiInPlace(char* begin, char* end) {
  for (char* c = begin; c != end; ++c) {
    if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c - 'A' + 'a');
  }
}

std::size_t ConfigList::Find(std::string_view key) const {
  const char* text = text_.data();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Span& k = entries_[i].key;
    if (k.length == key.size() && std::memcmp(text + k.offset, key.data(), key.size()) == 0) {
      return i;
    }
  }
  return npos;
}

void ConfigList::AddFromBuffer(std::size_t keyBegin, std::size_t keyEnd, std::size_t valueBegin,
                               std::size_t valueEnd) {
  LowerAsciiInPlace(&text_[keyBegin], &text_[0] + keyEnd);
  entries_.push_back(
      {{static_cast<uint32_t>(keyBegin), static_cast<uint32_t>(keyEnd - keyBegin)},
       {static_cast<uint32_t>(valueBegin), static_cast<uint32_t>(valueEnd - valueBegin)}});
}

void ConfigList::KeepUnreadTail(std::size_t begin) {
  unreadTail_ = {static_cast<uint32_t>(begin), static_cast<uint32_t>(text_.size() - begin)};
}

ConfigList::Span ConfigList::Store(std::string_view bytes) {
  const Span span{static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(bytes.size())};
  text_.append(bytes);
  return span;
}

void ConfigList::Append(std::string_view key, std::string_view value) {
  Entry entry;
  entry.key = Store(key);
  LowerAsciiInPlace(&text_[entry.key.offset], &text_[0] + text_.size());
  entry.value = Store(value);
  entries_.push_back(entry);
}

void ConfigList::SetValue(std::size_t i, std::string_view value) {
  entries_[i].value = Store(value);
}

}  // namespace vorn
