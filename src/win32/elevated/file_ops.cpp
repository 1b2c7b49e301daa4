// File operations on Windows, each on a handle checked by OpenPlainFile. The
// new file is made under a random name that cannot have been planted, marked
// to be deleted when closed, given the old file's owner and permissions,
// flushed, and renamed over the old one through its own handle, once it is
// known to be still the file read; a scanner or patcher holding the file
// for a moment is waited out.
#include "config/file_ops.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "win32/elevated/file_security.h"
#include "win32/elevated/plain_file.h"
#include "win32/scoped_handle.h"
#include "win32/elevated/temporary_name.h"
#include "win32/text_encoder.h"

namespace vorn {
namespace {

// A patcher or scanner holding the file is waited out this long, on every
// read and on the replace alike.
constexpr int kTries = 6;
constexpr DWORD kRetryDelayMs = 100;
constexpr int kTemporaryNameTries = 8;
// The most one ReadFile or WriteFile is asked for.
constexpr DWORD kLargestIo = DWORD{1} << 30;

// Failures another program causes for a moment, and only those: a folder in
// the file's place, a denied access, a drive or share gone, a name too long
// stay as they are however long one waits.
bool IsTransient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// The game folder's paths are ANSI texts ".\Vorn.cfg", widened as the A
// functions would, and taken below the current folder; a folder of the
// player's and the paths below it are UTF-8.
std::wstring Relative(const std::string& path, UINT codePage = CP_ACP) {
  std::wstring wide = Win32TextEncoder().Decode(path, codePage);
  while (wide.size() > 2 && wide[0] == L'.' && (wide[1] == L'\\' || wide[1] == L'/')) {
    wide.erase(0, 2);
  }
  return wide;
}

struct WidePlace {
  explicit WidePlace(const FilePlace& place)
      : root(Win32TextEncoder().Decode(place.root, CP_UTF8)),
        path(Relative(place.path, place.root.empty() ? CP_ACP : CP_UTF8)) {}
  std::wstring root, path;
};

PlainOpen OpenAt(const WidePlace& place, DWORD access, DWORD share, PlainFile& opened) {
  return OpenPlainFile(place.path, access, share, opened, place.root);
}

// Others may read and write a file the tool reads, as with fopen; none may
// rename or delete it while it is open, so the name stays the file checked.
constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
// The new file is written and flushed (FlushFileBuffers asks for
// GENERIC_WRITE), given an owner and permissions (the inherited ones are
// read first), and renamed or deleted by its handle.
constexpr DWORD kOpenToWriteNew = GENERIC_WRITE | WRITE_OWNER | WRITE_DAC | READ_CONTROL | DELETE;

FileInformationChange g_informationChange = nullptr;

bool ChangeInformation(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* info, DWORD size) {
  return (g_informationChange ? g_informationChange : &SetFileInformationByHandle)(file, kind, info,
                                                                                   size) != FALSE;
}

bool SetAttributes(HANDLE file, DWORD attributes) {
  FILE_BASIC_INFO info = {};  // times of 0 are left as they are
  info.FileAttributes = attributes;
  return ChangeInformation(file, FileBasicInfo, &info, sizeof(info));
}

// Marks the open file to be deleted once its last handle closes, or clears
// the mark. Set from the moment the new file is made, so that Windows removes
// it however the process ends (a crash, End task) before it is renamed into
// place; cleared only for the rename itself.
bool DeleteWhenClosed(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO disposition = {static_cast<BOOLEAN>(remove)};
  return ChangeInformation(file, FileDispositionInfo, &disposition, sizeof(disposition));
}

// Renames the open file within its own folder, replacing what stands there
// under that name only when asked to (a link planted there is replaced,
// never followed).
bool RenameByHandle(HANDLE file, const std::wstring& name, bool replace) {
  std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = replace;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
  CopyMemory(rename->FileName, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  return ChangeInformation(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size()));
}

// A new file beside `target`. CREATE_NEW never opens a name that exists, and
// with FILE_FLAG_OPEN_REPARSE_POINT never follows a dangling link: a name
// that stands already is passed over for another.
bool CreateTemporary(const std::wstring& target, ScopedHandle& fresh, DWORD& error) {
  const TemporarySuffixSource suffixes = CurrentTemporarySuffixSource();
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    std::wstring suffix;
    if (!suffixes(suffix, error)) return false;
    fresh.reset(CreateFileW((target + suffix).c_str(), kOpenToWriteNew, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT |
                                SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
                            nullptr));
    if (fresh) {
      DeleteWhenClosed(fresh.get(), true);
      return true;
    }
    error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

bool WriteAll(HANDLE file, const ByteSource& source, DWORD& error) {
  const bool wrote = source([file, &error](std::string_view bytes) {
    while (!bytes.empty()) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kLargestIo));
      DWORD written = 0;
      if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
        error = GetLastError();
        return false;
      }
      bytes.remove_prefix(written);
    }
    return true;
  });
  if (!wrote) return false;
  if (!FlushFileBuffers(file)) {
    error = GetLastError();
    return false;
  }
  return true;
}

