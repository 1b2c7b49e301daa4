// Reading the game's configuration files: a sequence of "key = value" pairs,
// read up to the first pair that cannot be read.
#pragma once

#include <string>

#include "config/settings_store.h"

namespace vorn {

constexpr char kGameConfigFile[] = "Vorn.cfg";
constexpr char kSafeModeConfigFile[] = "VornSafeMode.cfg";

// Reads pairs up to the first one that fails, keeping the text from there to
// the end (unless it is only white space or a dangling "key =") verbatim.
ConfigList ParseConfig(std::string text);

// "<folder><separator><file name>"
std::string ConfigPath(const SettingsStore& store, const char* fileName);

// Both set the folder to "." and return false, leaving the store as it was,
// when the file cannot be opened. The safe-mode file leaves SupportShader,
// TreeNormalMap and VSync alone.
bool ReadGameConfig(SettingsStore& store);
bool ReadSafeModeConfig(SettingsStore& store);

}  // namespace vorn
