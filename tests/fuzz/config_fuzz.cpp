// Any bytes read as a configuration file and saved again must read back to the
// same pairs and the same unread tail.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/config_reader.h"
#include "config/config_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn;
  const ConfigList first = ParseConfig(std::string(reinterpret_cast<const char*>(data), size));

  SettingsStore store;
  store.ReplaceEntries(first);
  store.id = store.LookupText("ID");
  store.Set("ID", store.id);  // what a save does before writing
  const ConfigList second = ParseConfig(FormatConfig(store.Entries()));

  if (second.UnreadTail() != first.UnreadTail() || second.size() != first.size()) std::abort();
  for (size_t i = 0; i < first.size(); ++i) {
    if (first.Key(i) != second.Key(i) || first.Value(i) != second.Value(i)) std::abort();
  }
  return 0;
}
