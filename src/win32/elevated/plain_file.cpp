#include "win32/elevated/plain_file.h"

#include <winioctl.h>

#include <algorithm>
#include <cstring>

#include "win32/elevated/relative_open.h"
#include "win32/library_function.h"
#include "win32/text_encoder.h"

namespace vorn {
namespace {

// No server reached through the game folder may act as the administrator.
constexpr DWORD kNoServerImpersonation = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;
// Every part is looked at before anything behind it is used: attributes,
// reparse tag and identity all need this right on Windows, which NtCreateFile,
// unlike CreateFileW, does not add by itself.
constexpr DWORD kLookAt = FILE_READ_ATTRIBUTES;
// Folders on the way are held for listing, which takes part in sharing, and
// without FILE_SHARE_DELETE: no one can rename or delete them meanwhile.
constexpr DWORD kFolderAccess = FILE_LIST_DIRECTORY;
constexpr DWORD kFolderShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

FinalPathQuery g_finalPathQuery = nullptr;
FileInformationQuery g_informationQuery = nullptr;

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

FileInformationQuery InformationQuery() {
  return g_informationQuery ? g_informationQuery : &GetFileInformationByHandleEx;
}

// A drive's root ends in a backslash already ("\\?\C:\").
std::wstring Below(const std::wstring& folder, const std::wstring& relative) {
  return folder.back() == L'\\' ? folder + relative : folder + L"\\" + relative;
}

std::string Utf8(const std::wstring& text) { return Win32TextEncoder().Encode(text, CP_UTF8); }

// What a symbolic link or junction names, read from the link itself
// (REPARSE_DATA_BUFFER); empty for other tags or a damaged buffer.
std::wstring LinkTarget(HANDLE link) {
  std::vector<BYTE> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
  DWORD got = 0;
  if (!DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                       static_cast<DWORD>(buffer.size()), &got, nullptr)) {
    return {};
  }
  struct Header {
    DWORD tag;
    WORD dataLength, reserved;
    WORD substituteOffset, substituteLength, printOffset, printLength;
  } header;
  if (got < sizeof(header)) return {};
  std::memcpy(&header, buffer.data(), sizeof(header));
  std::size_t names = sizeof(header);
  if (header.tag == IO_REPARSE_TAG_SYMLINK) {
    names += sizeof(ULONG);  // its flags
  } else if (header.tag != IO_REPARSE_TAG_MOUNT_POINT) {
    return {};
  }
  const bool printed = header.printLength > 0;
  const std::size_t offset = names + (printed ? header.printOffset : header.substituteOffset);
  const std::size_t length = printed ? header.printLength : header.substituteLength;
  if (offset + length > got) return {};
  std::wstring target(length / sizeof(wchar_t), L'\0');
  std::memcpy(&target[0], buffer.data() + offset, target.size() * sizeof(wchar_t));
  return target;
}

// A link: a reparse point whose tag says it names another file, or one
// without a tag, as Wine shows its symbolic links to folders.
bool IsLink(DWORD attributes, DWORD tag) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         (IsReparseTagNameSurrogate(tag) || tag == 0);
}

// The attributes first, and the tag only for a reparse point: the FAT file
// systems (a game on an exFAT card or USB drive) cannot give a tag.
bool QueryAttributes(HANDLE handle, DWORD& attributes, DWORD& tag, DWORD& error) {
  FILE_BASIC_INFO basic = {};
  if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof(basic))) {
    error = GetLastError();
    return false;
  }
  attributes = basic.FileAttributes;
  tag = 0;
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
  FILE_ATTRIBUTE_TAG_INFO info = {};
  if (!InformationQuery()(handle, FileAttributeTagInfo, &info, sizeof(info))) {
    error = GetLastError();
    return false;
  }
  tag = info.ReparseTag;
  return true;
}

