// A card as Direct3D 9 shows it: adapters of the given names, pixel shader
// `shaderVersion` on the first. Nothing else is asked of it.
#pragma once

#include <windows.h>
#include <d3d9.h>

namespace vorn {

class FakeCard : public IDirect3D9 {
 public:
  FakeCard(const char* first, const char* second, DWORD shaderVersion)
      : names_{first, second}, shaderVersion_(shaderVersion) {}

  HRESULT WINAPI QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG WINAPI AddRef() override { return 1; }
  ULONG WINAPI Release() override { return 0; }
  HRESULT WINAPI RegisterSoftwareDevice(void*) override { return E_NOTIMPL; }
  UINT WINAPI GetAdapterCount() override { return names_[1] ? 2 : 1; }
  HRESULT WINAPI GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* id) override {
    if (adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
    *id = {};
    lstrcpynA(id->Description, names_[adapter], sizeof(id->Description));
    return D3D_OK;
  }
  UINT WINAPI GetAdapterModeCount(UINT, D3DFORMAT) override { return 0; }
  HRESULT WINAPI EnumAdapterModes(UINT, D3DFORMAT, UINT, D3DDISPLAYMODE*) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI GetAdapterDisplayMode(UINT, D3DDISPLAYMODE*) override { return E_NOTIMPL; }
  HRESULT WINAPI CheckDeviceType(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, WINBOOL) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI CheckDeviceFormat(UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE,
                                   D3DFORMAT) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI CheckDeviceMultiSampleType(UINT, D3DDEVTYPE, D3DFORMAT, WINBOOL,
                                            D3DMULTISAMPLE_TYPE, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI CheckDepthStencilMatch(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT,
                                        D3DFORMAT) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI CheckDeviceFormatConversion(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI GetDeviceCaps(UINT, D3DDEVTYPE, D3DCAPS9* caps) override {
    *caps = {};
    caps->PixelShaderVersion = shaderVersion_;
    return D3D_OK;
  }
  HMONITOR WINAPI GetAdapterMonitor(UINT) override { return nullptr; }
  HRESULT WINAPI CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*,
                              IDirect3DDevice9**) override {
    return E_NOTIMPL;
  }

 private:
  const char* names_[2];
  DWORD shaderVersion_;
};

}  // namespace vorn
