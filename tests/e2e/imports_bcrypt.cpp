// A program that imports bcrypt.dll, as VornOption once did: the import
// check must refuse it, and under Wine it shows that a bcrypt.dll planted
// beside such a program runs.
#include <windows.h>
#include <bcrypt.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  UCHAR byte = 0;
  return BCryptGenRandom(nullptr, &byte, 1, BCRYPT_USE_SYSTEM_PREFERRED_RNG) < 0 ? 1 : 0;
}
