#!/usr/bin/env python3
"""Writes reference-split.txt: where Python's mailbox module cuts every message of the
shared corpus's mbox files, as byte offsets, so that the tests can compare the import's
messages with an independent splitter without copying the corpus.

Usage: make-reference-split.py CORPUS_DIR > reference-split.txt
"""
import mailbox
import pathlib
import sys

# mailbox.mbox splits at every line that begins "From ", even an unquoted body line after
# an empty line. For these files its cut is wrong, and the offsets come from the message
# starts named here instead (the body lines "From Russia with love" and "From time to
# time" stay inside their messages; a byte-order mark is not part of the first message).
HAND_CUT = {
    "mimekit/unmunged.mbox.txt": b"From -\n",
    "cpython/mailbox_01.mbox": b"From MAILER-DAEMON",
}


def hand_cut(data, start_line):
    starts, pos = [], 0
    while (pos := data.find(start_line, pos)) >= 0:
        if pos == 0 or data[pos - 1 : pos] in (b"\n", b"\xbf"):
            starts.append(pos)
        pos += 1
    return list(zip(starts, starts[1:] + [len(data)]))


def main():
    corpus = pathlib.Path(sys.argv[1]) / "mbox"
    print("# <file under the corpus's mbox/> <start> <stop>: one line per message, its")
    print("# envelope line included; written by make-reference-split.py")
    for path in sorted(corpus.rglob("*")):
        name = path.relative_to(corpus).as_posix()
        if not path.is_file() or path.suffix == ".md" or "LICENSE" in name:
            continue
        data = path.read_bytes()
        if name in HAND_CUT:
            cuts = hand_cut(data, HAND_CUT[name])
        else:
            box = mailbox.mbox(path, create=False)
            box._generate_toc()
            cuts = [box._toc[key] for key in sorted(box._toc)]
        for start, stop in cuts:
            print(name, start, stop)


if __name__ == "__main__":
    main()
