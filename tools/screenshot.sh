#!/usr/bin/env bash
# Makes the README's picture of the editor: starts the real editor on a
# virtual X display (Xvfb) with a fixture board, waits for it to draw, and
# saves the screen as a PNG.
#   tools/screenshot.sh [DOCUMENT.vbf] [OUT.png]
# Defaults: examples/blinker555.vbf and docs/editor.png. Uses build/bin/vesk
# (VESK_BUILD_DIR chooses another build). The editor runs from a copy in a
# temporary folder so that its settings file there fixes the window's place
# and size and nothing of the user's own settings is read or changed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VESK_BUILD_DIR:-$root/build}"
document="$(realpath "${1:-$root/examples/blinker555.vbf}")"
out="$(realpath -m "${2:-$root/docs/editor.png}")"
# The drawing at the left, the layer window and the object editor beside it.
main_width=780
panel_width=215
width=$((main_width + panel_width + 5))
height=560
wait_seconds="${VESK_SHOT_WAIT:-4}"

[[ -x "$build/bin/vesk" ]] || { echo "screenshot: build the editor first ($build/bin/vesk)" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "screenshot: Xvfb is missing (tools/setup.sh installs it)" >&2; exit 1; }

work="$(mktemp -d)"
editor_pid=""
xvfb_pid=""
cleanup() {
    [[ -n "$editor_pid" ]] && kill "$editor_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cp "$build/bin/vesk" "$work/"
[[ -d "$build/bin/Bitmap" ]] && cp -r "$build/bin/Bitmap" "$work/"
cat > "$work/VeskV.ini" <<INI
[MainWindow]
Top=0
Left=0
WindowState=0
Width=$main_width
Height=$height
[LayerWindow]
Top=0
Left=$((main_width + 5))
Width=$panel_width
Height=300
[ObjectEditor]
Top=305
Left=$((main_width + 5))
Width=$panel_width
Height=$((height - 305))
INI

# A free display number: the first without a lock file.
display=99
while [[ -e "/tmp/.X$display-lock" ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 "${width}x${height}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [[ -e "/tmp/.X11-unix/X$display" ]] && break; sleep 0.1; done

DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$work/vesk" "$document" >"$work/editor.log" 2>&1 &
editor_pid=$!
sleep "$wait_seconds"
kill -0 "$editor_pid" 2>/dev/null || { echo "screenshot: the editor stopped:" >&2; cat "$work/editor.log" >&2; exit 1; }

mkdir -p "$(dirname "$out")"
# The screen through libX11 and the standard library alone: nothing to install beyond Xvfb.
DISPLAY=":$display" python3 - "$out" <<'PY'
import ctypes
import ctypes.util
import os
import struct
import sys
import zlib


class XImage(ctypes.Structure):
    _fields_ = [
        ("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
        ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
        ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
        ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
        ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong),
    ]


def grab():
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XDefaultScreen.argtypes = [ctypes.c_void_p]
    x11.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XGetImage.restype = ctypes.POINTER(XImage)
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                              ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("screenshot: cannot open display %s" % os.environ.get("DISPLAY", "(unset)"))
    screen = x11.XDefaultScreen(display)
    width, height = x11.XDisplayWidth(display, screen), x11.XDisplayHeight(display, screen)
    z_pixmap, all_planes = 2, 0xFFFFFFFF
    image = x11.XGetImage(display, x11.XDefaultRootWindow(display), 0, 0, width, height, all_planes, z_pixmap)
    if not image:
        sys.exit("screenshot: XGetImage failed")
    im = image.contents
    if im.bits_per_pixel != 32 or im.byte_order != 0:
        sys.exit("screenshot: only 32-bit little-endian screens are handled (got %d bits)" % im.bits_per_pixel)
    raw = ctypes.string_at(im.data, im.bytes_per_line * im.height)
    rows = []
    for y in range(im.height):
        line = raw[y * im.bytes_per_line: y * im.bytes_per_line + 4 * im.width]
        rgb = bytearray(3 * im.width)
        rgb[0::3] = line[2::4]  # B G R X in memory
        rgb[1::3] = line[1::4]
        rgb[2::3] = line[0::4]
        rows.append(b"\x00" + bytes(rgb))
    x11.XCloseDisplay(display)
    return im.width, im.height, b"".join(rows)


def write_png(path, width, height, scanlines):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(scanlines, 9))
                + chunk(b"IEND", b""))


write_png(sys.argv[1], *grab())
PY
echo "screenshot: wrote $out"
