#!/usr/bin/env bash
# Builds the release packages twice, here and from a copy of the tree in
# another folder under another umask and time zone, and fails unless every
# program, resource library and zip is byte for byte the same, and unless the
# six programs share all but their region's row and resources. The copy takes
# the tree as it stands, uncommitted changes and git's records included, so
# both name one version. Then signs both with a throwaway certificate: the
# signatures verify, and the signed packages are the same bytes too.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t first < <(scripts/dist.sh build/win32 build/dist 2>/dev/null)

copy=build/repro/tree
rm -rf --one-file-system build/repro
mkdir -p "$copy"
{ git ls-files -z --cached --others --exclude-standard; printf '.git\0'; } |
  tar --null -T - -cf - | tar -xf - -C "$copy"
mapfile -t second < <(cd "$copy" && umask 002 && TZ=Asia/Seoul scripts/dist.sh build/win32 ../dist 2>/dev/null)

status=0
same() {  # label, file, file
  local a b
  a=$(sha256sum < "$2" | cut -d' ' -f1)
  b=$(sha256sum < "$3" | cut -d' ' -f1)
  echo "$1: $a"
  [ "$a" = "$b" ] || { echo "  $1 differs between the two builds ($b)"; status=1; }
}
[ ${#first[@]} -eq 6 ] && [ ${#second[@]} -eq 6 ] || { echo "expected six packages from each build"; exit 1; }
for i in "${!first[@]}"; do
  [ "$(basename "${first[$i]}")" = "$(basename "${second[$i]}")" ] ||
    { echo "  the two name different versions"; status=1; }
  # The program and library as packed, then the whole zip.
  stage=${first[$i]%.zip}
  for file in "$stage"/VornOption.exe "$stage"/rscdll/*.dll; do
    same "${stage##*-}/${file#"$stage"/}" "$file" "${second[$i]%.zip}/${file#"$stage"/}"
  done
  same "$(basename "${first[$i]}")" "${first[$i]}" "${second[$i]}"
done

# The six programs are one program: every section but the region's row of
# the table (.rdata) and the resources in its language (.rsrc) is the same.
code() {  # program: its other sections' bytes, hashed
  local sections
  sections=$(i686-w64-mingw32-objdump -h "$1" |
    awk '$1 ~ /^[0-9]+$/ && $2 != ".rdata" && $2 != ".rsrc" {print "-j", $2}')
  # shellcheck disable=SC2086
  i686-w64-mingw32-objdump -s $sections "$1" | tail -n +4 | sha256sum | cut -d' ' -f1
}
shared=$(code "${first[0]%.zip}/VornOption.exe")
one=true
for package in "${first[@]:1}"; do
  stage=${package%.zip}
  [ "$(code "$stage/VornOption.exe")" = "$shared" ] ||
    { echo "  ${stage##*-}: its program differs from the others' beyond its region and resources"; one=false; status=1; }
done
$one && echo "The six programs differ only in their region's row and their resources."

# Signing, with a certificate made for this run only.
keys=build/sign-test
rm -rf "$keys" && mkdir -p "$keys"
head -c 24 /dev/urandom | base64 > "$keys/password"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$keys/key.pem" -out "$keys/cert.pem" -days 3650 \
  -subj "/CN=VornOption test signing" -addext extendedKeyUsage=codeSigning 2>/dev/null
openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/cert.pem" -out "$keys/sign.p12" \
  -passout "file:$keys/password"
export SIGN_PKCS12=$PWD/$keys/sign.p12 SIGN_PASSWORD_FILE=$PWD/$keys/password
export SIGN_URL=https://vorn.example/
mapfile -t signed < <(scripts/dist.sh build/win32 build/dist-signed)
mapfile -t signedCopy < <(cd "$copy" && umask 002 && TZ=Asia/Seoul scripts/dist.sh build/win32 ../dist-signed)
for i in "${!signed[@]}"; do
  same "signed $(basename "${signed[$i]}")" "${signed[$i]}" "${signedCopy[$i]}"
  unpacked=$keys/unpacked.$i
  mkdir -p "$unpacked" && unzip -q -o "${signed[$i]}" -d "$unpacked"
  for file in "$unpacked"/VornOption.exe "$unpacked"/rscdll/*.dll; do
    osslsigncode verify -CAfile "$keys/cert.pem" -in "$file" > "$file.verify" 2>&1 ||
      { echo "  $file: the signature does not verify"; cat "$file.verify"; status=1; }
    # What the administrator prompt shows as the program's name, and where it leads.
    grep -q "Text description: VornOption$" "$file.verify" && grep -q "URL description: $SIGN_URL$" "$file.verify" ||
      { echo "  $file: the signature does not name VornOption and $SIGN_URL"; status=1; }
  done
done
echo "osslsigncode verify of $(basename "${signed[0]}")'s program:"
sed 's/^/  /' "$keys/unpacked.0/VornOption.exe.verify"
[ $status -eq 0 ] && echo "Every package builds to the same bytes from another folder, unsigned and signed."
exit $status
