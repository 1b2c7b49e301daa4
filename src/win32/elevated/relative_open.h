// Opening a name inside a folder that is already open, as NtCreateFile does
// with a root directory: the name is looked up in that folder alone, so no
// path is walked a second time and no part of it can be swapped for a
// junction in between. ntdll is always the system's own.
#pragma once

#include <windows.h>

#include <string>

namespace vorn {

// Opens `name` (one part, no separators) in `folder` with the given access
// and sharing: a reparse point itself, or with `follow` what it stands for.
// A server reached through it may only identify the tool, never act as it.
// Null with `error` set (as GetLastError would) when it cannot be opened.
HANDLE OpenInFolder(HANDLE folder, const std::wstring& name, DWORD access, DWORD share,
                    bool isFolder, bool follow, DWORD& error);

// What `folder`'s listing says of `name`: its attributes and, for a reparse
// point, its tag. False when the listing cannot be had or does not name it.
bool ListedInFolder(HANDLE folder, const std::wstring& name, DWORD& attributes, DWORD& tag);

}  // namespace vorn
