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

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
  // Before any library loads: the search limited to the system folder, and
  // the name "VornOption.exe.local" held until the process ends.
  const bool searchLimited = vorn::RestrictLibrarySearchPath();
  // Started again by the tool to ask Direct3D 9, under the tool's hold.
  if (vorn::IsProbeCommand(arguments)) vorn::RunProbeProcess(arguments, searchLimited);
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
  // before anything can ask for it, the box of a refusal included.
  const std::wstring refusal = ReasonNotToStart(searchLimited);
  if (!refusal.empty()) {
    vorn::LoadLibrariesAskedForByName();
    vorn::ShowErrorWithoutCommonControls(refusal);
    return 0;
  }
  // Direct3D 9 starts up in a process of its own while the rest starts here.
  vorn::BackgroundProbe probe;
  vorn::LoadLibrariesAskedForByName();
  // The common controls, version 6, for every window of this thread. The
  // program's manifest does not name them: the probe's process shows nothing
  // and starts faster without them.
  const vorn::ProgramManifest commonControls(IDR_COMMON_CONTROLS_MANIFEST);
  std::wstring loadedFrom;
  if (!vorn::LoadCommonControls(loadedFrom)) {
    vorn::ShowErrorWithoutCommonControls(
        vorn::ProgramMessage(IDS_COMMON_CONTROLS_REFUSED, loadedFrom));
    return 0;
  }
  vorn::EnterResolvedGameFolder();
  vorn::EnforceRedirectionTrust();
  vorn::VornOptionApp app(probe);
  return app.Run(instance);
}
