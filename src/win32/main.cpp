#include <windows.h>

#include "win32/vorn_option_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The tool runs elevated from the game's folder, which others can write
  // to: no library may ever be looked for there or in the current folder.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");

  vorn::VornOptionApp app;
  return app.Run(instance);
}
