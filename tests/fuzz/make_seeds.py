#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the seed corpora of the fuzz targets (tests/fuzz/corpus/<target>/).

The seeds are committed; run this again only to change them. Each seed is small and shows the
fuzzer one shape of input that matters: every bit depth and header kind of the bitmap loader,
the settings-file layouts and texts, the forms of the command line. The seeds named found_* are
inputs on which a fuzzer found a fault, kept as it wrote them; this script leaves them alone.
"""

import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# --- Bitmap files ---------------------------------------------------------------------------

def row_bytes(width, bpp):
    return (width * bpp + 31) // 32 * 4


def bmp(width, height, bpp, pixels=None, palette=None, compression=0, header=40, masks=None,
        offset=None, truncate=None):
    """A bitmap file: file header, info header of the given size, masks, palette, pixels."""
    rows = abs(height)
    if pixels is None:
        rng = random.Random(width * 1000 + abs(height) * 10 + bpp)
        pixels = bytes(rng.randrange(256) for _ in range(row_bytes(width, bpp) * rows))
    if palette is None:
        palette = []
        if bpp <= 8:
            palette = [(i * 37 % 256, i * 91 % 256, i * 53 % 256) for i in range(1 << bpp)]
    if header == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bpp)
        pal = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in palette)
    else:
        info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bpp, compression,
                           len(pixels), 2835, 2835, len(palette), 0)
        extra = b""
        if masks is not None:
            extra = struct.pack("<" + "I" * len(masks), *masks)
        info += extra
        # Masks lie inside the larger headers; after a 40-byte header they follow it.
        info += b"\0" * (header - len(info)) if len(info) < header else b""
        pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    body = info + pal
    data_offset = 14 + len(body) if offset is None else offset
    file_size = 14 + len(body) + len(pixels)
    data = b"BM" + struct.pack("<IHHI", file_size, 0, 0, data_offset) + body + pixels
    if truncate is not None:
        data = data[:truncate]
    return data


def bitmap_seeds():
    t = "fuzz_bitmap_file"
    write(t, "1bpp_8x4.bmp", bmp(8, 4, 1))
    write(t, "4bpp_5x3.bmp", bmp(5, 3, 4))
    write(t, "8bpp_7x5.bmp", bmp(7, 5, 8))
    write(t, "8bpp_small_palette.bmp", bmp(4, 2, 8, palette=[(0, 255, 0), (255, 255, 255)]))
    write(t, "16bpp_555_4x3.bmp", bmp(4, 3, 16))
    write(t, "16bpp_565_bitfields.bmp",
          bmp(4, 3, 16, compression=3, masks=[0xF800, 0x07E0, 0x001F]))
    write(t, "24bpp_3x3.bmp", bmp(3, 3, 24))
    write(t, "24bpp_top_down.bmp", bmp(3, -4, 24))
    write(t, "32bpp_3x2.bmp", bmp(3, 2, 32))
    write(t, "32bpp_alpha_v4.bmp",
          bmp(2, 2, 32, compression=3, header=108,
              masks=[0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000]))
    write(t, "24bpp_v5.bmp", bmp(2, 3, 24, header=124))
    write(t, "32bpp_v3_56.bmp",
          bmp(2, 2, 32, compression=3, header=56,
              masks=[0x00FF0000, 0x0000FF00, 0x000000FF, 0]))
    write(t, "core_24bpp.bmp", bmp(3, 2, 24, header=12))
    write(t, "core_8bpp.bmp", bmp(3, 2, 8, header=12, palette=[(1, 2, 3)] * 4))
    write(t, "rle8.bmp", bmp(4, 2, 8, compression=1, pixels=b"\x04\x01\x00\x00\x04\x02\x00\x01"))
    write(t, "rle4.bmp", bmp(4, 2, 4, compression=2, pixels=b"\x04\x12\x00\x00\x04\x34\x00\x01"))
    write(t, "truncated_pixels.bmp", bmp(6, 6, 24, truncate=14 + 40 + 40))
    write(t, "truncated_header.bmp", bmp(6, 6, 24, truncate=30))
    write(t, "huge_32767x32767.bmp", bmp(32767, 32767, 24, pixels=b""))
    write(t, "too_wide_40000.bmp", bmp(40000, 1, 24, pixels=b""))
    write(t, "negative_width.bmp", bmp(-5, 3, 24, pixels=b"\0" * 48))
    write(t, "bad_offset.bmp", bmp(2, 2, 24, offset=5000))
    write(t, "zero_planes_junk.bmp", b"BM" + b"\xff" * 60)
    write(t, "not_a_bitmap.gif", b"GIF89a\x01\x00\x01\x00\x00\x00\x00;")
    write(t, "empty", b"")


# --- Settings files -------------------------------------------------------------------------

def profile(flags, section, key, value, content):
    return bytes([flags]) + (section + "\0" + key + "\0" + value + "\0" + content).encode(
        "latin-1")


def profile_seeds():
    t = "fuzz_profile"
    delivered = ("[controls]\nlights=1\nchimneysmoke=1\nsnowing=1\nlightspeed=3\n"
                 "smokespeed=2\nsnowspeed=4\n[applic]\nappdisplay=1\nappcurrent=0\nappalert=3\n")
    write(t, "replace_value", profile(0, "controls", "lightspeed", "8", delivered))
    write(t, "add_key", profile(0, "controls", "extra", "x", delivered))
    write(t, "add_section", profile(0, "newsection", "key", "value", delivered))
    write(t, "no_file", profile(4, "controls", "lights", "1", ""))
    write(t, "empty_file", profile(0, "controls", "lights", "1", ""))
    write(t, "crlf", profile(0, "controls", "snowing", "0", delivered.replace("\n", "\r\n")))
    write(t, "last_line_open", profile(0, "applic", "appcurrent", "7", delivered.rstrip("\n")))
    write(t, "case_and_blanks",
          profile(0, "CONTROLS", "LightSpeed", "  5  ", "  [ Controls ]  \n  lightspeed = 3 \n"))
    write(t, "blanks_around_key", profile(0, "controls", " lights ", "0", delivered))
    write(t, "repeated_sections",
          profile(0, "controls", "lights", "0", "[controls]\nlights=1\n[controls]\nlights=2\n"))
    write(t, "keys_without_values",
          profile(0, "controls", "snowing", "1", "[controls]\nlights\nsnowing=\n=5\n;x=1\n"))
    write(t, "delete_key", profile(2, "controls", "snowing", "", delivered))
    write(t, "delete_section", profile(1, "controls", "", "", delivered))
    write(t, "small_buffer", profile(3 << 3, "controls", "lights", "123456", delivered))
    write(t, "value_with_equals", profile(0, "controls", "lights", "a=b=c", delivered))
    write(t, "bracket_names", profile(0, "[odd", "k]", "v", "[[odd]\nk]=1\n"))
    write(t, "refused_line_break", profile(0, "controls", "lights", "1\n[x]", delivered))
    write(t, "binary_junk",
          profile(0, "controls", "lights", "1", "".join(chr(c) for c in range(1, 256)) * 2))


# --- Command lines --------------------------------------------------------------------------

def command_line_seeds():
    t = "fuzz_command_line"
    seeds = {
        "run_s": "\0/s",
        "run_empty": "\0",
        "run_spaces": "\0   /S   ",
        "run_unknown": "\0/x",
        "settings": "\0/c:4711",
        "password_change": "\0/a 4711",
        "password_spaced_digits": "\0/a 4 7\t1\n1",
        "preview": "\0/p 12345",
        "preview_bare": "\0/P",
        "number_fraction": "\0 -12.5e+1 ",
        "number_point_only": "\0+.5",
        "number_exponent_cut": "\0 7e",
        "number_half_even": "\0/a 2.5",
        "number_huge": "\0/a 1e400",
        "registry_dword": "\1\1\0\0\0",
        "linux_root": "\0--root",
        "linux_window_env": "\2" + "0x3a00007\n--root",
        "linux_window_id": "\0--window-id=0x400001\n--snow-speed\n8",
        "linux_speeds": "\0-light-speed=3\n--no-smoke\n--lights\n--smoke-speed=10",
        "linux_help": "\0--help\n--version",
        "linux_bad_value": "\0--snow-speed=21",
        "linux_missing_value": "\0--window-id",
    }
    for name, text in seeds.items():
        write(t, name, text)


# --- Block transfers ------------------------------------------------------------------------

def bitblt_seeds():
    t = "fuzz_bitblt"
    rng = random.Random(20261207)
    for length in (32, 96, 200, 400, 800, 1600):
        write(t, "random_%d" % length, bytes(rng.randrange(256) for _ in range(length)))


if __name__ == "__main__":
    bitmap_seeds()
    profile_seeds()
    command_line_seeds()
    bitblt_seeds()
