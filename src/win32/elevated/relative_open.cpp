#include "win32/elevated/relative_open.h"

#include <winternl.h>

#include <vector>

#include "win32/library_function.h"

namespace vorn {
namespace {

using NtCreateFileFunction = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES,
                                              PIO_STATUS_BLOCK, PLARGE_INTEGER, ULONG, ULONG, ULONG,
                                              ULONG, PVOID, ULONG);
using NtQueryDirectoryFileFunction = NTSTATUS(NTAPI*)(HANDLE, HANDLE, PVOID, PVOID,
                                                      PIO_STATUS_BLOCK, PVOID, ULONG, ULONG,
                                                      BOOLEAN, PUNICODE_STRING, BOOLEAN);
using StatusToErrorFunction = ULONG(NTAPI*)(NTSTATUS);

constexpr ULONG kFileBothDirectoryInformation = 3;

template <typename Function>
Function Ntdll(const char* name) {
  return LibraryFunction<Function>(GetModuleHandleW(L"ntdll.dll"), name);
}

DWORD ErrorOf(NTSTATUS status) {
  static const auto toError = Ntdll<StatusToErrorFunction>("RtlNtStatusToDosError");
  return toError ? toError(status) : ERROR_GEN_FAILURE;
}

UNICODE_STRING Counted(const std::wstring& name) {
  const auto bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  return {bytes, bytes, const_cast<PWSTR>(name.c_str())};
}

}  // namespace

HANDLE OpenInFolder(HANDLE folder, const std::wstring& name, DWORD access, DWORD share,
                    bool isFolder, bool follow, DWORD& error) {
  static const auto create = Ntdll<NtCreateFileFunction>("NtCreateFile");
  // One part of a short path: a longer name is no name the tool opens.
  if (!create || name.empty() || name.size() > MAX_PATH) {
    error = create ? ERROR_INVALID_NAME : ERROR_PROC_NOT_FOUND;
    return nullptr;
  }
  UNICODE_STRING counted = Counted(name);
  SECURITY_QUALITY_OF_SERVICE quality = {sizeof(quality), SecurityIdentification,
                                         SECURITY_STATIC_TRACKING, FALSE};
  OBJECT_ATTRIBUTES attributes = {};
  attributes.Length = sizeof(attributes);
  attributes.RootDirectory = folder;
  attributes.ObjectName = &counted;
  attributes.Attributes = OBJ_CASE_INSENSITIVE;
  attributes.SecurityQualityOfService = &quality;
  IO_STATUS_BLOCK io = {};
  HANDLE handle = nullptr;
  const ULONG options = (follow ? 0 : FILE_OPEN_REPARSE_POINT) | FILE_SYNCHRONOUS_IO_NONALERT |
                        (isFolder ? FILE_DIRECTORY_FILE : 0);
  const NTSTATUS status = create(&handle, access | SYNCHRONIZE, &attributes, &io, nullptr, 0, share,
                                 FILE_OPEN, options, nullptr, 0);
  if (status < 0) {
    error = ErrorOf(status);
    return nullptr;
  }
  return handle;
}

bool ListedInFolder(HANDLE folder, const std::wstring& name, DWORD& attributes, DWORD& tag) {
  static const auto query = Ntdll<NtQueryDirectoryFileFunction>("NtQueryDirectoryFile");
  if (!query || name.empty() || name.size() > MAX_PATH) return false;
  // Room for one entry with the longest name a folder holds.
  std::vector<BYTE> buffer(sizeof(FILE_BOTH_DIR_INFORMATION) + (MAX_PATH + 1) * sizeof(wchar_t));
  UNICODE_STRING mask = Counted(name);
  IO_STATUS_BLOCK io = {};
  if (query(folder, nullptr, nullptr, nullptr, &io, buffer.data(),
            static_cast<ULONG>(buffer.size()), kFileBothDirectoryInformation, TRUE, &mask,
            TRUE) < 0) {
    return false;
  }
  const auto* entry = reinterpret_cast<const FILE_BOTH_DIR_INFORMATION*>(buffer.data());
  attributes = entry->FileAttributes;
  // A reparse point's listing carries its tag where other entries give the
  // size of their extended attributes.
  tag = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? entry->EaSize : 0;
  return true;
}

}  // namespace vorn
