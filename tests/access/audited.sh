# Sourced by the Wine test runners. `audited COMMAND...` runs a Wine command
# with every file operation of the project's own processes checked against
# the access Windows documents for it (access_audit.cpp, rights.txt). The
# wineserver is one this run starts, so that the server's requests and the
# programs' file calls land in one stream; the command's own messages on
# standard error pass through. Answers the command's status, else the audit's.
# shellcheck shell=bash
vorn_access=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
vorn_access_audit=$vorn_access/../../build/native/tests/access_audit

audited() {
  wineserver -w 2>/dev/null
  { WINEDEBUG=-all,+server,+file "$@" 2>&1 1>&3 3>&- |
    "$vorn_access_audit" "$vorn_access/rights.txt"; } 3>&1
  local statuses=("${PIPESTATUS[@]}")
  [ "${statuses[0]}" -ne 0 ] && return "${statuses[0]}"
  return "${statuses[1]}"
}
