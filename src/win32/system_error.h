#pragma once

#include <windows.h>

#include <string>

namespace vorn {

// The system's own words for an error code, without the trailing line end.
std::string SystemErrorText(DWORD error);

}  // namespace vorn
