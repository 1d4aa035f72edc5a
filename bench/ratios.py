#!/usr/bin/env python3
"""Prints one table of ratios from Google Benchmark JSON files (and the JVM harness's,
which uses the same layout). Times are the medians of the repetitions, CPU time."""

import json
import sys


def load(paths):
    times, counters = {}, {}
    for path in paths:
        with open(path) as f:
            data = json.load(f)
        runs = {}
        for b in data.get("benchmarks", []):
            if b.get("error_occurred"):
                continue
            name = b.get("run_name", b["name"])
            if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
                continue
            runs.setdefault(name, []).append(b)
        for name, rows in runs.items():
            medians = [r for r in rows if r.get("aggregate_name") == "median"]
            row = medians[0] if medians else sorted(rows, key=lambda r: r["cpu_time"])[len(rows) // 2]
            scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[row.get("time_unit", "ns")]
            times[name] = row["cpu_time"] * scale
            counters[name] = row
    return times, counters


def fmt_time(ns):
    if ns is None:
        return "-"
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if ns >= scale:
            return "%.3g %s" % (ns / scale, unit)
    return "%.3g ns" % ns


def fmt_ratio(a, b):
    if a is None or b is None or b == 0:
        return "-"
    return "%.2f" % (a / b)


def row(cells, widths):
    return "  ".join(str(c).rjust(w) if i else str(c).ljust(w) for i, (c, w) in enumerate(zip(cells, widths)))


def table(title, header, rows):
    widths = [max(len(str(r[i])) for r in [header] + rows) for i in range(len(header))]
    print(title)
    print(row(header, widths))
    print(row(["-" * w for w in widths], widths))
    for r in rows:
        print(row(r, widths))
    print()


def main(paths):
    t, c = load(paths)
    get = t.get

    rows = []
    for phase in ("encode", "decode", "lookup", "lookup_decoded", "roundtrip"):
        for n in (10, 100, 1000):
            mine = get("%s/bundle/mixed/%d" % (phase, n))
            peer_phase = "lookup" if phase == "lookup_decoded" else phase
            mp = get("%s/msgpack/mixed/%d" % (peer_phase, n))
            fb = get("%s/flexbuffers/mixed/%d" % (peer_phase, n))
            if mine is None:
                continue
            rows.append([phase, n, fmt_time(mine), fmt_time(mp), fmt_time(fb),
                         fmt_ratio(mine, mp), fmt_ratio(mine, fb)])
    table("Bundle / peers, mixed entries (CPU time per operation; ratio < 1: bundle faster)",
          ["phase", "N", "bundle", "msgpack", "flexbuf", "b/msgpack", "b/flexbuf"], rows)

    rows = []
    for data, sizes in (("mixed", (10, 100, 1000)), ("arrays", (100, 1000))):
        for n in sizes:
            floor = get("copy/memcpy/%s/%d" % (data, n))
            for phase in ("encode", "decode", "roundtrip"):
                mine = get("%s/bundle/%s/%d" % (phase, data, n))
                if mine is None:
                    continue
                rows.append([phase, data, n, fmt_time(mine), fmt_time(floor), fmt_ratio(mine, floor)])
    table("Bundle / floor (memcpy of the encoded bytes; goal for arrays encode/decode: <= 2.00)",
          ["phase", "data", "N", "bundle", "memcpy", "b/memcpy"], rows)

    rows = []
    for phase in ("build", "lookup", "decode"):
        for n in (1000, 10000):
            asc = get("%s/bundle/ascending/%d" % (phase, n))
            ordinary = get("%s/bundle/ordinary/%d" % (phase, n))
            if asc is None:
                continue
            rows.append([phase, n, fmt_time(asc), fmt_time(ordinary), fmt_ratio(asc, ordinary)])
    table("Adversarial: keys set in ascending hash order / the same keys in random order",
          ["phase", "N", "ascending", "random", "asc/random"], rows)

    rows = []
    base = c.get("memory/msgpack/mixed/10000", {}).get("heap_bytes_per_entry")
    for name, label in (("memory/bundle/mixed/10000", "bundle, built"),
                        ("memory_decoded/bundle/mixed/10000", "bundle, decoded"),
                        ("memory/msgpack/mixed/10000", "msgpack, unpacked"),
                        ("memory/flexbuffers/mixed/10000", "flexbuffers, buffer")):
        r = c.get(name)
        if r is None:
            continue
        heap = r.get("heap_bytes_per_entry")
        rows.append([label, "%.0f" % heap, "%.2f" % r.get("allocs_per_entry", 0),
                     "%.0f" % r["encoded_bytes_per_entry"] if "encoded_bytes_per_entry" in r else "-",
                     fmt_ratio(heap, base)])
    table("Heap per entry at N = 10,000, mixed entries",
          ["container", "heap B/entry", "new calls/entry", "encoded B/entry", "/msgpack"], rows)

    rows = []
    for op, peers in (("put_int", "put_int"), ("get_int", "get_int"),
                      ("put_string", "put_string"), ("get_string", "get_string"),
                      ("get_string_bytes", "get_string")):
        mine = get("jvm/%s/bundle" % op)
        if mine is None:
            continue
        base, hashmap = get("jvm/%s/baseline" % peers), get("jvm/%s/hashmap" % peers)
        frame = get("jvm/%s/frame" % peers)
        rows.append([op, fmt_time(mine), fmt_time(base), fmt_time(frame), fmt_time(hashmap),
                     fmt_ratio(mine, base), fmt_ratio(frame, base), fmt_ratio(mine, hashmap)])
    if rows:
        table("JVM, per call (frame: the JNI calls a string native must make, nothing else)",
              ["operation", "bundle", "baseline", "frame", "HashMap", "b/baseline",
               "frame/baseline", "b/HashMap"], rows)
    parts = [[name, fmt_time(get("native_part/%s" % name))]
             for name in ("handle", "getInt32_of_64") if get("native_part/%s" % name)]
    if parts:
        table("Native parts of a put or get native, per call", ["part", "time"], parts)
    mine, bare = get("jvm/status_update/binder"), get("jvm/status_update/bare")
    if mine is not None:
        table("JVM, status items from a native thread (per item)",
              ["delivery", "binder", "bare CallVoidMethod", "binder/bare"],
              [["long item", fmt_time(mine), fmt_time(bare), fmt_ratio(mine, bare)]])


if __name__ == "__main__":
    main(sys.argv[1:])
