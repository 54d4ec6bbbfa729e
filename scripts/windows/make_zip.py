#!/usr/bin/env python3
"""Packs a folder into a zip whose bytes depend on the files' names and contents
alone: every entry dated with the given time (seconds since 1970, as UTC), fixed
modes, sorted names, no owner ids and no access or change times. (cmake -E tar's
zip takes the change time and the owner from the disk and the date in the local
time zone.) The entries lie in one folder, so unpacking makes no mess.

    make_zip.py --date SECONDS --folder NAME STAGE OUT.zip
"""

import argparse
import os
import time
import zipfile


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--date", type=int, required=True)
    parser.add_argument("--folder", required=True)
    parser.add_argument("stage")
    parser.add_argument("out")
    args = parser.parse_args()
    # A zip's dates are plain date and time, two seconds apart, from 1980 on.
    date = time.gmtime(max(args.date, 315532800))[:6]
    names = sorted(os.path.relpath(os.path.join(top, name), args.stage)
                   for top, _, files in os.walk(args.stage) for name in files)
    with zipfile.ZipFile(args.out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name in names:
            entry = zipfile.ZipInfo(f"{args.folder}/{name}", date)
            entry.create_system = 0  # Windows: plain file attributes, no owner
            entry.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(args.stage, name), "rb") as f:
                archive.writestr(entry, f.read(), compresslevel=9)


if __name__ == "__main__":
    main()
