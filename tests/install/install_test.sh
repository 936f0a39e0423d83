#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it as a user would:
# the installed commands run and find their data there, the desktop entry,
# the AppStream data and the MIME type pass their validators, a .vbf file is
# recognised by name and by content, and the Debian package carries the
# program with its dependencies.
#   tests/install/install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1" source="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

# The command-line tool converts a fixture.
"$prefix/bin/vesk-cli" --version | grep -q "vesk-cli" || fail "vesk-cli --version"
"$prefix/bin/vesk-cli" convert "$source/tests/data/board.vbf" "$work/board.vbf" || fail "vesk-cli convert"
cmp -s "$source/tests/data/board.vbf" "$work/board.vbf" || fail "converted board differs"

# The editor finds its data under the prefix, also when the prefix moves.
for moved in "$prefix" "$work/elsewhere"; do
    [[ "$moved" == "$prefix" ]] || mv "$prefix" "$moved"
    folders="$("$moved/bin/vesk" --data-folders)"
    grep -qx "Bitmap: $moved/share/vesk2/Bitmap" <<<"$folders" || fail "glyphs not found under $moved: $folders"
    for starter in pad lib; do
        grep -qx "$starter: $moved/share/vesk2/$starter" <<<"$folders" || fail "$starter not found: $folders"
    done
    prefix="$moved"
done
[[ -f "$prefix/share/vesk2/Bitmap/Arrow00.svg" ]] || fail "glyphs missing"
# The starter pads and parts, and nothing of their staging.
for starter in pad/round_1.6_0.8.vbf pad/via_0.8_0.4.vbf lib/DIP/DIP-8.vbf lib/Header/Header_2x20.vbf; do
    [[ -f "$prefix/share/vesk2/$starter" ]] || fail "starter file $starter missing"
done
[[ -z "$(find "$prefix/share/vesk2" -name '.*')" ]] || fail "hidden files installed"
# It starts, shows its window offscreen and stays up until told to go.
set +e
QT_QPA_PLATFORM=offscreen timeout 5 "$prefix/bin/vesk" "$source/tests/data/board.vbf" >"$work/editor.log" 2>&1
status=$?
set -e
[[ $status -eq 124 ]] || fail "the editor ended by itself (status $status): $(cat "$work/editor.log")"
"$prefix/bin/vesk" --version | grep -q "^vesk " || fail "vesk --version"

desktop-file-validate "$prefix/share/applications/vesk2.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/vesk2.metainfo.xml" >/dev/null || fail "AppStream data"
[[ -f "$prefix/share/icons/hicolor/scalable/apps/vesk2.svg" && -f "$prefix/share/icons/hicolor/256x256/apps/vesk2.png" ]] ||
    fail "icons missing"
man -l "$prefix/share/man/man1/vesk-cli.1" 2>/dev/null | grep -q "gerber" || fail "manual page"

# The MIME type, in a home of its own: by name, and by content under another name.
home="$work/home"
mkdir -p "$home/data/mime/packages"
cp "$prefix/share/mime/packages/vesk2.xml" "$home/data/mime/packages/"
update-mime-database "$home/data/mime"
cp "$source/tests/data/board.vbf" "$home/board.vbf"
cp "$source/tests/data/board.vbf" "$home/board.bin"
for f in "$home/board.vbf" "$home/board.bin"; do
    type="$(env -u XDG_CURRENT_DESKTOP HOME="$home" XDG_DATA_HOME="$home/data" xdg-mime query filetype "$f")"
    [[ "$type" == "application/x-vesk2-document" ]] || fail "$f is $type"
done

# The Debian package.
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB >/dev/null) || fail "cpack"
deb="$(ls "$work"/vesk2_*_amd64.deb)"
info="$(dpkg-deb --info "$deb")"
grep -q "Depends:.*libqt6" <<<"$info" || fail "package without Qt dependencies: $info"
grep -q "Recommends: fonts-ipafont-gothic, gerbv" <<<"$info" || fail "package recommends: $info"
contents="$(dpkg-deb --contents "$deb")"
for path in ./usr/bin/vesk ./usr/bin/vesk-cli ./usr/share/applications/vesk2.desktop \
    ./usr/share/vesk2/Bitmap/Arrow00.svg ./usr/share/vesk2/lib/DIP/DIP-8.vbf ./usr/share/vesk2/pad/round_1.6_0.8.vbf \
    ./usr/share/man/man1/vesk-cli.1; do
    grep -q " $path\$" <<<"$contents" || fail "package lacks $path"
done
echo "install test: passed"
