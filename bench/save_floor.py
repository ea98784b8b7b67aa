#!/usr/bin/env python3
"""The file system's floor for a folder run: each pNNNNN.html page of the
folder copied, unconverted, to pNNNNN.txt the way qln saves a file (a new
temporary file, written, synced to the disk, renamed into place), so that
a run of qln over the folder can be set against what the saves alone cost.

    save_floor.py FOLDER
"""
import os
import sys


def main():
    folder = sys.argv[1]
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".html"):
            continue
        with open(os.path.join(folder, name), "rb") as page:
            data = page.read()
        stem = os.path.join(folder, name[: -len(".html")])
        temp = os.path.join(folder, "." + os.path.basename(stem) + ".tmp")
        fd = os.open(temp, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644)
        os.write(fd, data)
        os.fsync(fd)
        os.close(fd)
        os.rename(temp, stem + ".txt")


if __name__ == "__main__":
    main()
