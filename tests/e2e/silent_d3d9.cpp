// A display driver that hangs: installed as the prefix's own d3d9.dll, its
// Direct3DCreate9 never returns, as a hung driver's would not.
#include <windows.h>

extern "C" __declspec(dllexport) void* WINAPI Direct3DCreate9(UINT) {
  Sleep(INFINITE);
  return nullptr;
}
