// A d3d9.dll as an attacker would plant it in the game folder: loading it
// runs DllMain, which leaves a marker file behind.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    CloseHandle(
        CreateFileW(L"planted-d3d9-ran.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  return TRUE;
}

extern "C" __declspec(dllexport) void* WINAPI Direct3DCreate9(UINT) { return nullptr; }
