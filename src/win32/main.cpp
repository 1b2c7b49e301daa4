#include <windows.h>

#include "win32/game_folder.h"
#include "win32/library_loader.h"
#include "win32/redirection_trust.h"
#include "win32/vorn_option_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  vorn::RestrictLibrarySearchPath();
  vorn::EnterResolvedGameFolder();
  vorn::EnforceRedirectionTrust();
  vorn::VornOptionApp app;
  return app.Run(instance);
}
