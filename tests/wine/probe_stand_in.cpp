// Stands in for the probe's process in the tests, started by BackgroundProbe
// with the same switch and pipe. What it does comes from VORN_STAND_IN:
//   two-adapters  the real child's run on a card of two adapters
//   late          the same, a second and a half late
//   sends         the same, once the window "VornOption probe test" has
//                 answered a message sent to it
//   crash         the real child's run on a driver that crashes
//   hang          never answers
//   garbled       writes what is no answer, and ends
//   silent        ends without writing
#include <windows.h>

#include <string>

#include "fake_card.h"
#include "win32/background_probe.h"
#include "win32/d3d9_probe.h"

namespace {

vorn::FakeCard g_card("First Card", "Second Card", D3DPS_VERSION(2, 0));

IDirect3D9* WINAPI CreateTwoAdapters(UINT) { return &g_card; }
IDirect3D9* WINAPI CreateCrashing(UINT) {
  *static_cast<volatile int*>(nullptr) = 0;
  return nullptr;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
  wchar_t mode[32] = {};
  GetEnvironmentVariableW(L"VORN_STAND_IN", mode, 32);
  const std::wstring what = mode;
  if (what == L"hang") Sleep(INFINITE);
  if (what == L"garbled") {
    const char junk[] = "VPA1 this is not an answer";
    DWORD written = 0;
    WriteFile(vorn::ProbePipeOf(arguments), junk, sizeof(junk), &written, nullptr);
  }
  if (what == L"late") Sleep(1500);
  if (what == L"sends") {
    DWORD_PTR result = 0;
    const HWND window = FindWindowW(L"STATIC", L"VornOption probe test");
    if (!window || !SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) {
      return 0;
    }
  }
  if (what == L"two-adapters" || what == L"late" || what == L"sends") {
    vorn::SetDirect3DCreateForTesting(&CreateTwoAdapters);
  }
  if (what == L"crash") vorn::SetDirect3DCreateForTesting(&CreateCrashing);
  if (what == L"garbled" || what == L"silent") return 0;
  vorn::RunProbeProcess(arguments, true);
}
