// Any bytes read as a configuration file (a byte-order mark dropped, UTF-16
// converted) and saved again must read back to the same pairs and the same
// unread tail.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "config/config_reader.h"
#include "config/config_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn;
  auto read = [](std::string bytes) {
    return ParseConfig(ConfigText(std::move(bytes), nullptr, kBuildRegion.codePage));
  };
  const ConfigList first = read(std::string(reinterpret_cast<const char*>(data), size));

  SettingsStore store;
  store.ReplaceEntries(first);
  store.id = store.LookupText("ID");
  store.Set("ID", store.id);  // what a save does before writing
  const ConfigList second = read(FormatConfig(store.Entries()));

  if (second.UnreadTail() != first.UnreadTail() || second.size() != first.size()) std::abort();
  for (size_t i = 0; i < first.size(); ++i) {
    if (first.Key(i) != second.Key(i) || first.Value(i) != second.Value(i)) std::abort();
  }
  return 0;
}
