#!/usr/bin/env bash
# The access audit on two short traces of the same run: one whose handles
# lack what eleven of its operations need, one whose handles have it all.
# Wine's own programs are not audited, a handle of unknown access is counted,
# and the program's own lines pass through.
set -uo pipefail
audit=$1
here=$(cd "$(dirname "$0")" && pwd)
failed=0
expect() {  # what, expected, got
  [ "$2" = "$3" ] && return
  printf 'FAIL: %s\n  expected: %s\n  got:      %s\n' "$1" "$2" "$3"
  failed=1
}

refused=$("$audit" "$here/rights.txt" < "$here/refused.trace" 2>&1)
expect "exit status when refused" 1 $?
expect "summary" "access audit: 18 file operations checked in 2 processes, 1 on handles of unknown access, 11 that Windows would refuse" "$(tail -n 1 <<<"$refused")"
expect "the program's own line" "A line of the program's own" "$(head -n 1 <<<"$refused")"
expect "the folder opened for listing only" \
  'access: NtQueryInformationFile FileBasicInformation on "Z:\game\rscdll" (Z:\game\VornOption.exe), opened with FILE_LIST_DIRECTORY|SYNCHRONIZE, needs FILE_READ_ATTRIBUTES [ZwQueryInformationFile function (wdm.h), https://learn.microsoft.com/en-us/windows-hardware/drivers/ddi/wdm/nf-wdm-zwqueryinformationfile]' \
  "$(grep -F 'rscdll' <<<"$refused")"
refusal() { grep -F "access: $1" <<<"$refused" | grep -F -c "$2"; }
expect "the reopened handle's identity" 1 "$(refusal 'NtQueryInformationFile FileAllInformation on "Z:\game\Vorn.cfg"' 'needs FILE_READ_ATTRIBUTES')"
expect "its owner and DACL read" 2 "$(refusal 'NtQuerySecurityObject' 'needs READ_CONTROL')"
expect "a duplicate's owner and DACL set" 2 "$(refusal 'NtSetSecurityObject' '.tmp"')"
expect "a duplicate without DELETE renamed" 1 "$(refusal 'NtSetInformationFile FileRenameInformation' 'opened with FILE_READ_ATTRIBUTES, needs DELETE')"
expect "deleted on close without DELETE" 1 "$(refusal 'NtCreateFile FILE_DELETE_ON_CLOSE on "Z:\game\VornOption.exe.local"' 'needs DELETE')"
expect "a pipe's read end written" 1 "$(refusal 'NtWriteFile write on "pipe\Win32.Pipes' 'needs one of FILE_APPEND_DATA|FILE_WRITE_DATA')"
expect "its inherited write end read in the child" 1 "$(refusal 'NtReadFile read on "pipe\Win32.Pipes' 'needs FILE_READ_DATA')"
expect "a write on a handle the server told of" 1 "$(refusal 'NtWriteFile write on "handle 0010"' 'needs one of FILE_APPEND_DATA|FILE_WRITE_DATA')"

allowed=$("$audit" "$here/rights.txt" < "$here/allowed.trace" 2>&1)
expect "exit status when allowed" 0 $?
expect "summary when allowed" "access audit: 18 file operations checked in 2 processes, 1 on handles of unknown access, 0 that Windows would refuse" "$(tail -n 1 <<<"$allowed")"

[ $failed -eq 0 ] && echo "access audit: refuses what it must on both traces"
exit $failed
