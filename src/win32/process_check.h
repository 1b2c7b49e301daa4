#pragma once

namespace vorn {

// True when a running process has this executable name, in any letter case.
// A process list that cannot be taken counts as "not running".
bool IsProcessRunning(const wchar_t* imageName);

}  // namespace vorn
