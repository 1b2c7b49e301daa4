// The owner and access list of a file being replaced, carried over to the
// file that replaces it: the game, which runs as the player, can do with the
// new Vorn.cfg whatever it could with the old one.
#pragma once

#include <windows.h>

namespace vorn {

class FileSecurity {
 public:
  FileSecurity() = default;
  FileSecurity(const FileSecurity&) = delete;
  FileSecurity& operator=(const FileSecurity&) = delete;
  ~FileSecurity();

  // Reads owner and DACL on the checked handle (READ_CONTROL).
  void ReadFrom(HANDLE file);
  // Best effort, on a handle with WRITE_OWNER and WRITE_DAC: a file whose
  // security cannot be set is saved all the same. Where the owner cannot be
  // set, the DACL is given as it stands, protected, so that no entry the
  // folder passes on (CREATOR OWNER) is made for the administrator instead.
  void ApplyTo(HANDLE file) const;

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  PSID owner_ = nullptr;
  PACL dacl_ = nullptr;
};

}  // namespace vorn
