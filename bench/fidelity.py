#!/usr/bin/env python3
"""How much of each page's text HTML-to-text converters keep, against lynx.

    python3 bench/fidelity.py --corpus DIR --out DIR \\
        --qln-classic PATH --qln-modern PATH [--timeout 30]

bench/fidelity.sh sets all this up and is the usual way to run it.

Every page of the corpus (its index.tsv) goes through `lynx -dump -nolist`,
whose words are the page's words, and through each converter. Words are runs
of Unicode letters and digits, compared as multisets with case kept; the
marks lynx adds of its own, and qln's link numbers and reference list, are
not counted. For each converter the corpus-wide recall (words of the page it
kept) and precision (its words that belong to the page) are the summed
multiset intersections over the summed word counts; the medians over pages
are shown beside them.
The longest run of blank lines is the largest over all pages, of the whole
output; and again outside preformatted text, where blank lines are the
page's own: each converter also converts the page with its <pre> elements
taken out, and the longest run of those outputs is shown beside. Time is the summed wall time of the runs, peak memory the largest
resident size of one run (from a second run under GNU time).

Each run gets the page as a file (qln: on standard input), writes to a file
and is killed after the timeout; a timeout or a non-zero exit counts as a
failure, and whatever it wrote still counts. The outputs are kept under
OUT/outputs/, the per-page figures in OUT/pages.tsv, the tables in
OUT/table.md.
"""

import argparse
import collections
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import threading
import time

GNU_TIME = "/usr/bin/time"

WORD = re.compile(r"[^\W_]+")

LYNX = ["lynx", "-dump", "-nolist", "-force_html", "-width=80",
        "-assume_charset=utf-8", "-display_charset=utf-8",
        # No "[name.png]" for an image without alt text.
        "-pseudo_inlines"]


def converters(args):
    """(name, command, how the page is given) for each converter."""
    return [
        ("qln classic", [args.qln_classic], "stdin"),
        ("qln modern", [args.qln_modern], "stdin"),
        ("w3m -dump", ["w3m", "-dump", "-T", "text/html", "-I", "UTF-8",
                       "-O", "UTF-8", "-cols", "80"], "file"),
        # -nobs: bold and underline without backspace overstrikes.
        ("html2text (C++)", ["html2text", "-utf8", "-nobs"], "file"),
        # Plain text rather than Markdown: link and image syntax and emphasis
        # marks dropped, their text (and images' alt text) kept.
        ("html2text (Python)", ["html2markdown.py3", "--ignore-links",
                                "--images-to-alt", "--ignore-emphasis",
                                "--unicode-snob", "--decode-errors=replace"],
         "file+utf-8"),
    ]


