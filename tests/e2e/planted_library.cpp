// A library as an attacker would plant it in the game folder under the name
// of one of Windows' (d3d9.dll, bcrypt.dll): loading it runs DllMain, which
// leaves a marker file behind, "planted-<name>-ran.txt".
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    CloseHandle(CreateFileW(L"planted-" PLANTED_NAME L"-ran.txt", GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr));
  }
  return TRUE;
}

// What programs import from the libraries it stands in for.
extern "C" __declspec(dllexport) void* WINAPI Direct3DCreate9(UINT) { return nullptr; }
extern "C" __declspec(dllexport) LONG WINAPI BCryptGenRandom(void*, UCHAR*, ULONG, ULONG) {
  return 0;
}
