// Opening a name in the game folder as administrator. The folder may be
// writable by every player, so a name there can be a planted symbolic link,
// junction or hard link to a file the player may not touch. A file is used
// only when, on the handle just opened, it is the name itself: its final
// path is the current folder's joined with the name (a link or junction on
// the way resolves elsewhere), it has one name, and it is not a folder.
#pragma once

#include <windows.h>

#include <string>

#include "config/file_ops.h"
#include "win32/scoped_handle.h"

namespace vorn {

enum class PlainOpen { kPlain, kLinked, kCannotOpen };

// Opens `relative`, a path below the current folder ("Vorn.cfg",
// "rscdll\VornOptionKR.dll"), with the given access and sharing, and checks
// it. Reparse points are followed as Windows follows them: a file that
// Windows keeps compressed, deduplicated or in the cloud gives its content.
// On kLinked `link` says where the name leads or how many names the file
// has; kCannotOpen is a missing, unreadable or folder name.
PlainOpen OpenPlainFile(const std::wstring& relative, DWORD access, DWORD share, ScopedHandle& file,
                        LinkedFile& link);

// Whether the file behind `file` is still the one name `relative` (a hard
// link may be added to an open file).
bool HasOneName(HANDLE file, LinkedFile& link);

// The path Windows resolves an open handle to, "\\?\" prefix and all; empty
// when it cannot be had.
std::wstring FinalPath(HANDLE handle);

// "C:\Games\Vorn.cfg" for "\\?\C:\Games\Vorn.cfg", "\\server\share\..." for
// "\\?\UNC\server\share\...": the form a player reads.
std::wstring DisplayPath(const std::wstring& finalPath);

}  // namespace vorn
