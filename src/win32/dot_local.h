// "<program>.local" beside the program. Windows' side-by-side loader takes
// an assembly's libraries (the common controls) from a folder of that name
// before WinSxS, for a program with a manifest and run as administrator
// too: a player who made one in the game folder would have code of theirs
// run in the elevated tool. Wine does not look there.
#pragma once

#include <windows.h>

#include <string>

#include "win32/scoped_handle.h"

namespace vorn {

// Holds the name itself, as a hidden file that no one else may open and
// that goes when the hold ends, so that no folder of that name can appear
// while the common controls are loaded; or finds something standing there.
class DotLocalHold {
 public:
  DotLocalHold();
  // False when a file, folder or link of that name stands beside the program.
  bool Clear() const { return !standing_; }
  // "<program's full path>.local".
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
  ScopedHandle held_{nullptr};
  bool standing_ = false;
};

// An error box captioned "Vorn" made of Windows' own controls, never the
// common controls, which a ".local" folder standing beside the program could
// otherwise supply.
void ShowErrorWithoutCommonControls(const std::wstring& text);

}  // namespace vorn
