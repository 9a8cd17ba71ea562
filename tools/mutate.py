#!/usr/bin/env python3
"""Mutation testing of the plug-in's own code against the fast native suite.

One mutant at a time: a single change to one line of host/, state/, view/ or
window/ (an operator flipped, a constant moved by one, a call or state write
deleted, a null check inverted) is written into a scratch copy of the tree,
rebuilt incrementally in that copy's native preset, and run against the native
tests. A mutant is killed when a test fails, crashes or hangs; it survives when
every test passes; it did not build when the compiler refused it. Survivors
are printed as file:line with their change, except those that docs/TESTING.md
lists as equivalent (a change no host, stored setting or pixel can see).

  tools/mutate.py                   every mutant
  tools/mutate.py --mutants 40 --seed 3   a seeded sample of 40
  tools/mutate.py --survivors       the last run's survivors again (after new tests)
  tools/mutate.py --list            the mutants, without running anything

The last line is the verdict:
  mutation: K of B built mutants killed (S.SS), E listed as equivalent, N did not build
where B counts the built mutants not listed as equivalent.
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import threading
import time
from dataclasses import dataclass

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE_DIRS = ("host", "state", "view", "window")
SCRATCH = os.path.join(ROOT, "build", "mutate")
TARGETS = ("tavimo_tests", "alloc_tests", "native_driver")
EQUIVALENTS_DOC = os.path.join(ROOT, "docs", "TESTING.md")


@dataclass(frozen=True)
class Mutant:
    path: str      # relative to the tree, e.g. view/geometry.cpp
    line: int      # 1-based
    start: int     # column of the replaced text in the line
    end: int
    replacement: str
    change: str    # what a reader sees, e.g. "< -> <="

    def apply(self, lines):
        text = lines[self.line - 1]
        out = list(lines)
        out[self.line - 1] = text[: self.start] + self.replacement + text[self.end :]
        return out

    def where(self):
        return f"{self.path}:{self.line}"


# --- Finding mutants -------------------------------------------------------

TOKEN = re.compile(
    r"""
    (?P<space>\s+)
  | (?P<string>"(?:\\.|[^"\\])*"|'(?:\\.|[^'\\])*')
  | (?P<number>0[xX][0-9A-Fa-f]+[uUlL]*|\d+[uUlL]*)
  | (?P<ident>[A-Za-z_]\w*)
  | (?P<op><<=|>>=|->|::|\+\+|--|&&|\|\||<=|>=|==|!=|\+=|-=|<<|>>|[-+*/%<>=!&|^~?:;,.(){}\[\]])
    """,
    re.VERBOSE,
)

# Words before a '<' that opens a template argument list, not a comparison.
TEMPLATE_WORDS = {
    "static_cast", "reinterpret_cast", "const_cast", "numeric_limits", "array",
    "integer_sequence", "template", "vector", "unique_ptr", "clamp",
}

SWAPS = {
    "<": ["<=", ">"], "<=": ["<", ">"], ">": [">=", "<"], ">=": [">", "<"],
    "==": ["!="], "!=": ["=="], "&&": ["||"], "||": ["&&"],
    "+": ["-"], "-": ["+"], "+=": ["-="], "-=": ["+="], "++": ["--"], "--": ["++"],
}

# Lines that only describe layout or are not code the plug-in runs.
SKIP_LINE = re.compile(r"^\s*(#|static_assert\b|//)|^\s*$")

# A declaration starts with a type: these words, or two names in a row.
DECLARATION_WORDS = {"const", "constexpr", "static", "auto", "unsigned", "int", "long", "char", "bool",
                     "return", "if", "for", "while", "switch", "case", "default", "break", "using",
                     "struct", "namespace", "extern", "typedef", "enum", "else", "do", "inline"}


def tokens(text):
    pos = 0
    out = []
    while pos < len(text):
        if text.startswith("//", pos):
            break
        m = TOKEN.match(text, pos)
        if not m:
            pos += 1
            continue
        kind = m.lastgroup
        if kind != "space":
            out.append((kind, m.group(), m.start(), m.end()))
        pos = m.end()
    return out


def strip_block_comments(lines):
    """Blanks /* ... */ comments so that nothing inside them is mutated."""
    out, inside = [], False
    for text in lines:
        chars = list(text)
        i = 0
        while i < len(chars):
            if inside:
                if text.startswith("*/", i):
                    chars[i] = chars[i + 1] = " "
                    inside = False
                    i += 2
                    continue
                chars[i] = " "
            elif text.startswith("/*", i):
                inside = True
                chars[i] = chars[i + 1] = " "
                i += 2
                continue
            elif text.startswith("//", i):
                break
            i += 1
        out.append("".join(chars))
    return out


def operator_mutants(path, number, toks):
    found = []
    template_depth = 0
    for i, (kind, text, start, end) in enumerate(toks):
        prev = toks[i - 1] if i > 0 else None
        if kind == "op" and text == "<" and prev and prev[0] == "ident" and prev[1] in TEMPLATE_WORDS:
            template_depth += 1
            continue
        if kind == "op" and text == ">" and template_depth > 0:
            template_depth -= 1
            continue
        if kind == "op" and text in SWAPS:
            if text in ("+", "-"):
                # Binary only: a unary sign follows an operator or an opening bracket.
                if prev is None or not (prev[0] in ("ident", "number") or prev[1] in (")", "]")):
                    continue
            for repl in SWAPS[text]:
                found.append(Mutant(path, number, start, end, repl, f"{text} -> {repl}"))
        elif kind == "op" and text == "!" and i + 1 < len(toks) and toks[i + 1][1] != "=":
            found.append(Mutant(path, number, start, end, "", "drop !"))
        elif kind == "number":
            digits = re.match(r"0[xX][0-9A-Fa-f]+|\d+", text).group()
            suffix = text[len(digits):]
            value = int(digits, 0)
            repl = (hex(value + 1) if digits.lower().startswith("0x") else str(value + 1)) + suffix
            found.append(Mutant(path, number, start, end, repl, f"{text} -> {repl}"))
    return found


def statement_mutants(path, number, text, toks):
    """Deletes an expression statement: a call or a write, standing alone on
    its line or after a case label."""
    found = []
    if not toks:
        return found
    # After 'case X:' or 'default:' the statements of one line.
    begin = 0
    if toks[0][1] in ("case", "default"):
        colon = next((j for j, t in enumerate(toks) if t[1] == ":" and (j + 1 >= len(toks) or toks[j + 1][1] != ":")), None)
        if colon is None:
            return found
        begin = colon + 1
    j = begin
    while j < len(toks):
        end = next((k for k in range(j, len(toks)) if toks[k][1] == ";"), None)
        if end is None:
            break
        stmt = toks[j:end + 1]
        j = end + 1
        first = stmt[0]
        if first[0] != "ident" or first[1] in DECLARATION_WORDS or len(stmt) < 3:
            continue
        second = stmt[1]
        if second[0] == "ident" or second[1] in ("*", "&"):
            continue  # a declaration: Type name ...
        if not any(t[1] in ("(", "=", "+=", "-=", "++", "--") for t in stmt):
            continue
        s, e = stmt[0][2], stmt[-1][3]
        shown = text[s:e]
        found.append(Mutant(path, number, s, e, ";", f"delete {shown}"))
    return found


def find_mutants():
    mutants = []
    for folder in SOURCE_DIRS:
        for name in sorted(os.listdir(os.path.join(ROOT, folder))):
            if not name.endswith((".cpp", ".h")):
                continue
            path = f"{folder}/{name}"
            with open(os.path.join(ROOT, path), encoding="utf-8") as f:
                original = f.read().split("\n")
            cleaned = strip_block_comments(original)
            continued = False  # the line goes on a statement begun above
            for number, text in enumerate(cleaned, 1):
                if SKIP_LINE.match(text):
                    continue
                toks = tokens(text)
                mutants += operator_mutants(path, number, toks)
                # Headers hold records and declarations, not statements.
                if path.endswith(".cpp") and not continued:
                    mutants += statement_mutants(path, number, text, toks)
                continued = bool(toks) and toks[-1][1] not in (";", "{", "}", ":")
    return mutants


# --- Equivalent mutants, as docs/TESTING.md lists them ----------------------

def read_equivalents():
    """Rows of the doc's equivalents table: | file | function | code | change | reason |."""
    rows = []
    if not os.path.exists(EQUIVALENTS_DOC):
        return rows
    with open(EQUIVALENTS_DOC, encoding="utf-8") as f:
        text = f.read()
    section = text.split("## Equivalent mutants", 1)
    if len(section) < 2:
        return rows
    for line in section[1].splitlines():
        if line.startswith("## "):
            break
        # Cells split at the pipes that Markdown does not escape.
        cells = [c.strip().replace("\\|", "|") for c in re.split(r"(?<!\\)\|", line.strip().strip("|"))]
        if len(cells) != 5 or cells[0] in ("file", "") or set(cells[0]) <= set("-: "):
            continue
        path, function, code, change, reason = cells
        rows.append((path, function, code.strip("`"), change.strip("`"), reason))
    return rows


