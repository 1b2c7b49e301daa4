// A program that imports what VornOption once did, bcrypt.dll and the common
// controls: the import check must refuse it, and under Wine it shows that a
// bcrypt.dll, or a library the common controls ask for by name, planted
// beside such a program runs.
#include <windows.h>
#include <bcrypt.h>
#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  UCHAR byte = 0;
  return BCryptGenRandom(nullptr, &byte, 1, BCRYPT_USE_SYSTEM_PREFERRED_RNG) < 0 ? 1 : 0;
}
