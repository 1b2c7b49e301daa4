// Names for the new file of a save, beside the one it replaces.
#pragma once

#include <windows.h>

#include <string>

namespace vorn {

// ".<16 hex digits>.tmp" from the system's random source: no one can plant a
// link under the name beforehand. False, with the reason, when the source
// cannot be had.
bool RandomTemporarySuffix(std::wstring& suffix, DWORD& error);

// Tests give names of their own, to show that a name that already stands is
// never opened; null puts the random source back.
using TemporarySuffixSource = bool (*)(std::wstring& suffix, DWORD& error);
void SetTemporarySuffixSourceForTesting(TemporarySuffixSource source);
TemporarySuffixSource CurrentTemporarySuffixSource();

}  // namespace vorn