def enclosing_function(lines, number):
    """The name of the function around a line: the name before the first '('
    of the nearest line at or above it that starts at column 0."""
    for text in reversed(lines[:number]):
        if text[:1].isalpha() and "(" in text and not text.startswith(("namespace", "struct", "enum")):
            m = re.search(r"(\w+)\s*\(", text)
            return m.group(1) if m else ""
    return ""


def is_equivalent(mutant, lines, rows):
    source_line = lines[mutant.line - 1]
    return any(path == mutant.path and code in source_line and change == mutant.change
               and (not function or function == enclosing_function(lines, mutant.line))
               for path, function, code, change, _ in rows)


# --- Running ---------------------------------------------------------------

def run(cmd, cwd, timeout=None):
    try:
        p = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
        return p.returncode, p.stdout.decode(errors="replace")
    except subprocess.TimeoutExpired:
        return "timeout", ""


# The record layouts are pinned for 32-bit Windows only (the native build is
# 64-bit): a file that pins one is first compiled for the real target, so a
# mutant that moves a word is refused as the real build refuses it.
WIN32_COMPILER = "i686-w64-mingw32-g++-posix"
SKIPPED = (".git", "build", "out", "dist")


class Worker:
    """One scratch copy of the tree with its own native build."""

    def __init__(self, index, jobs):
        self.copy = os.path.join(SCRATCH, f"tree-{index}")
        self.build_dir = os.path.join(self.copy, "build", "native")
        self.jobs = jobs

    def prepare(self):
        """Brings the copy up to the tree. A file whose bytes differ is written
        anew, so that it is newer than anything built from an earlier mutant."""
        def copy_if_changed(src, dst):
            with open(src, "rb") as f:
                data = f.read()
            if os.path.exists(dst):
                with open(dst, "rb") as f:
                    if f.read() == data:
                        return dst
            with open(dst, "wb") as f:
                f.write(data)
            shutil.copymode(src, dst)
            return dst

        ignore = shutil.ignore_patterns(*SKIPPED)
        os.makedirs(self.copy, exist_ok=True)
        for entry in os.listdir(ROOT):
            if entry in SKIPPED:
                continue
            src, dst = os.path.join(ROOT, entry), os.path.join(self.copy, entry)
            if os.path.isdir(src):
                shutil.copytree(src, dst, ignore=ignore, dirs_exist_ok=True, copy_function=copy_if_changed)
            else:
                copy_if_changed(src, dst)
        code, out = run(["cmake", "--preset", "native"], self.copy)
        if code != 0:
            raise RuntimeError("mutate: configuring the scratch copy failed:\n" + out)

    def build(self, path):
        with open(os.path.join(self.copy, path), encoding="utf-8") as f:
            pins_layout = "static_assert" in f.read()
        if pins_layout and shutil.which(WIN32_COMPILER):
            code, out = run([WIN32_COMPILER, "-std=c++20", "-fsyntax-only", "-I", self.copy, "-x", "c++", path],
                            self.copy)
            if code != 0:
                return False, out
        code, out = run(["ninja", "-C", self.build_dir, f"-j{self.jobs}"] + list(TARGETS), self.copy)
        return code == 0, out

    def steps(self):
        b = self.build_dir
        return [
            ([os.path.join(b, "tests", "tavimo_tests"), "--gtest_fail_fast", "--gtest_brief=1"], "tavimo_tests"),
            ([os.path.join(b, "tests", "alloc_tests"), "--gtest_fail_fast", "--gtest_brief=1"], "alloc_tests"),
            (["ctest", "--test-dir", b, "-R", r"^e2e\.", "--stop-on-failure", "-Q"], "e2e scenarios"),
        ]

    def time_steps(self):
        """Each step's time on the unmutated copy; None when one fails."""
        times = []
        for cmd, _ in self.steps():
            t0 = time.time()
            code, _ = run(cmd, self.build_dir)
            if code != 0:
                return None
            times.append(time.time() - t0)
        return times

    def test(self, timeouts):
        """None when every fast native test passes; else what failed first. A
        step that takes ten times its usual time (a mutant that loops) hangs."""
        for (cmd, name), limit in zip(self.steps(), timeouts):
            code, _ = run(cmd, self.build_dir, limit)
            if code == "timeout":
                return f"{name} hung"
            if code != 0:
                return f"{name} failed"
        return None

    def write(self, path, lines):
        with open(os.path.join(self.copy, path), "w", encoding="utf-8") as f:
            f.write("\n".join(lines))


