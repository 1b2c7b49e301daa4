#include "win32/background_probe.h"

namespace vorn {

BackgroundProbe::BackgroundProbe() {
  thread_.reset(CreateThread(nullptr, 0, &BackgroundProbe::Run, this, 0, nullptr));
  if (!thread_) Probe();  // no thread to be had: the answers are made here
}

BackgroundProbe::~BackgroundProbe() { Wait(); }

DWORD WINAPI BackgroundProbe::Run(void* self) {
  static_cast<BackgroundProbe*>(self)->Probe();
  return 0;
}

void BackgroundProbe::Probe() {
  created_ = probe_.CreateDirect3D();
  if (!created_) return;
  description_ = probe_.AdapterDescription();
  shaderVersion_ = probe_.PixelShaderVersion();
}

void BackgroundProbe::Wait() {
  if (thread_) WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
}

bool BackgroundProbe::CreateDirect3D() {
  // The display's modes need no Direct3D: they are listed here while the
  // thread is still starting it.
  modes_ = probe_.DisplayModes();
  Wait();
  return created_;
}

std::wstring BackgroundProbe::AdapterDescription() {
  Wait();
  return description_;
}

uint32_t BackgroundProbe::PixelShaderVersion() {
  Wait();
  return shaderVersion_;
}

std::vector<DisplayMode> BackgroundProbe::DisplayModes() { return modes_; }

void BackgroundProbe::ReleaseDirect3D() {
  Wait();
  probe_.ReleaseDirect3D();
}

}  // namespace vorn
