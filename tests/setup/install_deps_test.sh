#!/usr/bin/env bash
# scripts/install-deps.sh against a mirror caught mid-sync, with apt-get,
# dpkg, dpkg-query and id stubbed on PATH and nothing installed: one index
# fails every update, and the plain install cannot resolve.
set -uo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
stub() { printf '#!/usr/bin/env bash\n%s\n' "$2" >"$work/bin/$1"; chmod +x "$work/bin/$1"; }
stub dpkg-query 'exit 1'
stub dpkg 'echo "dpkg $*" >>"$STUB_LOG"'
stub id 'echo 0'
stub apt-get '
echo "apt-get $*" >>"$STUB_LOG"
case " $* " in
  *" update "*)
    echo "E: Failed to fetch http://mirror/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 127.0.0.1 80]" >&2
    exit 100 ;;
  *" -t bookworm "*) [ "$STUB_TARGET_INSTALL" = resolves ] && exit 0 ;;
esac
echo "E: Unable to correct problems, you have held broken packages." >&2
exit 100'
printf 'PRETTY_NAME="Debian GNU/Linux 12 (bookworm)"\nVERSION_CODENAME=bookworm\n' >"$work/os-release"

passed=0 failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAIL: $1"; echo "--- stderr:"; cat "$work/err"; echo "--- apt-get calls:"; cat "$work/log"
  fi
}
run() {
  : >"$work/log"
  PATH="$work/bin:$PATH" STUB_LOG="$work/log" STUB_TARGET_INSTALL=$1 VORN_OS_RELEASE="$work/os-release" \
    VORN_APT_UPDATE_WAIT=0 scripts/install-deps.sh >"$work/out" 2>"$work/err"
}

run resolves; status=$?
check "an install from the release's suite ends in success (exit $status)" '[ $status -eq 0 ]'
check "the update is tried three times" '[ "$(grep -c "apt-get update" "$work/log")" -eq 3 ]'
check "the failed index is named" 'grep -q "binary-i386/Packages.xz" "$work/err"'
check "the plain install comes first, then one with the target release" \
  '[ "$(grep "apt-get install" "$work/log" | sed "s/ --no-install-recommends.*//")" = "$(printf "apt-get install -y -qq\napt-get install -y -qq")" ] &&
   grep "apt-get install" "$work/log" | tail -n 1 | grep -q -- "-t bookworm"'
check "the retry says what it does" 'grep -q "bookworm as the target release" "$work/err"'
check "i386 is added for the wine32 packages" 'grep -q "dpkg --add-architecture i386" "$work/log"'

run fails; status=$?
check "an install that fails every way ends non-zero (exit $status)" '[ $status -ne 0 ]'
check "the message names what failed and what to try" \
  'grep -q "Could not install: .*wine32:i386" "$work/err" && grep -q "run this again later" "$work/err"'

echo "install-deps: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
