// The hardware probe started on a thread of its own, so that Direct3D 9
// starts up while the dialog is being made instead of before or after it.
// The answers are today's probe's; each one waits for the thread, and the
// display modes, which need no Direct3D, are listed by the caller while it
// would wait. Direct3D is released when the dialog says so, as before.
#pragma once

#include <windows.h>

#include "win32/d3d9_probe.h"
#include "win32/scoped_handle.h"

namespace vorn {

class BackgroundProbe : public HardwareProbe {
 public:
  // Start only once the library search is limited: the thread loads d3d9.
  BackgroundProbe();
  // Waits for the thread: a process must not end while it is inside the
  // loader or the display driver.
  ~BackgroundProbe() override;
  BackgroundProbe(const BackgroundProbe&) = delete;
  BackgroundProbe& operator=(const BackgroundProbe&) = delete;

  bool CreateDirect3D() override;
  std::wstring AdapterDescription() override;
  uint32_t PixelShaderVersion() override;
  std::vector<DisplayMode> DisplayModes() override;
  void ReleaseDirect3D() override;

 private:
  static DWORD WINAPI Run(void* self);
  void Probe();
  void Wait();

  D3D9Probe probe_;
  ScopedHandle thread_{nullptr};
  bool created_ = false;
  std::wstring description_;
  uint32_t shaderVersion_ = 0;
  std::vector<DisplayMode> modes_;
};

}  // namespace vorn