def read_sources(mutants):
    sources = {}
    for m in mutants:
        if m.path not in sources:
            with open(os.path.join(ROOT, m.path), encoding="utf-8") as f:
                sources[m.path] = f.read().split("\n")
    return sources


def share_out(mutants, count):
    """Whole files to each worker, the largest first to the least loaded."""
    by_file = {}
    for m in mutants:
        by_file.setdefault(m.path, []).append(m)
    shares = [[] for _ in range(count)]
    for path in sorted(by_file, key=lambda p: -len(by_file[p])):
        min(shares, key=len).extend(by_file[path])
    return [sorted(s, key=lambda m: (m.path, m.line, m.start, m.change)) for s in shares if s]


def earlier_survivors():
    """(where, change) of the survivors in the last report."""
    path = os.path.join(SCRATCH, "report.txt")
    if not os.path.exists(path):
        sys.exit("mutate: no earlier report to recheck")
    found = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            cells = line.rstrip("\n").split("\t")
            if cells[0] == "survived":
                found.add((cells[1], cells[2]))
    return found


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--mutants", type=int, default=0, help="a seeded sample of this many (0: all)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--jobs", type=int, default=min(2, os.cpu_count() or 1), help="scratch copies at work at once")
    ap.add_argument("--survivors", action="store_true", help="only the last report's survivors, again")
    ap.add_argument("--list", action="store_true", help="print the mutants and stop")
    args = ap.parse_args()

    mutants = find_mutants()
    if args.survivors:
        again = earlier_survivors()
        mutants = [m for m in mutants if (m.where(), m.change) in again]
    if args.mutants and args.mutants < len(mutants):
        mutants = random.Random(args.seed).sample(mutants, args.mutants)
    mutants.sort(key=lambda m: (m.path, m.line, m.start, m.change))
    if args.list:
        for m in mutants:
            print(f"{m.where()}: {m.change}")
        print(f"mutate: {len(mutants)} mutants")
        return 0

    equivalents = read_equivalents()
    sources = read_sources(mutants)
    started = time.time()
    shares = share_out(mutants, max(1, args.jobs))
    workers = [Worker(i, 1 if len(shares) > 1 else 2) for i in range(len(shares))]
    timeouts = []

    problems = []

    def ready(w):
        w.prepare()
        ok, out = w.build(shares[workers.index(w)][0].path)
        if not ok:
            problems.append("mutate: the unmutated copy does not build:\n" + out)
            return
        times = w.time_steps()
        if times is None:
            problems.append(f"mutate: the unmutated copy in {w.copy} fails its tests")
            return
        timeouts.append([max(10.0, 10 * t) for t in times])

    prepared = [threading.Thread(target=ready, args=(w,)) for w in workers]
    for t in prepared:
        t.start()
    for t in prepared:
        t.join()
    if problems:
        print("\n".join(problems), file=sys.stderr)
        return 1
    timeout = [max(step) for step in zip(*timeouts)]

    counts = {"killed": 0, "survived": 0, "equivalent": 0, "not built": 0}
    done = [0]
    lock = threading.Lock()
    report = open(os.path.join(SCRATCH, "report.txt"), "w", encoding="utf-8")

    def work(w, share):
        current = None
        for m in share:
            if current and current != m.path:
                w.write(current, sources[current])
            current = m.path
            lines = sources[m.path]
            w.write(m.path, m.apply(lines))
            built, _ = w.build(m.path)
            if not built:
                verdict, kind = "not built", "not built"
            else:
                failure = w.test(timeout)
                if failure:
                    verdict, kind = f"killed ({failure})", "killed"
                elif is_equivalent(m, lines, equivalents):
                    verdict, kind = "equivalent", "equivalent"
                else:
                    verdict, kind = "survived", "survived"
            with lock:
                counts[kind] += 1
                done[0] += 1
                if kind == "survived":
                    print(f"survived {m.where()}: {m.change}    {lines[m.line - 1].strip()}", flush=True)
                report.write(f"{verdict}\t{m.where()}\t{m.change}\t{lines[m.line - 1].strip()}\n")
                report.flush()
                if done[0] % 25 == 0:
                    print(f"mutate: {done[0]} of {len(mutants)} done, {counts['killed']} killed, "
                          f"{counts['survived']} survived, {int(time.time() - started)} s", flush=True)
        if current:
            w.write(current, sources[current])

    threads = [threading.Thread(target=work, args=(w, s)) for w, s in zip(workers, shares)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    report.close()

    killed, survived = counts["killed"], counts["survived"]
    built_count = killed + survived
    score = killed / built_count if built_count else 1.0
    print(f"mutate: {len(mutants)} mutants in {int(time.time() - started)} s with {len(workers)} scratch copies; "
          f"every verdict in {os.path.relpath(SCRATCH, ROOT)}/report.txt")
    print(f"mutation: {killed} of {built_count} built mutants killed ({score:.2f}), "
          f"{counts['equivalent']} listed as equivalent, {counts['not built']} did not build")
    return 0


if __name__ == "__main__":
    sys.exit(main())
