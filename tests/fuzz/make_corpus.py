#!/usr/bin/env python3
"""Writes the fuzz target's starting corpus: a few tiny hand-made MP3 pieces
(frame headers of each version and layer, ID3v2 tags, an info frame with
LAME's delay and padding). Run it again after changing it:

    tests/fuzz/make_corpus.py tests/fuzz/corpus
"""

import struct
import sys
from pathlib import Path


def frame(b1, b2, length, b3=0):
    return bytes([0xFF, b1, b2, b3]) + bytes(max(0, length - 4))


def id3(version, flags, size_bytes, body=b""):
    return b"ID3" + bytes([version, 0, flags]) + struct.pack(">I", size_bytes) + body


def info_frame():
    f = bytearray(frame(0xFB, 0x90, 417))
    at = 36
    f[at:at + 8] = b"Info" + struct.pack(">I", 0xF)
    f[at + 8:at + 12] = struct.pack(">I", 100)
    p = at + 8 + 4 + 4 + 100 + 4
    f[p:p + 4] = b"LAME"
    delay, padding = 576, 1000
    f[p + 21:p + 24] = bytes([delay >> 4, (delay & 0xF) << 4 | padding >> 8, padding & 0xFF])
    return bytes(f)


L3 = frame(0xFB, 0x90, 417)
PIECES = {
    "mpeg1-layer3": L3 + L3,
    "mpeg1-layer2": frame(0xFD, 0xA0, 626) * 2,
    "mpeg1-layer1": frame(0xFF, 0xC4, 384) * 2,
    "mpeg2-layer3-mono": frame(0xF3, 0x80, 208, 0xC0) * 2,
    "mpeg25-layer3": frame(0xE3, 0x18, 72) * 2,
    "free-format": frame(0xFB, 0x00, 16),
    "id3v23-then-frames": id3(3, 0, 0x10, bytes(16)) + L3 + L3,
    "id3v24-footer": id3(4, 0x10, 0x10, bytes(26)) + L3,
    "id3-claims-256m": id3(3, 0, 0x7F7F7F7F),
    "info-lame": info_frame() + L3,
    "riff": b"RIFF\x24\x00\x00\x00WAVEfmt \x10\x00\x00\x00",
}


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent / "corpus")
    out.mkdir(parents=True, exist_ok=True)
    for name, data in PIECES.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()
