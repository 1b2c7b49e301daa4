#include "win32/elevated/file_security.h"

#include <aclapi.h>

#include <vector>

#include "win32/scoped_handle.h"

namespace vorn {
namespace {

// A file's owner may be set to someone other than the caller only with
// SeRestorePrivilege, which an administrator's token holds but has not
// enabled: it is enabled for as long as this lives.
class EnabledPrivilege {
 public:
  explicit EnabledPrivilege(const wchar_t* name) : token_(nullptr) {
    HANDLE token = nullptr;
    TOKEN_PRIVILEGES wanted = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
      return;
    }
    token_.reset(token);
    DWORD size = 0;
    adjusted_ = LookupPrivilegeValueW(nullptr, name, &wanted.Privileges[0].Luid) &&
                AdjustTokenPrivileges(token, FALSE, &wanted, sizeof(previous_), &previous_, &size);
  }
  ~EnabledPrivilege() {
    if (adjusted_) AdjustTokenPrivileges(token_.get(), FALSE, &previous_, 0, nullptr, nullptr);
  }
  EnabledPrivilege(const EnabledPrivilege&) = delete;
  EnabledPrivilege& operator=(const EnabledPrivilege&) = delete;

 private:
  ScopedHandle token_;
  TOKEN_PRIVILEGES previous_ = {};
  bool adjusted_ = false;
};

// The list as it stands, every entry its own: nothing is taken from the
// folder any more.
std::vector<BYTE> AsExplicit(PACL dacl) {
  std::vector<BYTE> copy(dacl->AclSize);
  CopyMemory(copy.data(), dacl, dacl->AclSize);
  auto* list = reinterpret_cast<PACL>(copy.data());
  for (DWORD i = 0; i < list->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    if (GetAce(list, i, reinterpret_cast<void**>(&ace))) ace->AceFlags &= ~INHERITED_ACE;
  }
  return copy;
}

}  // namespace

FileSecurity::~FileSecurity() {
  if (descriptor_) LocalFree(descriptor_);
}

void FileSecurity::ReadFrom(HANDLE file) {
  if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                      &owner_, nullptr, &dacl_, nullptr, &descriptor_) != ERROR_SUCCESS) {
    descriptor_ = nullptr;
    owner_ = nullptr;
    dacl_ = nullptr;
  }
}

void FileSecurity::ApplyTo(HANDLE file) const {
  if (!descriptor_) return;
  bool ownerSet = false;
  if (owner_) {
    const EnabledPrivilege restore(SE_RESTORE_NAME);
    ownerSet = SetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, owner_, nullptr,
                               nullptr, nullptr) == ERROR_SUCCESS;
  }
  if (!dacl_) return;  // a null DACL: the new file keeps what it was given
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor_, &control, &revision);
  if (ownerSet && !(control & SE_DACL_PROTECTED)) {
    // The inherited entries are made again from the folder, for the owner.
    SetSecurityInfo(file, SE_FILE_OBJECT,
                    DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                    nullptr, dacl_, nullptr);
    return;
  }
  std::vector<BYTE> fixed = AsExplicit(dacl_);
  SetSecurityInfo(file, SE_FILE_OBJECT,
                  DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                  reinterpret_cast<PACL>(fixed.data()), nullptr);
}

}  // namespace vorn
