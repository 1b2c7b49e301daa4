#include <cstdio>

#include "win32/elevated/elevated.h"
#include "win32/elevated/plain_file.h"

namespace vorn {
namespace {

constexpr wchar_t kToolName[] = L"VornOption";
// How long a second start waits for the first tool, which may be starting at
// the same moment: to write its ID, then to show a window.
constexpr DWORD kFirstToolPatienceMs = 5000;

// The path Windows gives a process's image, the same however the program was
// started (a short name, a relative path); empty when it cannot be had.
std::wstring ImagePath(HANDLE process) {
  for (DWORD room = MAX_PATH; room <= 32768; room *= 2) {
    std::wstring path(room, L'\0');
    DWORD length = room;
    if (QueryFullProcessImageNameW(process, 0, &path[0], &length)) {
      path.resize(length);
      return path;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
  }
  return {};
}

// Security that lets only administrators in: a program without those rights
// can neither open the namespace to plant a name in it nor touch the claim.
class AdministratorsOnly {
 public:
  AdministratorsOnly() {
    DWORD size = sizeof(sid_);
    valid_ = CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid_, &size) &&
             InitializeAcl(reinterpret_cast<ACL*>(acl_), sizeof(acl_), ACL_REVISION) &&
             AddAccessAllowedAce(reinterpret_cast<ACL*>(acl_), ACL_REVISION, GENERIC_ALL, sid_) &&
             InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
             SetSecurityDescriptorDacl(&descriptor_, TRUE, reinterpret_cast<ACL*>(acl_), FALSE);
    attributes_ = {sizeof(attributes_), &descriptor_, FALSE};
  }
  bool Valid() const { return valid_; }
  PSID Sid() { return sid_; }
  SECURITY_ATTRIBUTES* Attributes() { return &attributes_; }

 private:
  BYTE sid_[SECURITY_MAX_SID_SIZE] = {};
  alignas(DWORD) BYTE acl_[sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE] = {};
  SECURITY_DESCRIPTOR descriptor_ = {};
  SECURITY_ATTRIBUTES attributes_ = {};
  bool valid_ = false;
};

// The private namespace of this program's tools, whose boundary names the
// Administrators group: only an elevated process can make it, so no one
// else can take its names first. Null where it cannot be had: Wine's
// CreateBoundaryDescriptorW answers null, and there the calls after it are
// missing altogether.
HANDLE OpenToolNamespace(const std::wstring& alias, AdministratorsOnly& security) {
  HANDLE boundary = CreateBoundaryDescriptorW(kToolName, 0);
  if (!boundary) return nullptr;
  HANDLE opened = nullptr;
  if (AddSIDToBoundaryDescriptor(&boundary, security.Sid())) {
    opened = CreatePrivateNamespaceW(security.Attributes(), boundary, alias.c_str());
    if (!opened && GetLastError() == ERROR_ALREADY_EXISTS) {
      opened = OpenPrivateNamespaceW(boundary, alias.c_str());
    }
  }
  DeleteBoundaryDescriptor(boundary);
  return opened;
}

// The claim's one value, the holder's process ID, written once by it.
volatile LONG* ClaimValue(HANDLE claim, void*& view) {
  view = MapViewOfFile(claim, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(LONG));
  return static_cast<volatile LONG*>(view);
}

struct WindowSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindToolWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

}  // namespace

std::wstring ToolClaimName(const std::wstring& programPath) {
  // Case-folded as the file system compares names, so that every way of
  // writing one program's path gives one name.
  std::wstring folded(programPath.size(), L'\0');
  LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, programPath.c_str(),
               static_cast<int>(programPath.size()), &folded[0], static_cast<int>(folded.size()));
  unsigned long long hash = 14695981039346656037ull;  // 64-bit FNV-1a
  for (const wchar_t unit : folded) {
    hash = (hash ^ static_cast<unsigned short>(unit)) * 1099511628211ull;
  }
  wchar_t name[40] = {};
  std::swprintf(name, ARRAYSIZE(name), L"%ls-%016llx", kToolName, hash);
  return name;
}

ToolClaim::ToolClaim() {
  const std::wstring program = ImagePath(GetCurrentProcess());
  AdministratorsOnly security;
  if (program.empty() || !security.Valid()) return;
  const std::wstring name = ToolClaimName(program);
  namespace_ = OpenToolNamespace(name, security);
  // Without the namespace, a name of the session's own, which anyone may make
  // first: TrustHolder passes such a claim by.
  const std::wstring objectName = namespace_ ? name + L"\\Running" : L"Local\\" + name;
  claim_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, security.Attributes(), PAGE_READWRITE, 0,
                                  sizeof(LONG), objectName.c_str()));
  const bool made = claim_ && GetLastError() != ERROR_ALREADY_EXISTS;
  void* view = nullptr;
  volatile LONG* holder = claim_ ? ClaimValue(claim_.get(), view) : nullptr;
  if (holder && made) {
    InterlockedExchange(holder, static_cast<LONG>(GetCurrentProcessId()));
  } else if (holder) {
    // Just made by a tool starting at the same moment: it writes its ID next.
    for (DWORD waited = 0; *holder == 0 && waited < kFirstToolPatienceMs; waited += 20) Sleep(20);
    TrustHolder(static_cast<DWORD>(*holder), program);
    claim_.reset();  // nothing of another's is kept
  }
  if (view) UnmapViewOfFile(view);
}

ToolClaim::~ToolClaim() {
  if (namespace_) ClosePrivateNamespace(namespace_, 0);
}

void ToolClaim::TrustHolder(DWORD process, const std::wstring& program) {
  // Only a running VornOption of this very program counts: anyone may make
  // the name outside the namespace and write any ID into it.
  ScopedHandle holder(
      process ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, process)
              : nullptr);
  if (holder && WaitForSingleObject(holder.get(), 0) == WAIT_TIMEOUT &&
      SamePath(ImagePath(holder.get()), program)) {
    holder_ = std::move(holder);
  }
}

void ToolClaim::BringHolderForward() const {
  WindowSearch search = {GetProcessId(holder_.get()), nullptr};
  for (DWORD waited = 0; waited < kFirstToolPatienceMs; waited += 50) {
    EnumWindows(&FindToolWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found || WaitForSingleObject(holder_.get(), 50) != WAIT_TIMEOUT) break;
  }
  if (!search.found) return;
  // Asynchronously, so that a busy tool cannot hold this start up. The player
  // has just started this one, which Windows lets set the foreground window;
  // a box open over the dialog comes forward with it.
  if (IsIconic(search.found)) ShowWindowAsync(search.found, SW_RESTORE);
  SetForegroundWindow(GetLastActivePopup(search.found));
}

}  // namespace vorn
