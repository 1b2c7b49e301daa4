#include "win32/elevated/elevated.h"

#include "resource_ids.h"

namespace vorn {
namespace {

// Whether something stands under that name: only "not found" says nothing.
bool Stands(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ||
         GetLastError() != ERROR_FILE_NOT_FOUND;
}

}  // namespace

DotLocalHold::DotLocalHold() {
  const std::wstring program = ModulePath(nullptr);
  if (program.empty()) return;
  path_ = program + L".local";
  // CREATE_NEW opens nothing that stands there, a dangling link included.
  held_.reset(CreateFileW(path_.c_str(), DELETE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY |
                              FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                          nullptr));
  if (held_) return;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
    standing_ = true;
    return;
  }
  // Where the tool may not make it (a read-only medium), a look must do.
  standing_ = Stands(path_);
}

std::wstring LoaderFileBesideProgram() {
  const std::wstring program = ModulePath(nullptr);
  for (const wchar_t* suffix : {L".config", L".manifest"}) {
    if (!program.empty() && Stands(program + suffix)) return program + suffix;
  }
  return {};
}

void ShowErrorWithoutCommonControls(const std::wstring& text) {
  // An activation context of a manifest that names no assembly: the box's
  // buttons and text are then user32's own classes.
  const ProgramManifest plain(IDR_PLAIN_MANIFEST);
  if (plain.Active()) MessageBoxW(nullptr, text.c_str(), L"Vorn", MB_OK | MB_ICONERROR);
}

}  // namespace vorn