// Opens one part of a path inside the folder before it, without following
// it. A link is refused, seen in the folder's listing before anything is
// opened and again on the handle; a reparse point of another kind is opened
// again for its content, which must be the same file.
PlainOpen OpenPart(HANDLE parent, const std::wstring& name, DWORD access, DWORD share, bool folder,
                   ScopedHandle& handle, PlainFile& opened) {
  DWORD attributes = 0, tag = 0;
  if (ListedInFolder(parent, name, attributes, tag) && IsLink(attributes, tag)) {
    return PlainOpen::kLinked;
  }
  DWORD error = 0;
  access |= kLookAt;
  handle.reset(OpenInFolder(parent, name, access, share, folder, false, error));
  if (!handle || !QueryAttributes(handle.get(), attributes, tag, error)) {
    opened.error = error;
    return IsMissing(error) ? PlainOpen::kMissing : PlainOpen::kCannotOpen;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    if (IsLink(attributes, tag)) {
      opened.link.leadsTo = Utf8(LinkTarget(handle.get()));
      return PlainOpen::kLinked;
    }
    BY_HANDLE_FILE_INFORMATION point = {}, content = {};
    ScopedHandle followed(OpenInFolder(parent, name, access, share, folder, true, error));
    if (!followed || !GetFileInformationByHandle(handle.get(), &point) ||
        !GetFileInformationByHandle(followed.get(), &content)) {
      opened.error = followed ? GetLastError() : error;
      return PlainOpen::kCannotOpen;
    }
    if (!VersionOf(handle.get(), point).SameFileAs(VersionOf(followed.get(), content))) {
      opened.link.leadsTo = Utf8(DisplayPath(FinalPath(followed.get())));
      return PlainOpen::kLinked;
    }
    handle = std::move(followed);
  }
  if (((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder) {
    // A file where a folder was asked for, or a folder where a file was: the
    // player is told to move it, and no retry waits for it.
    opened.error = ERROR_DIRECTORY;
    return PlainOpen::kCannotOpen;
  }
  return PlainOpen::kPlain;
}

// The path of an open file on its volume, without the volume.
std::wstring NameOnVolume(HANDLE handle) {
  std::vector<BYTE> buffer(sizeof(FILE_NAME_INFO) + 32768 * sizeof(wchar_t));
  auto* name = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
  if (!GetFileInformationByHandleEx(handle, FileNameInfo, name,
                                    static_cast<DWORD>(buffer.size()))) {
    return {};
  }
  return std::wstring(name->FileName, name->FileNameLength / sizeof(wchar_t));
}

// The second check, on the opened handles: the file is where the name says.
// The DOS form of both paths is compared where the volume has one, else the
// NT form, else the paths on the volume (a RAM disk or file system the mount
// manager does not know, an SMB server without normalized names), taken of
// the folder the file was opened in, which is on the same volume by then.
PlainOpen CheckWhereItIs(HANDLE here, HANDLE parent, const std::wstring& relative,
                         PlainFile& opened) {
  for (DWORD volume : {VOLUME_NAME_DOS, VOLUME_NAME_NT}) {
    const std::wstring folder = FinalPath(here, volume),
                       final = FinalPath(opened.file.get(), volume);
    if (folder.empty() || final.empty()) continue;
    if (SamePath(final, Below(folder, relative))) return PlainOpen::kPlain;
    opened.link.leadsTo = Utf8(DisplayPath(final));
    return PlainOpen::kLinked;
  }
  const std::wstring folder = NameOnVolume(parent), final = NameOnVolume(opened.file.get());
  if (folder.empty() || final.empty()) {
    opened.error = GetLastError();
    return PlainOpen::kCannotOpen;
  }
  if (SamePath(final, Below(folder, NameOf(relative)))) return PlainOpen::kPlain;
  opened.link.leadsTo = Utf8(final);
  return PlainOpen::kLinked;
}

}  // namespace

std::wstring FinalPath(HANDLE handle, DWORD volume) {
  const FinalPathQuery query = g_finalPathQuery ? g_finalPathQuery : &GetFinalPathNameByHandleW;
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        query(handle, &path[0], static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED | volume);
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length);  // too small: the answer counts the terminating zero
  }
}

void SetFinalPathQueryForTesting(FinalPathQuery query) { g_finalPathQuery = query; }

