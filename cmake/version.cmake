# Run at every build (cmake -P): writes OUTPUT, a header with the version
# from git, only when it changed, so that a new commit restamps the program
# and its resource library without a new configure.
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/version.sh
  OUTPUT_VARIABLE text OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/version.sh --numbers
  OUTPUT_VARIABLE numbers OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(header "#define VORN_VERSION_TEXT \"${text}\"\n#define VORN_VERSION_NUMBERS ${numbers}\n")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
endif()
if(NOT old STREQUAL header)
  file(WRITE ${OUTPUT} "${header}")
endif()
