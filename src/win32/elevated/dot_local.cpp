#include "win32/elevated/elevated.h"

#include "resource_ids.h"
#include "win32/elevated/plain_file.h"

namespace vorn {
namespace {

// Whether something stands under that name, asked in the long-path form so
// that a deep game folder is asked about the name itself: what is there but
// cannot be looked at stands too; a name that is not there does not.
bool Stands(const std::wstring& path) {
  if (GetFileAttributesW(LongPathForm(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

// The file the tool's own hold leaves when the process never ended (a power
// cut): plain, empty, hidden, of one name, beside this very program, and
// held by no one. Delete access and no sharing: any program that holds it
// keeps it from being opened.
ScopedHandle OpenLeftover(const std::wstring& path, const std::wstring& program) {
  ScopedHandle file(CreateFileW(LongPathForm(path).c_str(), DELETE | FILE_READ_ATTRIBUTES, 0,
                                nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!file || !GetFileInformationByHandle(file.get(), &info)) return ScopedHandle(nullptr);
  const DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  const bool leftover =
      !(info.dwFileAttributes & notPlain) && (info.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) &&
      info.nNumberOfLinks == 1 && info.nFileSizeHigh == 0 && info.nFileSizeLow == 0;
  if (!leftover) return ScopedHandle(nullptr);
  // Where the open itself followed a link (Wine does, for a file link), the
  // file reached is another: it must be the one beside the program.
  const ScopedHandle programFile(CreateFileW(LongPathForm(program).c_str(), FILE_READ_ATTRIBUTES,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
  const std::wstring beside = programFile ? FinalPath(programFile.get()) : std::wstring();
  if (beside.empty() || !SamePath(FinalPath(file.get()), beside + L".local")) {
    return ScopedHandle(nullptr);
  }
  return file;
}

bool ExternalManifestPreferred() {
  // Asked in both views: which one Windows reads for a 32-bit program on
  // 64-bit Windows is not documented, and either may have been set.
  for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    DWORD value = 0;
    if (RegistryDword(HKEY_LOCAL_MACHINE,
                      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SideBySide",
                      L"PreferExternalManifest", view, value) &&
        value != 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

DotLocalHold::DotLocalHold() {
  const std::wstring program = ModulePath(nullptr);
  if (program.empty()) return;
  path_ = program + L".local";
  // CREATE_NEW opens nothing that stands there, a dangling link included.
  held_.reset(CreateFileW(LongPathForm(path_).c_str(), DELETE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY |
                              FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                          nullptr));
  if (held_) return;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
    // A leftover is taken over: marked for deletion on the handle checked,
    // it goes as the process ends, as a hold made here would.
    held_ = OpenLeftover(path_, program);
    FILE_DISPOSITION_INFO deleteOnClose = {TRUE};
    standing_ = !held_ || !SetFileInformationByHandle(held_.get(), FileDispositionInfo,
                                                      &deleteOnClose, sizeof(deleteOnClose));
    if (standing_) held_.reset();
    return;
  }
  // Where the tool may not make it (a read-only medium), a look must do.
  standing_ = Stands(path_);
}

std::wstring LoaderFileBesideProgram() {
  const std::wstring program = ModulePath(nullptr);
  if (program.empty()) return {};
  if (Stands(program + L".config")) return program + L".config";
  // Windows reads a manifest beside a program that has one of its own only
  // where told to prefer it; elsewhere the file changes nothing.
  if (ExternalManifestPreferred() && Stands(program + L".manifest")) {
    return program + L".manifest";
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
