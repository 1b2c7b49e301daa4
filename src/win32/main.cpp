#include <windows.h>

#include "resource_ids.h"
#include "win32/background_probe.h"
#include "win32/elevated/elevated.h"
#include "win32/messages.h"
#include "win32/vorn_option_app.h"

namespace {

// The loader's part, before anything else can load a library: the search
// limited to the system folder, the libraries Windows' DLLs ask for by name
// loaded from there, and only then the common controls, while the name
// "VornOption.exe.local" is held. False when the tool must not go on.
bool PrepareLibraries() {
  vorn::RestrictLibrarySearchPath();
  vorn::LoadLibrariesAskedForByName();
  const vorn::DotLocalHold hold;
  if (!hold.Clear()) {
    vorn::ShowErrorWithoutCommonControls(vorn::ProgramMessage(IDS_DOT_LOCAL_FOUND, hold.Path()));
    return false;
  }
  std::wstring loadedFrom;
  if (!vorn::LoadCommonControls(loadedFrom)) {
    vorn::ShowErrorWithoutCommonControls(L"Cannot use the common controls loaded from " +
                                         loadedFrom + L".");
    return false;
  }
  return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (!PrepareLibraries()) return 0;
  // Direct3D 9 starts up on its own thread while the rest starts here.
  vorn::BackgroundProbe probe;
  vorn::EnterResolvedGameFolder();
  vorn::EnforceRedirectionTrust();
  vorn::VornOptionApp app(probe);
  return app.Run(instance);
}
