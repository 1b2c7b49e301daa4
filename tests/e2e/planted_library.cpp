// A library as an attacker would plant it in the game folder under the name
// of one of Windows' (d3d9.dll, bcrypt.dll, uxtheme.dll): loading it runs
// DllMain, which leaves a marker file behind that names the program it ran
// in, "planted-<name>-in-<program>.txt".
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const wchar_t* name = program;
    for (const wchar_t* c = program; *c; ++c) {
      if (*c == L'\\' || *c == L'/') name = c + 1;
    }
    wchar_t marker[MAX_PATH + 32] = {};
    wsprintfW(marker, L"planted-%s-in-%s.txt", PLANTED_NAME, name);
    CloseHandle(CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  return TRUE;
}

// What programs import from the libraries it stands in for.
extern "C" __declspec(dllexport) void* WINAPI Direct3DCreate9(UINT) { return nullptr; }
extern "C" __declspec(dllexport) LONG WINAPI BCryptGenRandom(void*, UCHAR*, ULONG, ULONG) {
  return 0;
}
