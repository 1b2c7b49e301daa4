// The hardware probe over Direct3D 9 and the display driver, as the probe's
// process asks it (background_probe.h). d3d9.dll is loaded at run time from
// the system folder only, never from the game folder, and stays loaded.
#pragma once

#include <windows.h>

#include "dialog/dialog_ports.h"

struct IDirect3D9;

namespace vorn {

// Tests replace Direct3DCreate9 (a card with two adapters, a driver that
// hangs or sends messages); null puts d3d9.dll's own back.
using Direct3DCreateFunction = IDirect3D9*(WINAPI*)(UINT);
void SetDirect3DCreateForTesting(Direct3DCreateFunction create);

// The primary display's modes, from the display driver: no Direct3D needed.
std::vector<DisplayMode> ListDisplayModes();

class D3D9Probe : public HardwareProbe {
 public:
  D3D9Probe() = default;
  ~D3D9Probe() override { ReleaseDirect3D(); }
  D3D9Probe(const D3D9Probe&) = delete;
  D3D9Probe& operator=(const D3D9Probe&) = delete;

  bool CreateDirect3D() override;
  std::wstring AdapterDescription() override;
  uint32_t PixelShaderVersion() override;
  std::vector<DisplayMode> DisplayModes() override { return ListDisplayModes(); }
  void ReleaseDirect3D() override;

 private:
  IDirect3D9* direct3d_ = nullptr;
};

}  // namespace vorn
