// Values the elevated tool reads from Windows' settings, each in the registry
// view named: a 32-bit program is otherwise shown WOW64's copy of
// HKLM\SOFTWARE, not what Windows and the 64-bit Explorer read and write.
#include <windows.h>

#include <cwchar>
#include <string>

#include "win32/elevated/elevated.h"

namespace vorn {
namespace {

class ScopedKey {
 public:
  ScopedKey(HKEY root, const std::wstring& path, REGSAM view) {
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~ScopedKey() {
    if (key_) RegCloseKey(key_);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

bool RegistryDword(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view,
                   DWORD& value) {
  const ScopedKey key(root, path, view);
  DWORD size = sizeof(value);
  return key.get() && RegGetValueW(key.get(), nullptr, name, RRF_RT_REG_DWORD, nullptr, &value,
                                   &size) == ERROR_SUCCESS;
}

bool RegistryString(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view,
                    std::wstring& value) {
  const ScopedKey key(root, path, view);
  DWORD size = 0;
  if (!key.get() || RegGetValueW(key.get(), nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr,
                                 &size) != ERROR_SUCCESS) {
    return false;
  }
  value.assign(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(key.get(), nullptr, name, RRF_RT_REG_SZ, nullptr, &value[0], &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  value.resize(wcslen(value.c_str()));
  return true;
}

}  // namespace vorn
