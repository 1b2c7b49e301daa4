// The hardware probe started on a thread of its own, so that Direct3D 9
// starts up while the dialog is being made instead of before or after it.
// The answers are today's probe's; each one waits for the thread, and the
// display modes, which need no Direct3D, are listed by the caller while it
// would wait. Direct3D is released when the dialog says so, as before.
//
// A display driver may hang in Direct3DCreate9, or a hook in Direct3D may
// send a message to the tool's windows from the thread and wait for the
// answer: the wait handles sent messages, and ends when the patience runs
// out, after which the probe is silent and no one waits for that thread.
#pragma once

#include <windows.h>

#include <memory>

#include "win32/d3d9_probe.h"
#include "win32/scoped_handle.h"

namespace vorn {

// How long Direct3D may take to start before the driver counts as hung.
constexpr DWORD kDirect3DPatienceMs = 10000;

class BackgroundProbe : public HardwareProbe {
 public:
  // Start only once the library search is limited: the thread loads d3d9.
  explicit BackgroundProbe(DWORD patienceMs = kDirect3DPatienceMs);
  // Waits for the thread, within the patience: a process must not end while
  // it is inside the loader or a driver that still answers.
  ~BackgroundProbe() override;
  BackgroundProbe(const BackgroundProbe&) = delete;
  BackgroundProbe& operator=(const BackgroundProbe&) = delete;

  bool CreateDirect3D() override;
  std::wstring AdapterDescription() override;
  uint32_t PixelShaderVersion() override;
  std::vector<DisplayMode> DisplayModes() override;
  void ReleaseDirect3D() override;
  bool Silent() const override { return silent_; }

 private:
  // What the thread finds; shared with it, so that a thread that answers
  // after the probe gave up writes into memory that still exists.
  struct Answers {
    D3D9Probe probe;
    bool created = false;
    std::wstring description;
    uint32_t shaderVersion = 0;
  };

  static DWORD WINAPI Run(void* answers);
  static void Probe(Answers& answers);
  void Wait();

  std::shared_ptr<Answers> answers_ = std::make_shared<Answers>();
  ScopedHandle thread_{nullptr};
  DWORD started_ = GetTickCount();
  DWORD patienceMs_;
  bool silent_ = false;
  std::vector<DisplayMode> modes_;
};

// Ends the process with `status`. After a driver that never answered, it may
// hold the loader's lock, which ExitProcess would wait for: then the process
// is ended without it (everything is saved and flushed by then).
[[noreturn]] void EndProcess(const HardwareProbe& probe, UINT status);

}  // namespace vorn
