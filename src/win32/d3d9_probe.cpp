#include "win32/d3d9_probe.h"

#include <d3d9.h>
#include <dxgi1_4.h>

#include "win32/elevated/elevated.h"
#include "win32/library_function.h"

namespace vorn {

namespace {

Direct3DCreateFunction g_create = nullptr;

// What Windows 10 lets a program use of the adapter's local memory, a 64-bit
// value whatever the program's size; 0 before Windows 10.
uint64_t LocalBudget(IDXGIAdapter1* adapter) {
  IDXGIAdapter3* newer = nullptr;
  if (FAILED(adapter->QueryInterface(__uuidof(IDXGIAdapter3), reinterpret_cast<void**>(&newer)))) {
    return 0;
  }
  DXGI_QUERY_VIDEO_MEMORY_INFO memory = {};
  const bool answered =
      SUCCEEDED(newer->QueryVideoMemoryInfo(0, DXGI_MEMORY_SEGMENT_GROUP_LOCAL, &memory));
  newer->Release();
  return answered ? memory.Budget : 0;
}

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

void D3D9Probe::LastAdapter(D3DADAPTER_IDENTIFIER9& identifier) {
  identifier = {};
  for (UINT adapter = 0; adapter < direct3d_->GetAdapterCount(); ++adapter) {
    direct3d_->GetAdapterIdentifier(adapter, 0, &identifier);
  }
}

std::wstring D3D9Probe::AdapterDescription() {
  D3DADAPTER_IDENTIFIER9 identifier;
  LastAdapter(identifier);
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

uint64_t D3D9Probe::DedicatedVideoMemory() {
  if (!direct3d_) return 0;
  D3DADAPTER_IDENTIFIER9 identifier;
  LastAdapter(identifier);
  return VideoMemoryOf(ListDxgiAdapters(), identifier.VendorId, identifier.DeviceId);
}

std::vector<DxgiAdapter> ListDxgiAdapters() {
  using CreateFactory = HRESULT(WINAPI*)(REFIID, void**);
  // Loaded as Direct3D 9 is, and never freed either.
  const auto create =
      LibraryFunction<CreateFactory>(LoadSystemLibrary(L"dxgi.dll"), "CreateDXGIFactory1");
  IDXGIFactory1* factory = nullptr;
  if (!create || FAILED(create(__uuidof(IDXGIFactory1), reinterpret_cast<void**>(&factory)))) {
    return {};
  }
  std::vector<DxgiAdapter> adapters;
  IDXGIAdapter1* adapter = nullptr;
  for (UINT index = 0; factory->EnumAdapters1(index, &adapter) == S_OK; ++index) {
    DXGI_ADAPTER_DESC1 description = {};
    if (SUCCEEDED(adapter->GetDesc1(&description))) {
      adapters.push_back({description.VendorId, description.DeviceId,
                          description.DedicatedVideoMemory, LocalBudget(adapter)});
    }
    adapter->Release();
  }
  factory->Release();
  return adapters;
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
