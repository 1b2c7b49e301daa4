#pragma once

#include <windows.h>

#include <string>

namespace vorn {

// Windows' own words for an error code, in the user's language where
// Windows has them in it, without the trailing line end.
std::wstring SystemErrorText(DWORD error);

}  // namespace vorn
