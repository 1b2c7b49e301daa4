// The settings under which Windows virtualizes no program at all, or not a
// given one, whatever its file says ("How User Account Control works":
// virtualization does not apply to elevated programs, nor where UAC is off).
// Read from the 64-bit view: Windows and the 64-bit Explorer, whose
// Compatibility tab writes the layers, use that one, and a 32-bit program
// would otherwise be shown WOW64's copy of HKLM\SOFTWARE. The flag changes
// nothing on 32-bit Windows and for keys WOW64 shares.
#include <windows.h>

#include <algorithm>
#include <string>

#include "win32/elevated/elevated.h"

namespace vorn {
namespace {

constexpr wchar_t kSystemPolicies[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr wchar_t kLayers[] = L"\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";

// A policy switched off by a DWORD of 0; absent, it is on.
bool PolicyOn(const wchar_t* name) {
  DWORD value = 1;
  return !RegistryDword(HKEY_LOCAL_MACHINE, kSystemPolicies, name, KEY_WOW64_64KEY, value) ||
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

bool VirtualizationEnabled() { return PolicyOn(L"EnableLUA") && PolicyOn(L"EnableVirtualization"); }

bool SetToRunAsAdministrator(HKEY root, const std::wstring& software, const std::wstring& program) {
  std::wstring layers;
  return RegistryString(root, software + kLayers, program.c_str(), KEY_WOW64_64KEY, layers) &&
         HoldsRunAsAdministrator(layers);
}

}  // namespace vorn
