#!/usr/bin/env bash
# Checks the Debian package `make package` made in BUILD/package/ without
# installing it: its fields and contents, the desktop entry, the AppStream
# metadata, lintian, and the programs run from the package unpacked into a
# throwaway root (the usage, the dictionary, the main window offscreen, the
# mailto: handler). Everything it writes lies in a temporary folder.
#
#   scripts/check-package.sh BUILD
set -euo pipefail

build=$(realpath "${1:?usage: check-package.sh BUILD}")
source_dir=$(realpath "$(dirname "$0")/..")
debs=("$build"/package/skiffpost_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-package: no single package in $build/package" >&2; exit 1; }
deb=${debs[0]}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "check-package: FAILED: $*" >&2; failures=$((failures + 1)); }
ok() { echo "check-package: ok: $*"; }

echo "check-package: $deb"

# --- The control fields.
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = skiffpost ] || fail "Package field"
[ "$(field Section)" = mail ] || fail "Section field: $(field Section)"
[ "$(field Priority)" = optional ] || fail "Priority field: $(field Priority)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer field: $(field Maintainer)"
[ -n "$(field Description | sed -n 2p)" ] || fail "Description has no long text"
for lib in libc6 libqt6widgets6 libqt6gui6 libssl3 libsqlite3-0 libgumbo1 libcanberra0; do
  field Depends | grep -q "\b$lib\b" || fail "Depends lacks $lib (dpkg-shlibdeps): $(field Depends)"
done
ok "control fields: $(field Package) $(field Version) $(field Architecture), section $(field Section)"

# --- The contents.
dpkg-deb --contents "$deb" > "$work/contents"
names=$(awk '{ n = $6; for (i = 7; i <= NF; i++) n = n " " $i; print n }' "$work/contents")
expected=(
  ./usr/lib/skiffpost/skfp ./usr/lib/skiffpost/skfp-tool ./usr/lib/skiffpost/skfp-uninstall
  "./usr/bin/skfp -> ../lib/skiffpost/skfp" "./usr/bin/skfp-tool -> ../lib/skiffpost/skfp-tool"
  "./usr/bin/skfp-uninstall -> ../lib/skiffpost/skfp-uninstall"
  ./usr/share/skiffpost/Internet.Dct ./usr/share/skiffpost/Internet.hlp
  ./usr/share/applications/skiffpost.desktop
  ./usr/share/metainfo/org.fenmarch.skiffpost.metainfo.xml
  ./usr/share/icons/hicolor/scalable/apps/skiffpost.svg
  ./usr/share/man/man1/skfp.1.gz ./usr/share/man/man1/skfp-tool.1.gz ./usr/share/man/man1/skfp-uninstall.1.gz
  ./usr/share/doc/skiffpost/copyright ./usr/share/doc/skiffpost/changelog.gz
)
for size in 16 24 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/skiffpost.png")
done
for name in "${expected[@]}"; do
  grep -qxF -- "$name" <<< "$names" || fail "the package lacks $name"
done
if grep -Ev '^(drwxr-xr-x|-rwxr-xr-x|-rw-r--r--|lrwxrwxrwx) root/root ' "$work/contents"; then
  fail "the entries above are not root's with the usual modes"
fi
ok "contents: ${#expected[@]} files named, $(wc -l < "$work/contents") entries"

# --- Installed and removed by dpkg, into a throwaway root with a dpkg
# database of its own (the package has no maintainer scripts; the libraries
# it depends on are this machine's, so their absence there is forced).
droot=$work/dpkg-root
mkdir -p "$droot/var/lib/dpkg/info" "$droot/var/lib/dpkg/updates"
touch "$droot/var/lib/dpkg/status"
dpkg --root="$droot" --log=/dev/null --force-depends -i "$deb" > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i"; }
[ -x "$droot/usr/bin/skfp" ] || fail "dpkg installed no /usr/bin/skfp"
dpkg --root="$droot" --log=/dev/null -r skiffpost > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -r"; }
left=$(find "$droot" -mindepth 1 -not -path "$droot/var" -not -path "$droot/var/lib" -not -path "$droot/var/lib/dpkg*")
[ -z "$left" ] || fail "dpkg -r left: $left"
# Its dependencies resolve on this machine (a simulation: nothing changes).
if [ "$(id -u)" -eq 0 ]; then
  apt-get install --simulate --no-install-recommends "$deb" > "$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get cannot install it"; }
  grep -q '^Inst skiffpost ' "$work/apt.log" || { cat "$work/apt.log"; fail "apt-get would not install it"; }
fi
ok "installs and removes cleanly with dpkg; apt-get resolves its dependencies"

# --- Unpacked into a throwaway root.
root=$work/root
dpkg-deb -x "$deb" "$root"
usr=$root/usr
listing() { find "$root" \( -type d -printf '%p/\n' \) -o -printf '%p %s %T@\n' | sort; }
listing > "$work/root-before"

