#!/usr/bin/env bash
# `cmake --install` into a fresh prefix: exactly the expected files; the man
# pages clean under mandoc's lint and rendered with their sections and every
# option the program's --help lists; the installed programs' --version;
# desktop entries and AppStream metadata clean under their validators and
# naming each other; icons of their sizes.
# Usage: installed_tree.sh BUILD_DIR PROJECT_VERSION
set -euo pipefail
build=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
cd "$prefix"

expected=$(sort <<'FILES'
bin/velumira
bin/korvelan
bin/stereo-snapshot
share/man/man6/velumira.6
share/man/man6/korvelan.6
share/man/man1/stereo-snapshot.1
share/applications/org.example.velumira.desktop
share/applications/org.example.korvelan.desktop
share/metainfo/org.example.velumira.metainfo.xml
share/metainfo/org.example.korvelan.metainfo.xml
share/icons/hicolor/48x48/apps/velumira.png
share/icons/hicolor/48x48/apps/korvelan.png
share/icons/hicolor/128x128/apps/velumira.png
share/icons/hicolor/128x128/apps/korvelan.png
share/icons/hicolor/256x256/apps/velumira.png
share/icons/hicolor/256x256/apps/korvelan.png
FILES
)
installed=$(find . -type f | sed 's|^\./||' | sort)
[ "$installed" = "$expected" ] || fail "installed files differ: $(diff <(echo "$expected") <(echo "$installed") || true)"

# Man pages. Out of the system's manual path, mandoc cannot find the pages
# these ones refer to; they are in the list above.
own_pages='Xr (velumira 6|korvelan 6|stereo-snapshot 1)'
for page in man6/velumira.6 man6/korvelan.6 man1/stereo-snapshot.1; do
  lint=$(mandoc -Tlint "share/man/$page" 2>&1 | grep -v -E "referenced manual not found: $own_pages( \([0-9]+ times\))?\$" || true)
  [ -z "$lint" ] || fail "mandoc -Tlint $page: $lint"
  mandoc -Tutf8 "share/man/$page" | sed "s/.\x08//g" >"$work/page"
  for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" EXAMPLES "SEE ALSO"; do
    grep -qx "$section" "$work/page" || fail "$page: no $section section"
  done
done
for program in velumira korvelan stereo-snapshot; do
  mandoc -Tutf8 share/man/man*/"$program".[16] | sed "s/.\x08//g" >"$work/page"
  for option in $(bin/$program --help | grep -o -E -- '--[a-z][a-z-]*' | sort -u); do
    grep -q -- "$option" "$work/page" || fail "$program: the man page does not describe $option"
  done
done

for program in velumira korvelan; do
  [ "$(bin/$program --version)" = "$program $version" ] || fail "$program --version: $(bin/$program --version)"
done

# Desktop entries and AppStream metadata: each validator silent, and the
# metainfo launchables exactly the desktop entries.
for entry in share/applications/*.desktop; do
  messages=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate $entry: $messages"
  [ -z "$messages" ] || fail "desktop-file-validate $entry: $messages"
  program=$(sed -n 's/^Exec=//p' "$entry")
  [ -x "bin/$program" ] || fail "$entry: Exec=$program is not installed"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  for size in 48 128 256; do
    [ "$(identify -format '%w %h' "share/icons/hicolor/${size}x$size/apps/$icon.png")" = "$size $size" ] ||
      fail "$entry: no $size px icon $icon"
  done
done
for metainfo in share/metainfo/*.metainfo.xml; do
  messages=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) || fail "appstreamcli validate $metainfo: $messages"
  grep -E '^[EWIP]: ' <<<"$messages" && fail "appstreamcli validate $metainfo: $messages"
  release=$(grep -o -m1 '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
  [ "$release" = "$version" ] || fail "$metainfo: newest release $release, project version $version"
done
messages=$(appstreamcli validate-tree --no-net --pedantic . 2>&1) || fail "appstreamcli validate-tree: $messages"
launchables=$(grep -h -o '<launchable type="desktop-id">[^<]*' share/metainfo/*.xml | sed 's/.*>//' | sort)
entries=$(ls share/applications | sort)
[ "$launchables" = "$entries" ] || fail "launchables ($launchables) are not the desktop entries ($entries)"
echo "installed_tree.sh: all checks passed"
