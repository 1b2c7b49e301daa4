// Opening a name in the game folder as administrator. The folder may be
// writable by every player, so a name there can be a planted symbolic link,
// junction or hard link to a file the player may not touch, or a way to a
// server that would be sent the administrator's credentials. Each part of
// the name is opened inside the folder before it, without following it, and
// refused when it is a link; the opened file must then also resolve to the
// current folder joined with the name, have one name, and not be a folder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "config/file_ops.h"
#include "win32/scoped_handle.h"

namespace vorn {

enum class PlainOpen { kPlain, kMissing, kCannotOpen, kLinked };

// What a file below the game folder is opened for, each with the rights that
// its operations need on Windows (Wine checks few of them). OpenPlainFile
// adds FILE_READ_ATTRIBUTES to every part it opens, for the looks it takes
// itself: attributes, reparse tag, identity, size and time.
// To see whether it is still the file found.
constexpr DWORD kOpenToLookAt = 0;
// To read its bytes (or hold it while it is mapped): data access, which also
// takes part in sharing, so the caller's sharing keeps writers out.
constexpr DWORD kOpenToRead = FILE_READ_DATA;
// To replace it: its attributes cleared and put back, its owner and
// permissions read for the new file.
constexpr DWORD kOpenToReplace = FILE_WRITE_ATTRIBUTES | READ_CONTROL;
// To put its attributes back after a replace that did not happen.
constexpr DWORD kOpenToSetAttributes = FILE_WRITE_ATTRIBUTES;
// To delete it through its handle, a read-only one included.
constexpr DWORD kOpenToRemove = DELETE | FILE_WRITE_ATTRIBUTES;

// An open file below the current folder, with the folders on its way held
// open so that none of them can be renamed, deleted or replaced meanwhile.
struct PlainFile {
  ScopedHandle file{nullptr};
  std::vector<ScopedHandle> folders;
  BY_HANDLE_FILE_INFORMATION info = {};
  FileVersion version;  // which file it is and how it is now
  DWORD error = 0;      // why it is missing or cannot be opened
  LinkedFile link;      // where it leads or how many names it has, when linked
};

// The current folder, whatever its length; empty when it cannot be had.
std::wstring CurrentFolder();

// Opens `relative`, a path below the current folder ("Vorn.cfg",
// "rscdll\VornOptionKR.dll") or below `root`, a folder given whole, for one
// of the purposes above with the given sharing, and checks it. The current
// folder or `root` is followed, every part below it is not. A file that
// Windows keeps compressed, deduplicated or in the cloud (a reparse point
// that is no link) gives its content.
PlainOpen OpenPlainFile(const std::wstring& relative, DWORD access, DWORD share, PlainFile& opened,
                        const std::wstring& root = std::wstring());

// Windows 8's FileIdInfo query, which the headers give only to programs that
// need Windows 8: the tool runs on Windows 7 SP1 too, where it fails.
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdInformation {
  ULONGLONG VolumeSerialNumber;
  BYTE FileId[16];
};

// Which open file `file` is, and how it is now, from its information: by its
// volume's serial number and 64-bit index, and its 128-bit ID where the
// volume gives one (ReFS, as on Windows 11's Dev Drive, can give two files
// the same 64-bit index).
FileVersion VersionOf(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info);

// The path Windows resolves an open handle to, "\\?\" prefix and all, in the
// form `volume` asks for (VOLUME_NAME_DOS, VOLUME_NAME_NT); empty when it
// cannot be had.
std::wstring FinalPath(HANDLE handle, DWORD volume = VOLUME_NAME_DOS);

// Whether `library`, which the loader mapped as data from a path, is the
// file `file` holds: the loader resolves the path once more after a check.
bool IsMappingOf(HMODULE library, HANDLE file);

// "\\?\C:\Games\Vorn.cfg" for "C:\Games\Vorn.cfg", "\\?\UNC\server\share\..." for
// "\\server\share\...": a full path as Windows takes it without the length
// limit of MAX_PATH, and without changing it.
std::wstring LongPathForm(const std::wstring& path);

// Whether two paths name the same file by their letters, case aside.
bool SamePath(const std::wstring& a, const std::wstring& b);

// "C:\Games\Vorn.cfg" for "\\?\C:\Games\Vorn.cfg", "\\server\share\..." for
// "\\?\UNC\server\share\...": the form a player reads.
std::wstring DisplayPath(const std::wstring& finalPath);

// Tests replace how final paths are asked for, to show what is done on a
// volume that cannot give them; null puts Windows' own call back.
using FinalPathQuery = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
void SetFinalPathQueryForTesting(FinalPathQuery query);

// Tests replace how a reparse point's tag and a file's 128-bit ID are asked
// for (GetFileInformationByHandleEx), to show what is done on a file system
// that has no tags (FAT, exFAT) or whose IDs differ only in their upper half
// (ReFS); null puts Windows' own back.
using FileInformationQuery = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
void SetFileInformationQueryForTesting(FileInformationQuery query);

// Tests replace how the file operations set a file's information
// (SetFileInformationByHandle), to show what is done when Windows refuses a
// change; null puts Windows' own back.
using FileInformationChange = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
void SetFileInformationChangeForTesting(FileInformationChange change);

// "Vorn.cfg" for "rscdll\Vorn.cfg" or "rscdll/Vorn.cfg".
std::wstring NameOf(const std::wstring& relative);

}  // namespace vorn
