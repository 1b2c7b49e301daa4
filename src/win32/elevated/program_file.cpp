#include "win32/elevated/elevated.h"
#include "win32/elevated/plain_file.h"

namespace vorn {

bool HoldProgramFile(HeldProgramFile& held) {
  const std::wstring program = ModulePath(nullptr);
  if (program.empty()) return false;
  // Starting a program opens it for execution, which this sharing allows.
  held.file.reset(CreateFileW(program.c_str(), FILE_READ_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
                              nullptr));
  if (!held.file || !IsMappingOf(GetModuleHandleW(nullptr), held.file.get())) return false;
  // Where the volume gives no such path, the name it was started by.
  const std::wstring resolved = DisplayPath(FinalPath(held.file.get()));
  held.path = resolved.empty() || resolved.size() >= MAX_PATH ? program : resolved;
  return true;
}

}  // namespace vorn
