// The hardware probe over Direct3D 9 and the display driver, as the probe's
// process asks it (background_probe.h). d3d9.dll is loaded at run time from
// the system folder only, never from the game folder, and stays loaded.
#pragma once

#include <windows.h>

#include "dialog/dialog_ports.h"
#include "dialog/video_memory.h"

#include <d3d9.h>

namespace vorn {

// Tests replace Direct3DCreate9 (a card with two adapters, a driver that
// hangs or sends messages); null puts d3d9.dll's own back.
using Direct3DCreateFunction = IDirect3D9*(WINAPI*)(UINT);
void SetDirect3DCreateForTesting(Direct3DCreateFunction create);

// The primary display's modes, from the display driver: no Direct3D needed.
std::vector<DisplayMode> ListDisplayModes();

// Every adapter DXGI knows, from dxgi.dll of the system folder (Windows 7
// and later); none where DXGI is missing.
std::vector<DxgiAdapter> ListDxgiAdapters();

class D3D9Probe : public HardwareProbe {
 public:
  D3D9Probe() = default;
  ~D3D9Probe() override { ReleaseDirect3D(); }
  D3D9Probe(const D3D9Probe&) = delete;
  D3D9Probe& operator=(const D3D9Probe&) = delete;

  bool CreateDirect3D() override;
  std::wstring AdapterDescription() override;
  uint32_t PixelShaderVersion() override;
  uint64_t DedicatedVideoMemory() override;
  std::vector<DisplayMode> DisplayModes() override { return ListDisplayModes(); }
  void ReleaseDirect3D() override;

 private:
  // The last adapter's identifier: the card the tool names.
  void LastAdapter(D3DADAPTER_IDENTIFIER9& identifier);

  IDirect3D9* direct3d_ = nullptr;
};

}  // namespace vorn
