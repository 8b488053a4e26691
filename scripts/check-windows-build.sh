#!/usr/bin/env bash
# Checks the Windows programs of a cross build with the cross tool chain's own
# tools: each must be a Windows GUI executable for the tool chain's machine,
# import DirectDrawCreate from DDRAW.dll and nothing but system libraries, ask
# for the published IDirectDraw4 identifier, and carry icon group 102 (with
# the images of resources/cube.ico), accelerator table 103 (Escape and Alt+X
# giving command 1001) and, in dice, bitmap 103 (dice/texture.bmp).
#
# Usage: scripts/check-windows-build.sh [BUILD_DIR [TRIPLET]]
#   BUILD_DIR defaults to build/windows, TRIPLET to x86_64-w64-mingw32.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/windows}
triplet=${2:-x86_64-w64-mingw32}

case $triplet in
  x86_64-*) format=pei-x86-64 ;;
  i686-*) format=pei-i386 ;;
  *) echo "FAIL: no known executable format for $triplet" >&2; exit 1 ;;
esac
objdump=$triplet-objdump
windres=$triplet-windres

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The DLLs that every Windows has; a runtime DLL of the compiler (libgcc,
# libstdc++, winpthread) would keep the program from starting elsewhere.
system_dlls=" ddraw.dll gdi32.dll kernel32.dll user32.dll msvcrt.dll "

# IDirectDraw4's identifier {9C59509A-39BD-11D1-8C4A-00C04FD930C5} as it lies
# in memory: the first three fields little-endian, the last eight bytes as they are.
iid_directdraw4=9a50599cbd39d1118c4a00c04fd930c5

# Accelerator flags and keys, as the resource stores them: each entry holds
# flags, key and command as 16-bit words, and the last entry's flags carry 0x80.
FVIRTKEY=0x01 FNOINVERT=0x02 FALT=0x10 LAST_ENTRY=0x80
VK_ESCAPE=0x1B VK_X=0x58 ID_CLOSE=1001

# load ARRAY FILE: the file's bytes, as numbers, into ARRAY; u16 and u32 read
# little-endian words from such an array at a byte offset.
load() { mapfile -t "$1" < <(od -An -v -tu1 -w1 "$2"); }
u16() {
  local -n from=$1
  echo $((from[$2] | from[$2 + 1] << 8))
}
u32() {
  local -n from=$1
  echo $((from[$2] | from[$2 + 1] << 8 | from[$2 + 2] << 16 | from[$2 + 3] << 24))
}

# LENGTH bytes of FILE from OFFSET onwards.
slice() { tail -c +$(($2 + 1)) "$1" | head -c "$3"; }

# Reads a compiled resource file (.res) into res_bytes and into the table
# `resource`, keyed "type/name" with the value "offset size" of the
# resource's data. A type or name given as a string is keyed by its first
# character's code, which none of ours is.
declare -a res_bytes ico_bytes
declare -A resource
read_resources() {
  local file=$1 size at data_size header_size field part type name
  resource=()
  load res_bytes "$file"
  size=${#res_bytes[@]}
  at=0
  while ((at + 8 <= size)); do
    data_size=$(u32 res_bytes $at)
    header_size=$(u32 res_bytes $((at + 4)))
    if ((header_size < 16 || at + header_size + data_size > size)); then
      fail "$file: damaged resource header at byte $at"
      return
    fi
    field=$((at + 8))
    for part in type name; do
      if (($(u16 res_bytes $field) == 0xFFFF)); then
        printf -v "$part" '%d' "$(u16 res_bytes $((field + 2)))"
        field=$((field + 4))
      else
        printf -v "$part" 'string-%d' "$(u16 res_bytes $field)"
        while (($(u16 res_bytes $field) != 0)); do field=$((field + 2)); done
        field=$((field + 2))
      fi
    done
    ((data_size == 0)) || resource[$type/$name]="$((at + header_size)) $data_size"
    at=$(((at + header_size + data_size + 3) & ~3))
  done
}

# Whether the file is an executable of the tool chain's kind at all: nothing
# else about it can be read otherwise.
check_format() {
  local exe=$1 headers
  headers=$($objdump -p "$exe" 2>/dev/null) || true
  if ! grep -q "file format $format\$" <<<"$headers"; then
    fail "$exe: not a $format executable"
    return 1
  fi
  grep -qE '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "$exe: not a Windows GUI program"
}

# Every imported call as "dll:name", the DLL in lower case.
imports() {
  $objdump -p "$1" | awk '
    /^The Import Tables/ { inside = 1; next }
    inside && /^[^ \t]/ { inside = 0 }
    inside && /^\tDLL Name:/ { dll = tolower($3); next }
    inside && dll != "" && /^\t[0-9a-f]+\t *[0-9]+ +[^ ]+$/ { print dll ":" $NF }'
}

check_imports() {
  local exe=$1 list dll
  list=$(imports "$exe")
  grep -qx 'ddraw.dll:DirectDrawCreate' <<<"$list" || fail "$exe: does not import DirectDrawCreate from DDRAW.dll"
  for dll in $(cut -d: -f1 <<<"$list" | sort -u); do
    [[ $system_dlls == *" $dll "* ]] || fail "$exe: imports from $dll, which Windows does not have"
  done
}

check_interface_identifier() {
  local exe=$1 hex offset found=0
  hex=$(od -An -v -tx1 "$exe" | tr -d ' \n')
  for offset in $(grep -ob "$iid_directdraw4" <<<"$hex" | cut -d: -f1); do
    ((offset % 2 == 0)) && found=1
  done
  ((found)) || fail "$exe: does not hold the identifier of IDirectDraw4"
}

# Icon group 102: a directory of images, each an icon resource of its own,
# matching resources/cube.ico entry for entry and byte for byte.
check_icon_group() {
  local exe=$1 res=$2 ico=$root/resources/cube.ico
  local offset size count i entry ico_entry image icon_offset icon_size
  if [[ -z ${resource[14/102]:-} ]]; then
    fail "$exe: no icon group 102"
    return
  fi
  read -r offset size <<<"${resource[14/102]}"
  count=$(u16 res_bytes $((offset + 4)))
  if (($(u16 res_bytes $offset) != 0 || $(u16 res_bytes $((offset + 2))) != 1 || count == 0 ||
    size != 6 + 14 * count)); then
    fail "$exe: icon group 102 is no icon directory"
    return
  fi
  load ico_bytes "$ico"
  if (($(u16 ico_bytes 4) != count)); then
    fail "$exe: icon group 102 has $count images, cube.ico $(u16 ico_bytes 4)"
    return
  fi
  for ((i = 0; i < count; i++)); do
    # The group's entry is the file's entry up to its length, followed by the
    # image's resource name where the file has the image's offset.
    entry=$((offset + 6 + 14 * i))
    ico_entry=$((6 + 16 * i))
    cmp -s <(slice "$res" $entry 12) <(slice "$ico" $ico_entry 12) ||
      fail "$exe: icon group 102, image $((i + 1)): size, colours or length differ from cube.ico"
    image=$(u16 res_bytes $((entry + 12)))
    if [[ -z ${resource[3/$image]:-} ]]; then
      fail "$exe: icon group 102 names icon $image, which is missing"
      continue
    fi
    read -r icon_offset icon_size <<<"${resource[3/$image]}"
    cmp -s <(slice "$res" "$icon_offset" "$icon_size") \
      <(slice "$ico" "$(u32 ico_bytes $((ico_entry + 12)))" "$(u32 ico_bytes $((ico_entry + 8)))") ||
      fail "$exe: icon $image differs from image $((i + 1)) of cube.ico"
  done
}

# Accelerator table 103: Escape, then Alt+X, both virtual keys that do not
# flash a menu, both giving command 1001.
check_accelerators() {
  local exe=$1 res=$2 offset size expected actual
  if [[ -z ${resource[9/103]:-} ]]; then
    fail "$exe: no accelerator table 103"
    return
  fi
  read -r offset size <<<"${resource[9/103]}"
  if ((size != 16)); then
    fail "$exe: accelerator table 103 holds $((size / 8)) entries, not 2"
    return
  fi
  expected=$(printf '(%#04x, %#04x, %d) ' \
    $((FVIRTKEY | FNOINVERT)) $VK_ESCAPE $ID_CLOSE \
    $((FVIRTKEY | FNOINVERT | FALT | LAST_ENTRY)) $VK_X $ID_CLOSE)
  actual=$(printf '(%#04x, %#04x, %d) ' \
    "$(u16 res_bytes $offset)" "$(u16 res_bytes $((offset + 2)))" "$(u16 res_bytes $((offset + 4)))" \
    "$(u16 res_bytes $((offset + 8)))" "$(u16 res_bytes $((offset + 10)))" "$(u16 res_bytes $((offset + 12)))")
  [[ $actual == "$expected" ]] ||
    fail "$exe: accelerator table 103 holds (flags, key, command) ${actual% }; expected ${expected% }"
}

# Bitmap 103: the texture file without its 14-byte file header.
check_texture() {
  local exe=$1 res=$2 offset size bmp=$root/dice/texture.bmp
  if [[ -z ${resource[2/103]:-} ]]; then
    fail "$exe: no bitmap 103"
    return
  fi
  read -r offset size <<<"${resource[2/103]}"
  cmp -s <(slice "$res" "$offset" "$size") <(tail -c +15 "$bmp") ||
    fail "$exe: bitmap 103 differs from dice/texture.bmp"
}

for program in dice wirecube; do
  exe=$build/$program/$program.exe
  if [[ ! -f $exe ]]; then
    fail "$exe is missing"
    continue
  fi
  check_format "$exe" || continue
  check_imports "$exe"
  check_interface_identifier "$exe"

  res=$work/$program.res
  if ! $windres -i "$exe" -O res -o "$res"; then
    fail "$exe: its resources cannot be read"
    continue
  fi
  read_resources "$res"
  check_icon_group "$exe" "$res"
  check_accelerators "$exe" "$res"
  [[ $program == dice ]] && check_texture "$exe" "$res"
  echo "checked $exe"
done

if ((failures)); then
  echo "$failures check(s) of the Windows build failed" >&2
  exit 1
fi
echo "The Windows build ($triplet) passed every check."
