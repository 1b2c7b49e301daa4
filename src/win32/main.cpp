#include <windows.h>

#include "resource_ids.h"
#include "win32/background_probe.h"
#include "win32/elevated/elevated.h"
#include "win32/messages.h"
#include "win32/vorn_option_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before any library loads: the search limited to the system folder, and
  // the name "VornOption.exe.local" held until the process ends.
  vorn::RestrictLibrarySearchPath();
  vorn::DotLocalHold hold;
  if (!hold.Clear()) {
    vorn::ShowErrorWithoutCommonControls(vorn::ProgramMessage(IDS_DOT_LOCAL_FOUND, hold.Path()));
    return 0;
  }
  // What Windows' DLLs ask for by name is loaded from the system folder
  // before anything can ask for it; then Direct3D 9 starts up on its own
  // thread while the rest starts here.
  vorn::LoadLibrariesAskedForByName();
  vorn::BackgroundProbe probe;
  std::wstring loadedFrom;
  if (!vorn::LoadCommonControls(loadedFrom)) {
    vorn::ShowErrorWithoutCommonControls(L"Cannot use the common controls loaded from " +
                                         loadedFrom + L".");
    return 0;
  }
  vorn::EnterResolvedGameFolder();
  vorn::EnforceRedirectionTrust();
  vorn::VornOptionApp app(probe);
  const int status = app.Run(instance);
  if (probe.Silent()) vorn::EndProcess(probe, status);  // not through the loader's lock
  return status;
}
