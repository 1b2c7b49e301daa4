#include <windows.h>

#include "resource_ids.h"
#include "win32/background_probe.h"
#include "win32/elevated/elevated.h"
#include "win32/messages.h"
#include "win32/vorn_option_app.h"

namespace {

// What keeps the tool from starting safely once the libraries Windows' DLLs
// ask for are loaded: a search that cannot be limited, or a file beside the
// program that steers the loader. Empty when nothing does.
std::wstring ReasonNotToStart(bool searchLimited) {
  if (!searchLimited) return vorn::ProgramMessage(IDS_SEARCH_UPDATE_MISSING);
  const std::wstring loaderFile = vorn::LoaderFileBesideProgram();
  return loaderFile.empty() ? std::wstring()
                            : vorn::ProgramMessage(IDS_LOADER_FILE_FOUND, loaderFile);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before any library loads: the search limited to the system folder, and
  // the name "VornOption.exe.local" held until the process ends.
  const bool searchLimited = vorn::RestrictLibrarySearchPath();
  // A second start of this program brings the first one forward and ends.
  const vorn::ToolClaim claim;
  if (claim.HeldByAnother()) {
    claim.BringHolderForward();
    return 0;
  }
  vorn::DotLocalHold hold;
  if (!hold.Clear()) {
    vorn::ShowErrorWithoutCommonControls(vorn::ProgramMessage(IDS_DOT_LOCAL_FOUND, hold.Path()));
    return 0;
  }
  // What Windows' DLLs ask for by name is loaded from the system folder
  // before anything can ask for it, the box of a refusal included; then
  // Direct3D 9 starts up on its own thread while the rest starts here.
  vorn::LoadLibrariesAskedForByName();
  const std::wstring refusal = ReasonNotToStart(searchLimited);
  if (!refusal.empty()) {
    vorn::ShowErrorWithoutCommonControls(refusal);
    return 0;
  }
  vorn::BackgroundProbe probe;
  std::wstring loadedFrom;
  if (!vorn::LoadCommonControls(loadedFrom)) {
    vorn::ShowErrorWithoutCommonControls(
        vorn::ProgramMessage(IDS_COMMON_CONTROLS_REFUSED, loadedFrom));
    return 0;
  }
  vorn::EnterResolvedGameFolder();
  vorn::EnforceRedirectionTrust();
  vorn::VornOptionApp app(probe);
  const int status = app.Run(instance);
  if (probe.Silent()) vorn::EndProcess(probe, status);  // not through the loader's lock
  return status;
}
