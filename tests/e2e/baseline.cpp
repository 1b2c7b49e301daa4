// The least a program must do to show the Options dialog: create Direct3D 9,
// ask the caps, enumerate the display modes, show dialog 101 from the same
// resource library. It imports d3d9 the ordinary way, so it also shows that a
// planted d3d9.dll would be loaded by such a program.
#include <windows.h>
#include <d3d9.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!direct3d) return 2;
  D3DCAPS9 caps = {};
  direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
  DEVMODEW mode = {};
  mode.dmSize = sizeof(mode);
  for (DWORD index = 0; EnumDisplaySettingsW(nullptr, index, &mode); ++index) {
  }
  direct3d->Release();
  HMODULE resources = LoadLibraryExW(L"rscdll/VornOptionKR.dll", nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  DialogBoxParamW(resources, MAKEINTRESOURCEW(101), nullptr, &DialogProc, 0);
  FreeLibrary(resources);
  return 0;
}
