#!/usr/bin/env bash
# Runs ./test.sh as a new user's first run would: from a clean clone of the
# current commit, as root on a minimal Debian 12 that has none of the
# project's packages, so that scripts/deps.sh must install every one of them.
# The bare root is built once with mmdebstrap and kept under
# ${XDG_CACHE_HOME:-~/.cache}/cubes-fresh; every run unpacks a new copy of it.
#
# Usage: scripts/fresh-check.sh [COMMAND...]
#   COMMAND runs in the clone inside the root instead of ./test.sh, e.g. bash.
set -euo pipefail
[ "$(id -u)" -eq 0 ] || exec sudo --preserve-env=XDG_CACHE_HOME "$0" "$@"
repo=$(cd "$(dirname "$0")/.." && pwd)
# The checkout may belong to the user who called sudo.
git() { command git -c safe.directory='*' "$@"; }
commit=$(git -C "$repo" rev-parse HEAD)
(($#)) || set -- ./test.sh

# What a freshly installed Debian has (mmdebstrap's default: the required and
# important packages), and the tools a contributor needs to fetch the project;
# nothing of scripts/deps.sh.
suite=bookworm
extra=ca-certificates,sudo,git

# The root's package sources are this machine's Debian mirrors, taken from
# both formats of apt's sources (one-line and deb822).
host_uri() {
  { cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null || true; } |
    awk '$1 == "deb" { for (i = 2; i <= NF && $i ~ /^\[|=|\]$/; i++) {}; print $i }
         $1 == "URIs:" { for (i = 2; i <= NF; i++) print $i }' |
    awk -v tail="$1" '!found && $0 ~ tail "/?$" { print; found = 1 }'
}
mirror=$(host_uri '/debian')
security=$(host_uri '/debian-security')
if [ -z "$mirror" ]; then
  echo "fresh-check: no Debian mirror in /etc/apt/sources.list*" >&2
  exit 1
fi
sources="deb $mirror $suite main
deb $mirror $suite-updates main"
[ -z "$security" ] || sources+="
deb $security $suite-security main"

cache=${XDG_CACHE_HOME:-$HOME/.cache}/cubes-fresh
key=$(printf '%s\n' "$suite" "$extra" "$sources" | sha256sum | cut -c1-12)
tarball=$cache/$suite-$key.tar
if [ ! -f "$tarball" ]; then
  mkdir -p "$cache"
  echo "=== building the Debian root $tarball"
  printf '%s\n' "$sources" | mmdebstrap --include="$extra" "$suite" "${tarball%.tar}.part.tar" -
  mv "${tarball%.tar}.part.tar" "$tarball"
fi

root=$(mktemp -d /var/tmp/cubes-fresh.XXXXXX)
mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" || umount -l "${mounted[i]}" || true; done
  # Never delete through a mount that is still there: it would reach the host's files.
  if grep -q " $root/" /proc/mounts; then
    echo "fresh-check: $root still has mounts; left in place" >&2
  else
    rm -rf --one-file-system "$root"
  fi
}
trap cleanup EXIT
mount_in() {
  mount "$@"
  mounted+=("${*: -1}")
}

tar -xf "$tarball" -C "$root"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
# Machines of this kind trust their network's own certificate authorities
# (package registries are reached through them over HTTPS); so does the root.
if compgen -G '/usr/local/share/ca-certificates/*.crt' >/dev/null; then
  cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
  chroot "$root" update-ca-certificates >/dev/null
fi
git clone --quiet --no-checkout "$repo" "$root/root/cubes"
git -C "$root/root/cubes" checkout --quiet --detach "$commit"
echo "=== $commit in a fresh $suite root at $root"

mount_in -t proc proc "$root/proc"
mount_in -t sysfs sysfs "$root/sys"
mount_in --bind /dev "$root/dev"
mount_in --bind /dev/pts "$root/dev/pts"
mount_in -t tmpfs -o mode=1777 shm "$root/dev/shm"

# A login's environment, not this shell's.
chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  ${NODE_EXTRA_CA_CERTS:+NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt} \
  /bin/bash -c 'cd /root/cubes && "$@"' fresh-check "$@"
