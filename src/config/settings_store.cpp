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
  const std::size_t i = entries_.Find(LowerAscii(key.substr(0, kMaxTextLength)));
  return i == ConfigList::npos ? -1 : ParseLeadingInt(entries_.Value(i));
}

void SettingsStore::Set(std::string_view key, std::string_view value) {
  const std::string boundedKey(key.substr(0, kMaxTextLength));
  const std::size_t i = entries_.Find(LowerAscii(boundedKey));
  if (i == ConfigList::npos) {
    entries_.Append(boundedKey, value.substr(0, kMaxTextLength));
  } else {
    entries_.SetValue(i, value.substr(0, kMaxTextLength));
  }
}

const char* SettingsStore::RegionCode() const { return RegionRow(0).code; }

int SettingsStore::RegionCodePage() const {
  return RegionRow(regionIndex >= 0 && regionIndex < kRegionRows ? regionIndex : 0).codePage;
}

}  // namespace vorn
