#!/usr/bin/env bash
# The Debian package: built by cpack from a build folder, installed with
# apt-get, run, and removed without a trace. Installing needs root; otherwise
# the test says it is skipped.
# Usage: package.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
name=stereograms
if [ "$(id -u)" -ne 0 ]; then
  echo "package.sh: skipped (installing a package needs root)"
  exit 0
fi
if dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed"; then
  echo "FAIL: the $name package is already installed here; remove it to run this test" >&2
  exit 1
fi
# World-readable, so that apt's unprivileged user can read the package.
work=$(mktemp -d)
chmod 755 "$work"
installed=false
cleanup() {
  if $installed; then apt-get -o DPkg::Lock::Timeout=600 purge -y -qq "$name" >/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive

output=$(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" 2>&1) || fail "cpack: $output"
deb=$(echo "$work"/"$name"_*.deb)
[ -f "$deb" ] || fail "cpack made no package"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
packages=$(sed 's/ ([^)]*)//g; s/, /\n/g' <<<"$depends")
for library in libc6 libstdc++6 libsdl2-2.0-0 zlib1g; do
  grep -q -x -F "$library" <<<"$packages" || fail "Depends lacks $library"
done

output=$(apt-get -o DPkg::Lock::Timeout=600 install -y -qq "$deb" 2>&1) || fail "apt-get install: $output"
installed=true
files=$(dpkg -L "$name")
for program in velumira korvelan stereo-snapshot; do
  [ "$(command -v "$program")" = "/usr/bin/$program" ] || fail "$program is not on the PATH in /usr/bin"
done
for program in velumira korvelan; do
  [ "$($program --version)" = "$program $(dpkg-deb -f "$deb" Version)" ] || fail "$program --version: $($program --version)"
done
# Installed in the system's manual path, the pages are clean under lint as they are.
for page in man6/velumira.6 man6/korvelan.6 man1/stereo-snapshot.1; do
  lint=$(mandoc -Tlint "/usr/share/man/$page" 2>&1) || fail "mandoc -Tlint $page: $lint"
done
stereo-snapshot velumira --keys 97 --png "$work/depth.png"
"$build/stereo-snapshot" velumira --keys 97 --png "$work/depth-build.png"
cmp -s "$work/depth.png" "$work/depth-build.png" || fail "the installed stereo-snapshot saved another picture"

output=$(apt-get -o DPkg::Lock::Timeout=600 purge -y -qq "$name" 2>&1) || fail "apt-get purge: $output"
installed=false
! dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" || fail "still installed"
while read -r path; do
  [ -d "$path" ] || [ ! -e "$path" ] || fail "left behind: $path"
done <<<"$files"
echo "package.sh: all checks passed"
