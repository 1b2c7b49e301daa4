// The program's load configuration. Windows 10 1607 and later read its
// DependentLoadFlags when they resolve the program's own imports, and take
// those from System32 only. It covers nothing that a system DLL loads by
// name later: that is why start-up limits the search itself first.
#include <windows.h>

#include <cstddef>

// The field Microsoft names DependentLoadFlags, at 0x36 (32-bit) or 0x4E
// (64-bit) in the PE format's load configuration layout.
#ifdef _WIN64
static_assert(offsetof(IMAGE_LOAD_CONFIG_DIRECTORY64, Reserved1) == 0x4E, "DependentLoadFlags");
#else
static_assert(offsetof(IMAGE_LOAD_CONFIG_DIRECTORY32, Reserved1) == 0x36, "DependentLoadFlags");
#endif

// In a section of its own, which scripts/set-load-config.sh points the
// image's load-configuration directory at after the link (GNU ld 2.40 does
// not use _load_config_used). The structure ends before the SEH handler
// table, which the program does not declare, so the loader treats its
// exception handlers as it would without a load configuration.
extern "C" __attribute__((section(".loadcfg"), used))
const IMAGE_LOAD_CONFIG_DIRECTORY vorn_load_config = {
    offsetof(IMAGE_LOAD_CONFIG_DIRECTORY, SEHandlerTable),  // Size
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    LOAD_LIBRARY_SEARCH_SYSTEM32,  // DependentLoadFlags
    0,
    0,
    0,
    0,
};