bool IsMappingOf(HMODULE library, HANDLE file) {
  using MappedNameQuery = DWORD(WINAPI*)(HANDLE, LPVOID, LPWSTR, DWORD);
  static const auto mappedName =
      LibraryFunction<MappedNameQuery>(GetModuleHandleW(L"kernel32.dll"), "K32GetMappedFileNameW");
  if (!mappedName) return false;
  // The handle of a library mapped as data is its view's address with the
  // low bits set (LDR_IS_DATAFILE, LDR_IS_IMAGEMAPPING).
  const auto view =
      reinterpret_cast<void*>(reinterpret_cast<ULONG_PTR>(library) & ~static_cast<ULONG_PTR>(3));
  std::wstring mapped(32768, L'\0');
  const DWORD length =
      mappedName(GetCurrentProcess(), view, &mapped[0], static_cast<DWORD>(mapped.size()));
  if (length == 0 || length >= mapped.size()) return false;
  mapped.resize(length);
  // Windows names the view by its device ("\Device\HarddiskVolume2\..."),
  // Wine by its drive ("\??\Z:\...").
  const std::wstring device = FinalPath(file, VOLUME_NAME_NT);
  const std::wstring drive = FinalPath(file, VOLUME_NAME_DOS);
  return (!device.empty() && SamePath(mapped, device)) ||
         (drive.compare(0, 4, L"\\\\?\\") == 0 && SamePath(mapped, L"\\??\\" + drive.substr(4)));
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring LongPathForm(const std::wstring& path) {
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path;
  if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return L"\\\\?\\" + path;
}

std::wstring DisplayPath(const std::wstring& finalPath) {
  if (finalPath.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + finalPath.substr(8);
  if (finalPath.compare(0, 4, L"\\\\?\\") == 0) return finalPath.substr(4);
  return finalPath;
}

FileVersion VersionOf(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info) {
  FileVersion version;
  version.volume = info.dwVolumeSerialNumber;
  version.index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  // Windows 8 and later, on volumes that keep such IDs.
  FileIdInformation id = {};
  if (InformationQuery()(file, kFileIdInfo, &id, sizeof(id))) {
    version.hasId128 = true;
    version.id128Volume = id.VolumeSerialNumber;
    std::memcpy(&version.id128Low, id.FileId, sizeof(version.id128Low));
    std::memcpy(&version.id128High, id.FileId + sizeof(version.id128Low),
                sizeof(version.id128High));
  }
  version.size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  version.lastWrite =
      (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
  version.names = info.nNumberOfLinks;
  return version;
}

PlainOpen OpenPlainFile(const std::wstring& relative, DWORD access, DWORD share, PlainFile& opened,
                        const std::wstring& root) {
  // The current folder is the game folder as EnterResolvedGameFolder found
  // it: it is followed, and everything below it is not.
  ScopedHandle here(CreateFileW(root.empty() ? L"." : root.c_str(), kFolderAccess | kLookAt,
                                kFolderShare | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | kNoServerImpersonation, nullptr));
  if (!here) {
    opened.error = GetLastError();
    // A folder of the player's that is not there holds no file either.
    return !root.empty() && IsMissing(opened.error) ? PlainOpen::kMissing : PlainOpen::kCannotOpen;
  }
  HANDLE parent = here.get();
  for (std::size_t begin = 0; begin <= relative.size();) {
    const std::size_t end = std::min(relative.find_first_of(L"\\/", begin), relative.size());
    const bool last = end == relative.size();
    ScopedHandle part(nullptr);
    const PlainOpen result =
        OpenPart(parent, relative.substr(begin, end - begin), last ? access : kFolderAccess,
                 last ? share : kFolderShare, !last, part, opened);
    if (result != PlainOpen::kPlain) return result;
    if (last) {
      opened.file = std::move(part);
      break;
    }
    opened.folders.push_back(std::move(part));
    parent = opened.folders.back().get();
    begin = end + 1;
  }
  if (!GetFileInformationByHandle(opened.file.get(), &opened.info)) {
    opened.error = GetLastError();
    return PlainOpen::kCannotOpen;
  }
  opened.version = VersionOf(opened.file.get(), opened.info);
  opened.link.names = opened.info.nNumberOfLinks;
  std::wstring normalized = relative;
  for (wchar_t& c : normalized) c = c == L'/' ? L'\\' : c;
  const PlainOpen where = CheckWhereItIs(here.get(), parent, normalized, opened);
  if (where != PlainOpen::kPlain) return where;
  return opened.info.nNumberOfLinks == 1 ? PlainOpen::kPlain : PlainOpen::kLinked;
}

void SetFileInformationQueryForTesting(FileInformationQuery query) { g_informationQuery = query; }

std::wstring NameOf(const std::wstring& relative) {
  const std::size_t slash = relative.find_last_of(L"\\/");
  return slash == std::wstring::npos ? relative : relative.substr(slash + 1);
}

}  // namespace vorn
