// The error boxes the tool adds to its fixed start-up ones. Their texts come
// from the resource library, so that the player reads them in the game's
// language; a library without them (an older one) gets English texts.
#pragma once

#include <windows.h>

#include <string>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "config/file_ops.h"

namespace vorn {

// A configuration file's full path: in the folder the player started the
// tool in (or, before that is known, as Windows resolves it from the current
// folder), the relative path itself when it cannot be resolved; or, for a
// file in a folder of the player's given whole, that folder and the path
// below it.
std::wstring FullPath(const FilePlace& place);

// What failed, the file, the system's reason, and what to try.
std::wstring SaveFailedMessage(HINSTANCE resources, const std::wstring& path, DWORD error);
std::wstring TooLargeMessage(HINSTANCE resources, const std::wstring& path);
// That the file exists but cannot be read, why, and the advice for that
// reason: close the program that holds it, remove a folder in its place, ...
std::wstring UnreadableMessage(HINSTANCE resources, const std::wstring& path, DWORD error);
// That the save failed because the file could not be read again at OK, why,
// and the advice for that reason, ending in pressing OK again.
std::wstring RereadFailedMessage(HINSTANCE resources, const std::wstring& path, DWORD error);
// That the settings were saved but the copy Windows keeps for the game
// client (`path`), which the client reads instead, could not be deleted:
// why, and what to do.
std::wstring CopyLeftMessage(HINSTANCE resources, const std::wstring& path, DWORD error);
// That the player's account cannot be told, so the copies Windows may keep
// for the game client are neither looked for nor touched, and what to do.
std::wstring PlayerUnknownMessage(HINSTANCE resources);
// The message for a save that did not happen, or left the client's copy.
std::wstring SaveResultMessage(HINSTANCE resources, const SaveResult& saved);
// That the file is a link or has several names, where it leads or how many
// names it has, and that a plain copy should stand there. Never its content.
std::wstring LinkedMessage(HINSTANCE resources, const std::wstring& path, const LinkedFile& link);

// The message for a configuration file that was found but not read
// (kUnreadable, kTooLarge or kLinked).
std::wstring NotReadMessage(HINSTANCE resources, const std::wstring& path, ReadResult result,
                            const FileFound& found);

// That Direct3D 9 cannot be started, so the card cannot be checked, and to
// install DirectX 9 and the card's driver.
std::wstring NoDirect3DMessage(HINSTANCE resources);
// That the card's driver did not answer, so the card cannot be checked, and
// to restart the computer or update the driver.
std::wstring SilentCardMessage(HINSTANCE resources);
// That the card's driver stopped working while the card was checked, so the
// card cannot be checked, and to update the driver.
std::wstring CrashedCardMessage(HINSTANCE resources);

// A text of the program's own string table (IDS_NO_RESOURCE_LIBRARY to
// IDS_SEARCH_UPDATE_MISSING), in the region's language without the resource
// library, with `path` in place of "{path}"; short English when absent.
std::wstring ProgramMessage(UINT id, const std::wstring& path = std::wstring());

// An error box captioned "Vorn".
void ShowError(HWND owner, const std::wstring& text);

}  // namespace vorn
