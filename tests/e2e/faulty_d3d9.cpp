// Display drivers that misbehave, each installed as the prefix's own
// d3d9.dll ("n": Wine takes that file), as one would stand in System32:
// HANG_IN_DLLMAIN never returns from loading, holding the loader's lock;
// HANG_IN_CREATE never returns from Direct3DCreate9; CRASH_IN_CREATE raises
// an access violation there; SLOW_CREATE answers after five seconds, with a
// card of its own.
#include <windows.h>

#include "../wine/fake_card.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
#ifdef HANG_IN_DLLMAIN
  if (reason == DLL_PROCESS_ATTACH) Sleep(INFINITE);
#endif
  (void)reason;
  return TRUE;
}

extern "C" __declspec(dllexport) IDirect3D9* WINAPI Direct3DCreate9(UINT) {
#if defined(HANG_IN_CREATE)
  Sleep(INFINITE);
#elif defined(CRASH_IN_CREATE)
  *static_cast<volatile int*>(nullptr) = 0;
#elif defined(SLOW_CREATE)
  Sleep(5000);
  static vorn::FakeCard card("Slow Card 3000", nullptr, D3DPS_VERSION(3, 0));
  return &card;
#endif
  return nullptr;
}