// Opens what stands at `place` and says what was found, as a read would.
FileRead OpenFound(const WidePlace& place, DWORD access, PlainFile& opened, FileFound& found) {
  const PlainOpen result = OpenAt(place, access, kShareReadWrite, opened);
  found.exists = result != PlainOpen::kMissing;
  found.error = opened.error;
  found.link = opened.link;
  switch (result) {
    case PlainOpen::kMissing:
      return FileRead::kMissing;
    case PlainOpen::kCannotOpen:
      return FileRead::kUnreadable;
    case PlainOpen::kLinked:
      return FileRead::kLinked;
    case PlainOpen::kPlain:
      break;
  }
  found.version = opened.version;
  return FileRead::kRead;
}

FileRead ReadOnce(const WidePlace& place, std::size_t maxBytes, std::string& bytes,
                  FileFound& found, std::optional<std::string_view> same) {
  PlainFile opened;
  const FileRead result = OpenFound(place, kOpenToRead, opened, found);
  if (result != FileRead::kRead) return result;
  auto readSome = [&](char* into, std::size_t room) -> long long {
    DWORD got = 0;
    if (!ReadFile(opened.file.get(), into,
                  static_cast<DWORD>(std::min<std::size_t>(room, kLargestIo)), &got, nullptr)) {
      found.error = GetLastError();  // a byte range locked by another program
      return -1;
    }
    return got;
  };
  return ReadToEnd(readSome, found.version.size, maxBytes, bytes, same);
}

// Whether `name` is still the plain file `expected` found, as far as one
// look on a fresh handle tells.
bool StillAsFound(const std::wstring& name, const FileVersion& expected) {
  PlainFile now;
  return OpenPlainFile(name, kOpenToLookAt, kShareReadWrite, now) == PlainOpen::kPlain &&
         now.version == expected;
}

}  // namespace

void SetFileInformationChangeForTesting(FileInformationChange change) {
  g_informationChange = change;
}

const SystemError kOutOfMemory = ERROR_NOT_ENOUGH_MEMORY;
const SystemError kFileKeptChanging = ERROR_SHARING_VIOLATION;

FileRead ReadPlainFile(const FilePlace& place, std::size_t maxBytes, std::string& bytes,
                       FileFound& found, std::optional<std::string_view> same) {
  const WidePlace wide(place);
  for (int attempt = 1;; ++attempt) {
    found = FileFound();
    const FileRead read = ReadOnce(wide, maxBytes, bytes, found, same);
    if (read != FileRead::kUnreadable || !IsTransient(found.error) || attempt == kTries) {
      return read;
    }
    Sleep(kRetryDelayMs);
  }
}

