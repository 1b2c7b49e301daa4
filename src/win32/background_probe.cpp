#include "win32/background_probe.h"

namespace vorn {

BackgroundProbe::BackgroundProbe(DWORD patienceMs) : patienceMs_(patienceMs) {
  auto* shared = new std::shared_ptr<Answers>(answers_);
  thread_.reset(CreateThread(nullptr, 0, &BackgroundProbe::Run, shared, 0, nullptr));
  if (thread_) return;
  delete shared;
  Probe(*answers_);  // no thread to be had: the answers are made here
}

BackgroundProbe::~BackgroundProbe() { Wait(); }

DWORD WINAPI BackgroundProbe::Run(void* answers) {
  const std::unique_ptr<std::shared_ptr<Answers>> shared(
      static_cast<std::shared_ptr<Answers>*>(answers));
  Probe(**shared);
  return 0;
}

void BackgroundProbe::Probe(Answers& answers) {
  answers.created = answers.probe.CreateDirect3D();
  if (!answers.created) return;
  answers.description = answers.probe.AdapterDescription();
  answers.shaderVersion = answers.probe.PixelShaderVersion();
}

void BackgroundProbe::Wait() {
  if (!thread_ || silent_) return;
  for (;;) {
    const DWORD waited = GetTickCount() - started_;
    const HANDLE thread = thread_.get();
    const DWORD woken = MsgWaitForMultipleObjects(
        1, &thread, FALSE, waited < patienceMs_ ? patienceMs_ - waited : 0, QS_SENDMESSAGE);
    if (woken == WAIT_OBJECT_0) break;
    if (woken != WAIT_OBJECT_0 + 1) {
      silent_ = true;  // the driver did not answer in time
      return;
    }
    MSG message;  // a look at the queue answers what other threads sent
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  thread_.reset();
}

bool BackgroundProbe::CreateDirect3D() {
  // The display's modes need no Direct3D: they are listed here while the
  // thread is still starting it.
  modes_ = answers_->probe.DisplayModes();
  Wait();
  return !silent_ && answers_->created;
}

std::wstring BackgroundProbe::AdapterDescription() {
  Wait();
  return silent_ ? std::wstring() : answers_->description;
}

uint32_t BackgroundProbe::PixelShaderVersion() {
  Wait();
  return silent_ ? 0 : answers_->shaderVersion;
}

std::vector<DisplayMode> BackgroundProbe::DisplayModes() { return modes_; }

void BackgroundProbe::ReleaseDirect3D() {
  Wait();
  if (!silent_) answers_->probe.ReleaseDirect3D();
}

void EndProcess(const HardwareProbe& probe, UINT status) {
  if (probe.Silent()) TerminateProcess(GetCurrentProcess(), status);
  ExitProcess(status);
}

}  // namespace vorn