desktop-file-validate "$usr/share/applications/skiffpost.desktop" || fail "desktop-file-validate"
grep -qx 'MimeType=x-scheme-handler/mailto;' "$usr/share/applications/skiffpost.desktop" || fail "no mailto: handler"
ok "desktop entry valid, handles mailto:"

appstreamcli validate --no-net "$usr/share/metainfo/org.fenmarch.skiffpost.metainfo.xml" || fail "appstreamcli validate"
# validate-tree also checks the metadata against the entry and the icons.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
# Each screenshot is named by its path in the source tree.
grep -o '<image>[^<]*</image>' "$usr/share/metainfo/org.fenmarch.skiffpost.metainfo.xml" | sed 's/<[^>]*>//g' |
  while read -r url; do
    path=${url#*/docs/}
    [ -f "$source_dir/docs/$path" ] || { echo "check-package: FAILED: screenshot docs/$path is not in the source tree" >&2; exit 1; }
  done || fail "screenshots"
ok "AppStream metadata valid"

for size in 16 24 32 48 64 128 256; do
  file "$usr/share/icons/hicolor/${size}x${size}/apps/skiffpost.png" | grep -q "PNG image data, $size x $size," ||
    fail "icon ${size}x${size} is not a $size x $size PNG"
done
ok "icons in every size"

for page in skfp skfp-tool skfp-uninstall; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "manual page $page: $warnings"
done
ok "manual pages render without warnings"

# lintian: no error; warnings and notes are listed.
lintian --fail-on error --display-info --tag-display-limit 0 "$deb" > "$work/lintian" 2>&1 || fail "lintian reports errors"
sed 's/^/check-package: lintian: /' "$work/lintian"
ok "lintian: $(grep -c '^E:' "$work/lintian" || true) errors, $(grep -c '^W:' "$work/lintian" || true) warnings, $(grep -c '^I:' "$work/lintian" || true) notes"

# The programs, from the unpacked root, with a home of their own.
home=$work/home
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
run() {
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_RUNTIME_DIR="$work/run" XDG_DATA_DIRS="$usr/share" XDG_CONFIG_DIRS="$work/none" QT_QPA_PLATFORM=offscreen \
    LANG=C.UTF-8 timeout 120 "$@"
}

run "$usr/bin/skfp-tool" --help > "$work/help" || fail "skfp-tool --help"
cmp -s "$work/help" <("$build/skfp-tool" --help) || fail "the packaged skfp-tool --help differs from the build's"
grep -q '^commands:' "$work/help" || fail "skfp-tool --help prints no commands"
ok "skfp-tool --help ($(wc -l < "$work/help") lines)"

run "$usr/bin/skfp-tool" folders > "$work/folders" || fail "skfp-tool folders"
grep -qxF "resources=$usr/share/skiffpost/" "$work/folders" || fail "skfp-tool finds no share folder: $(cat "$work/folders")"
grep -qxF "data=$home/.local/share/Skiffpost/Data/" "$work/folders" || fail "data not in the user's folder: $(cat "$work/folders")"
ok "skfp-tool finds the share folder and keeps data in the user's folder"

out=$(run "$usr/bin/skfp-tool" dict lookup "$usr/share/skiffpost/Internet.Dct" mailbox xqzzv) || true
[ "$out" = $'mailbox\tyes\nxqzzv\tno' ] || fail "packaged dictionary lookup: $out"
ok "the packaged dictionary answers"

if run "$usr/bin/skfp" --self-test > "$work/self-test" 2> "$work/self-test.err"; then
  ok "skfp --self-test"
else
  fail "skfp --self-test exited $?"
fi
sed 's/^/check-package: skfp: /' "$work/self-test" "$work/self-test.err"
grep -qxF "main dictionary: $usr/share/skiffpost/Internet.Dct (found)" "$work/self-test" || fail "the packaged dictionary was not found"
grep -qxF "user guide: $usr/share/skiffpost/Internet.hlp (found)" "$work/self-test" || fail "the packaged guide was not found"
grep -qxF 'main window: "Fenmarch Skiffpost" shown' "$work/self-test" || fail "the main window did not show"
grep -qxF "data folder: $home/.local/share/Skiffpost/Data/" "$work/self-test" || fail "data not in the user's folder"

# mailto: links: the desktop's database names the entry as the handler.
update-desktop-database "$usr/share/applications"
handler=$(run xdg-mime query default x-scheme-handler/mailto)
[ "$handler" = skiffpost.desktop ] || fail "mailto: handler is '$handler'"
rm -f "$usr/share/applications/mimeinfo.cache"
ok "mailto: links open skiffpost.desktop"

# The programs wrote nothing into the installation.
listing > "$work/root-after"
diff "$work/root-before" "$work/root-after" || fail "the programs wrote into the installed files"

if [ $failures -ne 0 ]; then
  echo "check-package: $failures check(s) failed" >&2
  exit 1
fi
echo "check-package: all checks passed"
