# A 64-bit build of the same sources, for running the Wine tests on hosts
# whose kernel cannot start 32-bit programs (so 32-bit Wine cannot run).
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
