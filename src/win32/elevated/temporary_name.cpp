#include "win32/elevated/temporary_name.h"

#include "win32/elevated/elevated.h"
#include "win32/library_function.h"

namespace vorn {
namespace {

TemporarySuffixSource g_source = nullptr;

using GenRandomFunction = LONG(WINAPI*)(void*, UCHAR*, ULONG, ULONG);
constexpr ULONG kUseSystemPreferredRng = 0x00000002;  // BCRYPT_USE_SYSTEM_PREFERRED_RNG

// bcrypt is not one of Windows' known DLLs: imported, a copy planted in the
// game folder would be loaded before any code of the tool runs. Loaded here
// from the system folder instead, once.
GenRandomFunction GenRandom() {
  static const GenRandomFunction genRandom = [] {
    return LibraryFunction<GenRandomFunction>(LoadSystemLibrary(L"bcrypt.dll"), "BCryptGenRandom");
  }();
  return genRandom;
}

}  // namespace

bool RandomTemporarySuffix(std::wstring& suffix, DWORD& error) {
  unsigned char bytes[8];
  const GenRandomFunction genRandom = GenRandom();
  if (!genRandom) {
    error = ERROR_MOD_NOT_FOUND;
    return false;
  }
  if (genRandom(nullptr, bytes, sizeof(bytes), kUseSystemPreferredRng) < 0) {
    error = ERROR_GEN_FAILURE;
    return false;
  }
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  suffix = L".";
  for (unsigned char b : bytes) {
    suffix += kHex[b >> 4];
    suffix += kHex[b & 15];
  }
  suffix += L".tmp";
  return true;
}

void SetTemporarySuffixSourceForTesting(TemporarySuffixSource source) { g_source = source; }

TemporarySuffixSource CurrentTemporarySuffixSource() {
  return g_source ? g_source : &RandomTemporarySuffix;
}

}  // namespace vorn
