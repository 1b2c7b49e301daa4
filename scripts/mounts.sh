# Sourced: what is mounted at or below a folder, deepest first (from
# /proc/mounts, whose octal escapes are decoded).
mounts_below() {
  local folder
  folder=$(realpath -m "$1")
  awk '{print $2}' /proc/mounts | while read -r point; do
    point=$(printf '%b' "$point")
    if [[ $point == "$folder" || $point == "$folder"/* ]]; then echo "$point"; fi
  done | sort -r
}

# Deletes a folder only while nothing is mounted below it: deleting a root
# with the host's /dev bound into it would delete the host's device files.
remove_unmounted() {
  local held
  held=$(mounts_below "$1")
  if [ -n "$held" ]; then
    echo "Refusing to delete $1: still mounted below it:" >&2
    sed 's/^/  /' <<<"$held" >&2
    return 1
  fi
  rm -rf --one-file-system "$1"
}
