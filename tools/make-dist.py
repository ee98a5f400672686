#!/usr/bin/env python3
"""Packs the release zip: dist/quorvel-VERSION-win64.zip with quorvel.exe,
help.html, 说明.txt and their SHA256SUMS, in a folder quorvel-VERSION, and
dist/SHA256SUMS for the zip itself.

    make-dist.py WIN32_BUILD_DIR [DIST_DIR]

The version is the CMake project version. The zip is reproducible: entries in
a fixed order, each stamped with SOURCE_DATE_EPOCH (default: the time of the
last commit), fixed permissions and compression.
"""

import hashlib
import os
import re
import subprocess
import sys
import time
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(\s*quorvel\s+VERSION\s+([0-9.]+)", text).group(1)


def source_date_epoch():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    done = subprocess.run(["git", "-C", str(ROOT), "log", "-1", "--format=%ct"],
                          capture_output=True, text=True)
    return int(done.stdout.strip()) if done.returncode == 0 and done.stdout.strip() else 315532800


def readme(version):
    """说明.txt as Notepad on a Chinese Windows 7 reads it: UTF-8 with a BOM, CRLF."""
    text = (ROOT / "docs" / "说明.txt").read_text(encoding="utf-8").replace("@VERSION@", version)
    return "\ufeff".encode("utf-8") + text.replace("\n", "\r\n").encode("utf-8")


class GbkName(zipfile.ZipInfo):
    """An entry whose name is stored in code page 936, as Explorer on a Chinese
    Windows reads names without the UTF-8 flag (Windows 7's ignores the flag),
    with the Info-ZIP Unicode path field for other unzip tools."""

    def _encodeFilenameFlags(self):
        try:
            return self.filename.encode("ascii"), self.flag_bits
        except UnicodeEncodeError:
            return self.filename.encode("cp936"), self.flag_bits


def unicode_path_field(name):
    encoded = name.encode("cp936")
    body = b"\x01" + (zipfile.crc32(encoded) & 0xFFFFFFFF).to_bytes(4, "little") + name.encode("utf-8")
    return (0x7075).to_bytes(2, "little") + len(body).to_bytes(2, "little") + body


def main():
    if len(sys.argv) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 2
    build = Path(sys.argv[1])
    dist = Path(sys.argv[2] if len(sys.argv) == 3 else ROOT / "dist")
    version = project_version()
    files = {
        "quorvel.exe": (build / "quorvel.exe").read_bytes(),
        "help.html": (build / "help.html").read_bytes(),
        "说明.txt": readme(version),
    }
    files["SHA256SUMS"] = "".join(
        f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in sorted(files.items())
    ).encode("utf-8")

    stamp = time.gmtime(max(source_date_epoch(), 315532800))[:6]  # zip times start in 1980
    folder = f"quorvel-{version}"
    dist.mkdir(parents=True, exist_ok=True)
    target = dist / f"quorvel-{version}-win64.zip"
    partial = target.with_suffix(".zip.part")
    with zipfile.ZipFile(partial, "w") as zf:
        for name in sorted(files):
            path = f"{folder}/{name}"
            info = GbkName(path, date_time=stamp)
            info.create_system = 0  # MS-DOS: attributes as Windows keeps them
            info.external_attr = 0x20  # archive
            info.compress_type = zipfile.ZIP_DEFLATED
            if not path.isascii():
                info.extra = unicode_path_field(path)
            zf.writestr(info, files[name], compresslevel=9)
    partial.replace(target)
    digest = hashlib.sha256(target.read_bytes()).hexdigest()
    (dist / "SHA256SUMS").write_text(f"{digest}  {target.name}\n", encoding="utf-8")
    print(f"{target} {digest}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
