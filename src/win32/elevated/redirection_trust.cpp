#include "win32/elevated/elevated.h"

#include <windows.h>

#include "win32/library_function.h"

namespace vorn {

static_assert(ProcessRedirectionTrustPolicy == 16, "the policy's number in Windows' headers");

void EnforceRedirectionTrust() {
  using SetPolicyFunction = BOOL(WINAPI*)(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);
  const auto setPolicy = LibraryFunction<SetPolicyFunction>(GetModuleHandleW(L"kernel32.dll"),
                                                            "SetProcessMitigationPolicy");
  if (!setPolicy) return;
  PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY policy = {};
  policy.EnforceRedirectionTrust = 1;
  setPolicy(ProcessRedirectionTrustPolicy, &policy, sizeof(policy));
}

}  // namespace vorn
