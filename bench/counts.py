#!/usr/bin/env python3
"""Instructions per operation, counted rather than timed: exact and the same on every
run, so that a rise of 2 % is a change in the code and not noise.

count_driver runs each operation k and then 2k times between calls of
count_boundary(). On 32-bit ARM qemu-arm's log of translated blocks (in_asm) and of
their executions (exec, with chaining off so that every execution is logged) gives the
guest instructions between two boundaries; on the host callgrind dumps its counts on
entering the boundary. A row is (count of the 2k run - count of the k run) / k.

Usage:
  counts.py measure TARGET BUILD_DIR OUT.json [PREFIX]   run one build's driver
  counts.py table OUT.json...                           print the table
  counts.py check BASELINE.json OUT.json...             fail on a row up by > 2 %
  counts.py baseline BASELINE.json OUT.json...          write the baseline
"""

import json
import os
import shlex
import subprocess
import sys
import tempfile

TOLERANCE = 0.02
# The targets, in the table's order: (name, what it is).
TARGETS = (
    ("armv7-clang", "32-bit ARM, clang 14, Thumb-2, libc++ (qemu-arm)"),
    ("armhf", "32-bit ARM, GCC 12, libstdc++ (qemu-arm)"),
    ("x86-64", "x86-64, GCC 12, libstdc++ (callgrind)"),
)


def driver_command(build):
    with open(os.path.join(build, "bench", "count-driver.txt")) as f:
        return shlex.split(f.read())


def qemu_segments(command):
    """Guest instructions between successive count_boundary() calls under qemu-arm."""
    emulator, rest = command[0], command[1:]
    command = [emulator, "-d", "in_asm,exec,nochain"] + rest
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               text=True, errors="replace", bufsize=1 << 20)
    blocks = {}  # host address of a translated block -> its guest instructions
    segments = [0]
    pending = None  # a block just translated: its first execution follows
    in_block = False
    boundary = None  # guest address of count_boundary's entry
    for line in process.stderr:
        if line.startswith("Trace"):
            # Trace 0: HOST [cs_base/pc/flags/cflags] symbol
            fields = line.split()
            host = fields[2]
            if pending is not None:
                blocks[host] = pending
                pending = None
            if len(fields) > 4 and fields[4] == "count_boundary":
                pc = fields[3].split("/")[1]
                if boundary is None:
                    boundary = pc
                if pc == boundary:
                    segments.append(0)
            segments[-1] += blocks[host]
        elif line.startswith("IN:"):
            in_block, pending = True, 0
        elif in_block:
            if line.startswith("0x"):
                pending += 1
            elif not line.strip():
                in_block = False
    labels = process.stdout.read().splitlines()
    if process.wait() != 0:
        sys.exit("count_driver failed under qemu-arm")
    return labels, segments


