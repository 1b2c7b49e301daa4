// A function looked up in a loaded library at run time, for what older
// Windows lacks or what is never imported: null when the library or the
// function is not there.
#pragma once

#include <windows.h>

namespace vorn {

template <typename Function>
Function LibraryFunction(HMODULE library, const char* name) {
  return library
             ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)))
             : nullptr;
}

}  // namespace vorn
