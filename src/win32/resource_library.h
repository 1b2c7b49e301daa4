#pragma once

#include <windows.h>

namespace vorn {

// Maps "rscdll/VornOption<region>.dll" as data only: its dialogs, strings and
// icons can be used, but no code of it ever runs (the tool runs elevated from
// a folder others can write to). Null when it cannot be loaded.
HMODULE LoadResourceLibrary(const char* regionCode, int codePage);

}  // namespace vorn
