// The settings under which Windows virtualizes no program at all, or not a
// given one, whatever its file says ("How User Account Control works":
// virtualization does not apply to elevated programs, nor where UAC is off).
// Read from the 64-bit view: Windows and the 64-bit Explorer, whose
// Compatibility tab writes the layers, use that one, and a 32-bit program
// would otherwise be shown WOW64's copy of HKLM\SOFTWARE. The flag changes
// nothing on 32-bit Windows and for keys WOW64 shares.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "win32/elevated/elevated.h"

namespace vorn {
namespace {

constexpr REGSAM kQuery = KEY_QUERY_VALUE | KEY_WOW64_64KEY;
constexpr wchar_t kSystemPolicies[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr wchar_t kLayers[] = L"\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";

class ScopedKey {
 public:
  ScopedKey(HKEY root, const std::wstring& path) {
    if (RegOpenKeyExW(root, path.c_str(), 0, kQuery, &key_) != ERROR_SUCCESS) key_ = nullptr;
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

// A policy switched off by a DWORD of 0; absent, it is on.
bool PolicyOn(HKEY policies, const wchar_t* name) {
  DWORD value = 1, size = sizeof(value);
  return !policies ||
         RegGetValueW(policies, nullptr, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
             ERROR_SUCCESS ||
         value != 0;
}

// Whether a layers value ("~ RUNASADMIN WIN7RTM") holds the token that runs a
// program as administrator; tokens are separated by spaces.
bool HoldsRunAsAdministrator(const std::wstring& layers) {
  constexpr wchar_t kToken[] = L"RUNASADMIN";
  for (std::size_t begin = 0; begin < layers.size();) {
    const std::size_t end = std::min(layers.find(L' ', begin), layers.size());
    if (CompareStringOrdinal(layers.c_str() + begin, static_cast<int>(end - begin), kToken, -1,
                             TRUE) == CSTR_EQUAL) {
      return true;
    }
    begin = end + 1;
  }
  return false;
}

}  // namespace

bool VirtualizationEnabled() {
  const ScopedKey policies(HKEY_LOCAL_MACHINE, kSystemPolicies);
  return PolicyOn(policies.get(), L"EnableLUA") &&
         PolicyOn(policies.get(), L"EnableVirtualization");
}

bool SetToRunAsAdministrator(HKEY root, const std::wstring& software, const std::wstring& program) {
  const ScopedKey layers(root, software + kLayers);
  DWORD size = 0;
  if (!layers.get() || RegGetValueW(layers.get(), nullptr, program.c_str(), RRF_RT_REG_SZ, nullptr,
                                    nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(layers.get(), nullptr, program.c_str(), RRF_RT_REG_SZ, nullptr, &value[0],
                   &size) != ERROR_SUCCESS) {
    return false;
  }
  value.resize(wcslen(value.c_str()));
  return HoldsRunAsAdministrator(value);
}

}  // namespace vorn
