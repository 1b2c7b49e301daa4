#include "config/settings_store.h"

#include <cstdint>
#include <limits>

namespace vorn {
namespace {

// Row 0 is the region the program is built for (build_region.cpp).
constexpr Region kOtherRegions[] = {
    {"KR", 949}, {"CN", 936}, {"TW", 950}, {"JP", 932}, {"RU", 1251}, {"GB", 1252},
};
constexpr int kRegionRows = 1 + static_cast<int>(sizeof(kOtherRegions) / sizeof(kOtherRegions[0]));

const Region& RegionRow(int row) { return row == 0 ? kBuildRegion : kOtherRegions[row - 1]; }

}  // namespace

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  LowerAsciiInPlace(&lower[0], &lower[0] + lower.size());
  return lower;
}

int32_t ParseLeadingInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t magnitude = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

std::string SettingsStore::LookupText(std::string_view key) const {
  const std::size_t i = entries_.Find(LowerAscii(key.substr(0, kMaxTextLength)));
  return i == ConfigList::npos ? std::string() : std::string(entries_.Value(i));
}

int32_t SettingsStore::LookupNumber(std::string_view key) const {
  const std::string bounded(key.substr(0, kMaxTextLength));
  const char* keys[] = {bounded.c_str()};
  int32_t number = -1;
  LookupNumbers(keys, 1, &number);
  return number;
}

void SettingsStore::LookupNumbers(const char* const* keys, std::size_t count,
                                  int32_t* numbers) const {
  std::vector<std::string> lower;
  for (std::size_t k = 0; k < count; ++k) lower.push_back(LowerAscii(keys[k]));
  const std::vector<std::string_view> views(lower.begin(), lower.end());
  std::vector<std::size_t> found(count);
  entries_.FindFirst(views.data(), count, found.data());
  for (std::size_t k = 0; k < count; ++k) {
    numbers[k] = found[k] == ConfigList::npos ? -1 : ParseLeadingInt(entries_.Value(found[k]));
  }
}

void SettingsStore::Set(std::string_view key, std::string_view value) {
  SetAll({{std::string(key), std::string(value)}});
}

void SettingsStore::SetAll(const std::vector<std::pair<std::string, std::string>>& values) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : values) keys.push_back(LowerAscii(key.substr(0, kMaxTextLength)));
  const std::vector<std::string_view> views(keys.begin(), keys.end());
  std::vector<std::size_t> found(keys.size());
  entries_.FindFirst(views.data(), views.size(), found.data());
  for (std::size_t k = 0; k < keys.size(); ++k) {
    const std::string_view value = std::string_view(values[k].second).substr(0, kMaxTextLength);
    // A key given twice finds the entry its first Set appended.
    for (std::size_t earlier = 0; earlier < k && found[k] == ConfigList::npos; ++earlier) {
      if (keys[earlier] == keys[k]) found[k] = found[earlier];
    }
    if (found[k] == ConfigList::npos) {
      found[k] = entries_.size();
      entries_.Append(values[k].first.substr(0, kMaxTextLength), value);
    } else {
      entries_.SetValue(found[k], value);
    }
  }
}

const char* SettingsStore::RegionCode() const { return RegionRow(0).code; }

int SettingsStore::RegionCodePage() const {
  return RegionRow(regionIndex >= 0 && regionIndex < kRegionRows ? regionIndex : 0).codePage;
}

}  // namespace vorn