FileReplace ReplacePlainFile(const std::string& path, const ByteSource& bytes,
                             const FileFound& expected, SystemError& error, LinkedFile& link) {
  const std::wstring target = Relative(path);
  DWORD failure = 0;

  // The old file, if one was read: it must be the name itself, and still the
  // file read. A read-only, hidden or system file refuses to be replaced, so
  // its attributes are cleared now and put back if the replacement does not
  // happen after all. Owner and permissions are read after that: Wine keeps
  // "read-only" in them.
  PlainFile old;
  FileSecurity security;
  if (expected.exists) {
    switch (OpenPlainFile(target, kOpenToReplace, kShareReadWrite, old)) {
      case PlainOpen::kMissing:
        return FileReplace::kChanged;
      case PlainOpen::kLinked:
        link = old.link;
        return FileReplace::kLinked;
      case PlainOpen::kCannotOpen:
        error = old.error;
        return FileReplace::kFailed;
      case PlainOpen::kPlain:
        break;
    }
    if (old.version != expected.version) return FileReplace::kChanged;
    SetAttributes(old.file.get(), FILE_ATTRIBUTE_NORMAL);
    security.ReadFrom(old.file.get());
  }
  const DWORD oldAttributes = old.info.dwFileAttributes;
  auto putBack = [&] {
    if (old.file) {
      SetAttributes(old.file.get(), oldAttributes);
      return;
    }
    PlainFile again;  // the same file, not one another program put there since
    if (expected.exists &&
        OpenPlainFile(target, kOpenToSetAttributes, kShareReadWrite, again) == PlainOpen::kPlain &&
        again.version.SameFileAs(expected.version)) {
      SetAttributes(again.file.get(), oldAttributes);
    }
  };

  ScopedHandle fresh(nullptr);
  if (!CreateTemporary(target, fresh, failure)) {
    error = failure;
    putBack();
    return FileReplace::kFailed;
  }
  security.ApplyTo(fresh.get());
  if (!WriteAll(fresh.get(), bytes, failure)) {
    error = failure;
    putBack();
    return FileReplace::kFailed;
  }

  // Looked at again on the handle held, just before the replace: written,
  // replaced or given another name since, it is read again first.
  BY_HANDLE_FILE_INFORMATION now = {};
  if (expected.exists && (!GetFileInformationByHandle(old.file.get(), &now) ||
                          VersionOf(old.file.get(), now) != expected.version)) {
    putBack();
    return FileReplace::kChanged;
  }
  // The rename cannot replace a file that is open, our own handle included.
  old.file.reset();
  bool changed = false;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    if (attempt > 0) {
      Sleep(kRetryDelayMs);
      // A program that held the file may have written it meanwhile.
      if (expected.exists && !StillAsFound(target, expected.version)) {
        changed = true;
        break;
      }
    }
    // Renamed while still marked, the new file would take the old one's
    // place and then go when closed.
    if (!DeleteWhenClosed(fresh.get(), false)) {
      error = GetLastError();
      break;
    }
    if (RenameByHandle(fresh.get(), NameOf(target), expected.exists)) {
      return FileReplace::kReplaced;
    }
    error = GetLastError();
    DeleteWhenClosed(fresh.get(), true);
    if (!expected.exists && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) {
      changed = true;  // a file appeared where there was none: read it first
      break;
    }
    // A file another program holds open refuses to be replaced with "access
    // denied", not with a sharing violation.
    if (!IsTransient(error) && error != ERROR_ACCESS_DENIED) break;
  }
  putBack();
  return changed ? FileReplace::kChanged : FileReplace::kFailed;
}

FileRead LookAtPlainFile(const FilePlace& place, FileFound& found) {
  found = FileFound();
  PlainFile opened;
  return OpenFound(WidePlace(place), kOpenToLookAt, opened, found);
}

FileRemove RemovePlainFile(const FilePlace& place, const FileVersion& expected, SystemError& error,
                           LinkedFile& link) {
  const WidePlace wide(place);
  for (int attempt = 1;; ++attempt) {
    PlainFile opened;
    switch (OpenAt(wide, kOpenToRemove, kShareReadWrite, opened)) {
      case PlainOpen::kMissing:
        return FileRemove::kRemoved;
      case PlainOpen::kLinked:
        link = opened.link;
        return FileRemove::kLinked;
      case PlainOpen::kCannotOpen:
        error = opened.error;
        break;
      case PlainOpen::kPlain:
        if (opened.version != expected) return FileRemove::kChanged;
        // A read-only file refuses to be deleted until its attribute is cleared.
        if (opened.info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
          SetAttributes(opened.file.get(), FILE_ATTRIBUTE_NORMAL);
        }
        if (DeleteWhenClosed(opened.file.get(), true)) return FileRemove::kRemoved;
        error = GetLastError();
        SetAttributes(opened.file.get(), opened.info.dwFileAttributes);
        break;
    }
    if (!IsTransient(error) || attempt == kTries) return FileRemove::kFailed;
    Sleep(kRetryDelayMs);
  }
}

}  // namespace vorn