def spawn(args, stdin_path, stdout_path, timeout):
    """Runs args; returns (status, wall seconds)."""
    env = dict(os.environ, LC_ALL="C.UTF-8")
    with open(stdin_path, "rb") as fin, open(stdout_path, "wb") as fout:
        start = time.perf_counter()
        proc = subprocess.Popen(args, stdin=fin, stdout=fout,
                                stderr=subprocess.DEVNULL, env=env,
                                start_new_session=True)
        killed = threading.Event()

        def kill():
            killed.set()
            try:
                os.killpg(proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        timer = threading.Timer(timeout, kill)
        timer.start()
        # A blocking wait: Popen.wait(timeout) polls, which would blur the time.
        code = proc.wait()
        seconds = time.perf_counter() - start
        timer.cancel()
    if killed.is_set():
        return "timeout", seconds
    return ("ok" if code == 0 else f"exit {code}"), seconds


PRE = re.compile(r"<pre\b.*?</pre\s*>", re.I | re.S)


def without_pre(page, folder):
    """A copy of the page in `folder` with its <pre> elements taken out."""
    with open(page, "rb") as f:
        html = f.read().decode("utf-8", "surrogateescape")
    copy = os.path.join(folder, os.path.basename(page))
    with open(copy, "wb") as f:
        f.write(PRE.sub("", html).encode("utf-8", "surrogateescape"))
    return copy


def run(cmd, how, page, out_path, timeout, measure=True):
    """Converts page into out_path; returns (status, seconds, peak RSS in KiB).

    The peak memory comes from a second run under GNU time: a child of this
    Python process would report Python's own size as its peak."""
    args = list(cmd)
    if how.startswith("file"):
        args.append(page)
    if how == "file+utf-8":
        args.append("utf-8")
    stdin = page if how == "stdin" else os.devnull
    status, seconds = spawn(args, stdin, out_path, timeout)
    rss = None
    if measure and os.access(GNU_TIME, os.X_OK):
        rss_path = out_path + ".rss"
        spawn([GNU_TIME, "-f", "%M", "-o", rss_path] + args, stdin, os.devnull,
              timeout)
        try:
            with open(rss_path) as f:
                rss = int(f.read().split()[-1])
        except (OSError, ValueError, IndexError):
            pass
        if os.path.exists(rss_path):
            os.remove(rss_path)
    return status, seconds, rss


def plain_lynx(text):
    """lynx's text without the marks lynx adds of its own: the first lines
    when they start with "#" (the titles of the page's <link rel> targets),
    each frame's name, the "o" bullet of deeply nested list items,
    "(BUTTON)" and the "[X]" of a ticked box."""
    lines = text.split("\n")
    first = next((i for i, line in enumerate(lines) if line.strip()), 0)
    if lines[first].lstrip().startswith("#"):
        end = first
        while end < len(lines) and lines[end].strip():
            end += 1
        text = "\n".join(lines[:first] + lines[end:])
    text = re.sub(r"^[ \t]*IFRAME: .*$", "", text, flags=re.M)
    text = re.sub(r"^([ \t]{6,})o ", r"\1  ", text, flags=re.M)
    return re.sub(r"\(BUTTON\)|\[X\]", " ", text)


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("utf-8", "replace")


def strip_qln_links(text):
    """qln's text without its link numbers and its reference list.

    The list runs from the last line "Hyperlink Reference:" to the end; a
    link number is "[n]" with an n that the list holds, wherever it stands
    (after a word, a space or punctuation)."""
    lines = text.split("\n")
    start = None
    for i, line in enumerate(lines):
        if line.rstrip("\r") == "Hyperlink Reference:":
            start = i
    if start is None:
        return text
    numbers = set()
    for line in lines[start + 1:]:
        m = re.match(r"\.\. \[(\d+)\]", line)
        if m:
            numbers.add(m.group(1))
    body = "\n".join(lines[:start])
    return re.sub(r"\[(\d+)\]",
                  lambda m: "" if m.group(1) in numbers else m.group(0), body)


def longest_blank_run(text):
    lines = text.split("\n")
    if lines[-1] == "":
        lines.pop()  # after the last line end
    longest = run_ = 0
    for line in lines:
        run_ = run_ + 1 if not line.strip() else 0
        longest = max(longest, run_)
    return longest


def words(text):
    return collections.Counter(WORD.findall(text))


def slug(name):
    return re.sub(r"[^a-z0-9]+", "-", name.lower().replace("+", "p")).strip("-")


class Totals:
    def __init__(self):
        self.common = self.ref = self.own = 0
        self.recalls, self.precisions = [], []
        self.blank_run = 0
        self.blank_run_outside_pre = 0
        self.seconds = 0.0
        self.rss_kib = None
        self.failures = []


def fmt(x, digits=2):
    return "–" if x is None else f"{x:.{digits}f}"


def ratio(a, b):
    return a / b if b else None


def mib(kib):
    return "–" if kib is None else f"{kib / 1024:.1f}"


def median(xs):
    return statistics.median(xs) if xs else None


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--corpus", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--qln-classic", required=True)
    ap.add_argument("--qln-modern", required=True)
    ap.add_argument("--timeout", type=float, default=30)
    args = ap.parse_args()

    with open(os.path.join(args.corpus, "index.tsv")) as f:
        pages = [line.split("\t")[0] for line in f.read().splitlines()[1:]]

    convs = []
    for name, cmd, how in converters(args):
        if shutil.which(cmd[0]):
            convs.append((name, cmd, how))
        else:
            print(f"{name}: {cmd[0]} not found; left out", file=sys.stderr)
    reference = ("lynx -dump (reference)", LYNX, "file")
    totals = {name: Totals() for name, _, _ in convs + [reference]}
    for name, _, _ in convs + [reference]:
        os.makedirs(os.path.join(args.out, "outputs", slug(name)), exist_ok=True)
    no_pre = os.path.join(args.out, "pages-without-pre")
    os.makedirs(no_pre, exist_ok=True)
    scratch = os.path.join(args.out, "without-pre.txt")

    tsv = open(os.path.join(args.out, "pages.tsv"), "w")
    tsv.write("page\tconverter\tstatus\trecall\tprecision\tlongest_blank_run"
              "\tlongest_blank_run_outside_pre\tseconds\tpeak_rss_kib\n")
    skipped = []
    for n, page in enumerate(pages, 1):
        print(f"\r[{n}/{len(pages)}] {page[:60]:<60}", end="", file=sys.stderr)
        path = os.path.join(args.corpus, page)
        path_without_pre = without_pre(path, no_pre)
        results = {}
        # Each page starts with the next program, so that none always runs
        # first (on a cold cache) or right after the same other one.
        programs = [reference] + convs
        k = n % len(programs)
        for name, cmd, how in programs[k:] + programs[:k]:
            out = os.path.join(args.out, "outputs", slug(name), page + ".txt")
            status, seconds, rss = run(cmd, how, path, out, args.timeout)
            text = read_text(out)
            counted = strip_qln_links(text) if name.startswith("qln") else text
            if name == reference[0]:
                counted = plain_lynx(counted)
            run(cmd, how, path_without_pre, scratch, args.timeout, measure=False)
            blank_outside_pre = longest_blank_run(read_text(scratch))
            results[name] = (status, seconds, rss, text, words(counted), blank_outside_pre)
        if results[reference[0]][0] != "ok":
            skipped.append(f"{page} (lynx: {results[reference[0]][0]})")
            continue
        ref_words = results[reference[0]][4]
        ref_count = sum(ref_words.values())
        for name, _, _ in convs + [reference]:
            status, seconds, rss, text, own, blank_outside_pre = results[name]
            t = totals[name]
            common = sum((own & ref_words).values())
            own_count = sum(own.values())
            t.common += common
            t.ref += ref_count
            t.own += own_count
            recall, precision = ratio(common, ref_count), ratio(common, own_count)
            if recall is not None:
                t.recalls.append(recall)
            if precision is not None:
                t.precisions.append(precision)
            blank = longest_blank_run(text)
            t.blank_run = max(t.blank_run, blank)
            t.blank_run_outside_pre = max(t.blank_run_outside_pre, blank_outside_pre)
            t.seconds += seconds
            if rss is not None:
                t.rss_kib = max(t.rss_kib or 0, rss)
            if status != "ok":
                t.failures.append(f"{page} ({status})")
            tsv.write(f"{page}\t{name}\t{status}\t{fmt(recall, 3)}\t{fmt(precision, 3)}"
                      f"\t{blank}\t{blank_outside_pre}\t{seconds:.4f}"
                      f"\t{'' if rss is None else rss}\n")
    tsv.close()
    print(file=sys.stderr)

    names = [name for name, _, _ in convs] + [reference[0]]
    measured = len(pages) - len(skipped)
    lines = [
        f"{measured} pages, {totals[reference[0]].ref} words in lynx's text"
        + (f"; {len(skipped)} pages left out: {', '.join(skipped)}" if skipped else ""),
        "",
        "| converter | words of the page kept (recall) "
        "| words that belong to the page (precision) | longest run of blank lines "
        "| outside pre |",
        "|---|---:|---:|---:|---:|",
    ]
    for name in names:
        t = totals[name]
        lines.append(f"| {name} | {fmt(ratio(t.common, t.ref), 3)} "
                     f"| {fmt(ratio(t.common, t.own), 3)} | {t.blank_run} "
                     f"| {t.blank_run_outside_pre} |")
    lines += [
        "",
        "| converter | median recall per page | median precision per page "
        "| failed pages | total time (s) | peak memory (MiB) |",
        "|---|---:|---:|---:|---:|---:|",
    ]
    for name in names:
        t = totals[name]
        lines.append(f"| {name} | {fmt(median(t.recalls))} "
                     f"| {fmt(median(t.precisions))} | {len(t.failures)} "
                     f"| {t.seconds:.2f} | {mib(t.rss_kib)} |")
    failures = [f"{name} failed on {failure}"
                for name in names for failure in totals[name].failures]
    if failures:
        lines += [""] + failures
    table = "\n".join(lines) + "\n"
    with open(os.path.join(args.out, "table.md"), "w") as f:
        f.write(table)
    print(table, end="")


if __name__ == "__main__":
    main()
