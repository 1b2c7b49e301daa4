// The hardware probe, asked in a process of its own: a display driver that
// hangs while its library loads holds that process's loader lock, and one
// that crashes ends that process, never the tool. The tool starts itself
// again with kProbeSwitch and the write end of a pipe, the only handle the
// child inherits; the child starts Direct3D 9, writes one answer and ends.
// The tool never loads d3d9.dll itself.
//
// Both sides stand here: the child's (RunProbeProcess) and the tool's
// (BackgroundProbe), which starts the child while the dialog is being made,
// lists the display modes itself (they need no Direct3D) and reads the
// answer on a thread that only reads the pipe.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialog/dialog_ports.h"
#include "win32/scoped_handle.h"

namespace vorn {

// What Direct3D 9 told the child.
struct ProbeAnswer {
  bool created = false;      // Direct3D 9 started
  std::wstring description;  // the last adapter's name
  uint32_t shaderVersion = 0;
};

// The child writes two records: Direct3D 9's answer as soon as it has it,
// then the video memory DXGI tells for that adapter, which only the
// recommended settings at the highest shader version need, so the dialog
// need not wait for it. Each as it crosses the pipe, and back; false for
// anything that is not one whole record of its kind.
std::string EncodeProbeAnswer(const ProbeAnswer& answer);
bool DecodeProbeAnswer(const std::string& bytes, ProbeAnswer& answer);
std::string EncodeVideoMemory(uint64_t bytes);
bool DecodeVideoMemory(const std::string& bytes, uint64_t& videoMemory);

// ---- The child ------------------------------------------------------------

// "/probe-direct3d <pipe handle>": the arguments of the child.
constexpr wchar_t kProbeSwitch[] = L"/probe-direct3d";
bool IsProbeCommand(const wchar_t* arguments);
// The pipe such arguments name; null when they name none of this process's.
HANDLE ProbePipeOf(const wchar_t* arguments);

// The child's whole run: asks Direct3D 9 and writes the answer into the pipe
// the arguments name, then ends the process without running any library's
// detach code (a driver may hang there). Started with the switch but
// without such a pipe (by a player), it ends at once.
[[noreturn]] void RunProbeProcess(const wchar_t* arguments, bool searchLimited);

// Writes the probe's two records into `pipe`: what the child does, without
// ending.
bool ServeProbe(HANDLE pipe);

// ---- The tool -------------------------------------------------------------

// How long the dialog waits for the answer before it opens without the
// card's lists, and how long, from the start of that wait, the child may
// take before it is ended and the driver counts as hung. An answer between
// the two fills the open dialog.
constexpr DWORD kDialogWaitMs = 3000;
constexpr DWORD kProbePatienceMs = 10000;

class BackgroundProbe : public HardwareProbe {
 public:
  enum class Outcome {
    kWaiting,   // the child is still at work
    kAnswered,  // one whole answer came
    kNoAnswer,  // it ended without one: crashed, garbled, or never started
    kHung,      // it outlived its patience and was ended
  };

  // Starts the child: this program, or `program` (tests' stand-ins).
  explicit BackgroundProbe(const std::wstring& program = std::wstring(),
                           DWORD dialogWaitMs = kDialogWaitMs, DWORD patienceMs = kProbePatienceMs);
  // Ends the child if it still runs.
  ~BackgroundProbe() override;
  BackgroundProbe(const BackgroundProbe&) = delete;
  BackgroundProbe& operator=(const BackgroundProbe&) = delete;

  // Lists the display modes, then waits for Direct3D 9's answer within the
  // dialog's wait, answering what other threads and processes send meanwhile.
  bool CreateDirect3D() override;
  std::wstring AdapterDescription() override;
  uint32_t PixelShaderVersion() override;
  // Waits, within what is left of the patience, for DXGI's record; 0 when
  // it does not come.
  uint64_t DedicatedVideoMemory() override;
  std::vector<DisplayMode> DisplayModes() override { return modes_; }
  // Nothing: the child ends by itself once DXGI has answered, and the tool
  // ends it when it ends.
  void ReleaseDirect3D() override {}
  // Ends the child if it still runs.
  void End();

  Outcome Result() const;
  // While waiting: `message` is posted to `window` once the child answers or
  // ends (null: to no one). Posted at once when it has already.
  void NotifyWhenDone(HWND window, UINT message);
  // What is left of the patience, counted from the start of the wait.
  DWORD PatienceLeft() const;
  // Ends a child that outlived its patience; an answer it finished by then
  // still counts.
  void GiveUp();

 private:
  // What the reading thread fills in; shared with it, so that the thread may
  // end after the probe.
  struct Channel;
  static DWORD WINAPI ReadAnswer(void* channel);

  void Start(const std::wstring& program);
  // Waits for `handle` within `milliseconds`, answering sent messages.
  static void WaitFor(HANDLE handle, DWORD milliseconds);
  const ProbeAnswer* Answer() const;

  std::shared_ptr<Channel> channel_;
  ScopedHandle process_{nullptr};
  ScopedHandle job_{nullptr};
  ScopedHandle reader_{nullptr};
  DWORD dialogWaitMs_;
  DWORD patienceMs_;
  DWORD waitStarted_ = 0;
  bool givenUp_ = false;
  std::vector<DisplayMode> modes_;
};

}  // namespace vorn
