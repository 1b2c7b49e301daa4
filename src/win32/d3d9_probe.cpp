#include "win32/d3d9_probe.h"

#include <d3d9.h>

#include "win32/elevated/elevated.h"
#include "win32/library_function.h"

namespace vorn {

namespace {

Direct3DCreateFunction g_create = nullptr;

}  // namespace

void SetDirect3DCreateForTesting(Direct3DCreateFunction create) { g_create = create; }

bool D3D9Probe::CreateDirect3D() {
  Direct3DCreateFunction create = g_create;
  if (!create) {
    // Never freed: the hooks an overlay or driver put into Direct3D may
    // still run in it after the object is released.
    const HMODULE library = LoadSystemLibrary(L"d3d9.dll");
    if (!library) return false;
    create = LibraryFunction<Direct3DCreateFunction>(library, "Direct3DCreate9");
  }
  direct3d_ = create ? create(D3D_SDK_VERSION) : nullptr;
  return direct3d_ != nullptr;
}

std::wstring D3D9Probe::AdapterDescription() {
  // The last adapter's identifier is the one kept.
  D3DADAPTER_IDENTIFIER9 identifier = {};
  for (UINT adapter = 0; adapter < direct3d_->GetAdapterCount(); ++adapter) {
    direct3d_->GetAdapterIdentifier(adapter, 0, &identifier);
  }
  identifier.Description[sizeof(identifier.Description) - 1] = '\0';
  wchar_t description[sizeof(identifier.Description)] = {};
  MultiByteToWideChar(CP_ACP, 0, identifier.Description, -1, description, ARRAYSIZE(description));
  return description;
}

uint32_t D3D9Probe::PixelShaderVersion() {
  D3DCAPS9 caps = {};
  if (FAILED(direct3d_->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) return 0;
  return caps.PixelShaderVersion;
}

std::vector<DisplayMode> ListDisplayModes() {
  std::vector<DisplayMode> modes;
  DEVMODEW mode = {};
  mode.dmSize = sizeof(mode);
  for (DWORD index = 0; EnumDisplaySettingsW(nullptr, index, &mode); ++index) {
    modes.push_back({mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel});
  }
  return modes;
}

void D3D9Probe::ReleaseDirect3D() {
  if (direct3d_) direct3d_->Release();
  direct3d_ = nullptr;
}

}  // namespace vorn