def callgrind_segments(command):
    """Instructions between successive count_boundary() calls under callgrind."""
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, "callgrind.out")
        result = subprocess.run(
            ["valgrind", "--tool=callgrind", "--dump-before=count_boundary",
             "--callgrind-out-file=" + out] + command,
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        if result.returncode != 0:
            sys.exit("count_driver failed under callgrind:\n" + result.stderr)
        labels = result.stdout.splitlines()
        segments = []
        # Dump j holds what ran before the j-th boundary was entered.
        for j in range(1, len(labels) + 1):
            with open("%s.%d" % (out, j)) as f:
                total = [l for l in f if l.startswith("totals:")][0]
            segments.append(int(total.split()[1]))
    return labels, segments


def per_operation(labels, segments):
    # Segment 0 ran before the first boundary; segment i after the i-th, labelled i - 1.
    runs = {}
    for label, count in zip(labels, segments[1:]):
        words = label.split()
        if words[0] == "run":
            runs.setdefault(words[1], []).append((int(words[2]), count))
    rows = {}
    for name, pair in runs.items():
        (k, once), (_, twice) = sorted(pair)
        rows[name] = (twice - once) / k
    return rows


def measure(target, build, out, prefix=None):
    command = driver_command(build) + ([prefix] if prefix else [])
    if target == "x86-64":
        labels, segments = callgrind_segments(command)
    else:
        labels, segments = qemu_segments(command)
    rows = per_operation(labels, segments)
    with open(out, "w") as f:
        json.dump({"target": target, "rows": rows}, f, indent=1, sort_keys=True)


def load(paths):
    """{target: {row: instructions per operation}} from measure's files."""
    result = {}
    for path in paths:
        with open(path) as f:
            data = json.load(f)
        result.setdefault(data["target"], {}).update(data["rows"])
    return result


def entries_of(row):
    last = row.rsplit("/", 1)[-1]
    return int(last) if last.isdigit() else None


PHASES = ("build", "encode", "decode", "lookup")


def ordered(names):
    def key(name):
        phase = name.split("/", 1)[0]
        return (phase not in PHASES, entries_of(name) or 0,
                PHASES.index(phase) if phase in PHASES else 0, name)
    return sorted(names, key=key)


def fmt(count):
    return "{:,}".format(int(round(count)))


def table(paths):
    counts = load(paths)
    targets = [t for t, _ in TARGETS if t in counts]
    names = ordered(set().union(*(counts[t] for t in targets)))
    header = ["operation"]
    for target in targets:
        header += [target, "/msgpack"]
    lines = []
    for name in names:
        n = entries_of(name)
        line = [name]
        for target in targets:
            rows = counts[target]
            mine = rows.get(name)
            peer = rows.get(name.replace("/bundle/", "/msgpack/")) if "/bundle/" in name else None
            line += [fmt(mine / (n or 1)) if mine is not None else "-",
                     "%.2f" % (mine / peer) if mine and peer else ""]
        lines.append(line)
    print("Instructions per entry (rows of N entries) or per call; /msgpack: bundle over "
          "msgpack-c++ built the same way")
    for target in targets:
        print("  %s: %s" % (target, dict(TARGETS)[target]))
    widths = [max(len(l[i]) for l in [header] + lines) for i in range(len(header))]
    for line in [header, ["-" * w for w in widths]] + lines:
        print("  ".join(c.ljust(w) if i == 0 else c.rjust(w)
                        for i, (c, w) in enumerate(zip(line, widths))))
    print()


def check(baseline_path, paths):
    with open(baseline_path) as f:
        baseline = json.load(f)
    counts = load(paths)
    risen, missing = [], []
    for target, rows in baseline.items():
        if target not in counts:
            continue
        for name, before in sorted(rows.items()):
            now = counts[target].get(name)
            if now is None:
                missing.append("%s %s" % (target, name))
            elif now > before * (1 + TOLERANCE):
                risen.append("%s %s: %s -> %s (+%.1f %%)" % (
                    target, name, fmt(before), fmt(now), 100.0 * (now / before - 1)))
    for line in missing:
        print("missing row: " + line)
    for line in risen:
        print("risen by more than %d %%: %s" % (TOLERANCE * 100, line))
    if risen or missing:
        print("bench-check failed; if the rise is meant, refresh with make bench-baseline")
        return 1
    print("bench-check: %d rows within %d %% of the baseline" % (
        sum(len(r) for t, r in baseline.items() if t in counts), TOLERANCE * 100))
    return 0


def baseline(baseline_path, paths):
    counts = load(paths)
    with open(baseline_path, "w") as f:
        json.dump({t: {n: round(c) for n, c in sorted(r.items())} for t, r in counts.items()},
                  f, indent=1, sort_keys=True)
        f.write("\n")


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    command, args = argv[1], argv[2:]
    if command == "measure":
        measure(*args)
    elif command == "table":
        table(args)
    elif command == "check":
        return check(args[0], args[1:])
    elif command == "baseline":
        baseline(args[0], args[1:])
    else:
        sys.exit(__doc__)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
