#!/usr/bin/env python3
"""Prints the decoder's hostile families from worst_case_bench's JSON output: each
family's decode, warm and cold, and its peak decode heap per input byte, beside the same
number of entries in the encoder's own order; then the fitted growth of the costs that
are quadratic by design."""
import json
import sys

from ratios import load

GOALS = {"warm": 2.0, "cold": 2.0, "heap": 1.5}


def families(times, counters):
    """index -> {(phase, order): value, "label": ..., "entries": (sent, own), ...}"""
    out = {}
    phases = {"BM_Decode": "warm", "BM_DecodeCold": "cold", "BM_DecodeHeap": "heap",
              "BM_Encode": "encode", "BM_Destroy": "destroy"}
    for name, ns in times.items():
        parts = name.split("/")
        if parts[0] not in phases or len(parts) < 3:
            continue
        row = counters[name]
        fam = out.setdefault(int(parts[1]), {"entries": [0, 0]})
        order = int(parts[2])
        phase = phases[parts[0]]
        fam[(phase, order)] = row["peak_heap_per_byte"] if phase == "heap" else ns / 1e6
        fam["label"] = row.get("label", "")
        fam["entries"][order] = int(row.get("entries", 0))
        if "sort_cmp_per_key" in row:
            fam["sort"] = row["sort_cmp_per_key"]
    return out


def ratio(fam, phase):
    sent, own = fam.get((phase, 0)), fam.get((phase, 1))
    return None if sent is None or not own else sent / own


def main(path):
    times, counters = load([path])
    fams = families(times, counters)
    print("Hostile 1 MiB parcels (CPU ms, medians; 'own' = the encoder's order, as many entries "
          "or, where keys repeat, as many distinct keys as fit; heap = peak decode heap per input byte)")
    header = (f"{'family':<50}{'entries':>15}{'warm':>7}{'own':>7}{'ratio':>7}{'cold':>7}{'own':>7}"
              f"{'ratio':>7}{'heap':>7}{'own':>6}{'ratio':>7}{'encode':>8}{'destroy':>8}")
    print(header)
    print("-" * len(header))
    worst = dict.fromkeys(GOALS, 0.0)
    for index in sorted(fams):
        fam = fams[index]
        cells = []
        for phase in ("warm", "cold", "heap"):
            r = ratio(fam, phase)
            if r is not None:
                worst[phase] = max(worst[phase], r)
            width = 6 if phase == "heap" else 7
            cells.append(f"{fam.get((phase, 0), float('nan')):>7.2f}"
                         f"{fam.get((phase, 1), float('nan')):>{width}.2f}"
                         + (f"{r:>6.2f}x" if r is not None else f"{'-':>7}"))
        entries = "%d" % fam["entries"][0] if fam["entries"][0] == fam["entries"][1] else \
            "%d/%d" % tuple(fam["entries"])
        print(f"{fam['label'][:49]:<50}{entries:>15}{''.join(cells)}"
              f"{fam.get(('encode', 0), float('nan')):>8.2f}{fam.get(('destroy', 0), float('nan')):>8.2f}")
    print("worst ratios: " + ", ".join(
        f"{phase} {worst[phase]:.2f}x (goal {goal}x{'' if worst[phase] <= goal else ', MISSED'})"
        for phase, goal in GOALS.items()))
    sorts = [(f["label"], f["sort"]) for f in fams.values() if "sort" in f]
    for label, per_key in sorts:
        print(f"std::sort of the run, as a sorting decoder had it: {per_key:.1f} comparisons per key ({label})")
    with open(path) as f:
        for row in json.load(f)["benchmarks"]:
            if row.get("aggregate_name") == "BigO":
                print(f"{row['run_name']}: {row['cpu_coefficient']:.3g} ns x {row['big_o']}")
    for name, row in sorted(counters.items()):
        if "held_bytes" in row:
            print(f"{name}: {row['held_bytes'] / 1e6:.1f} MB held for a {row['bytes'] / 1024:.0f} KiB"
                  f" nest of {row['levels']:.0f} levels")


if __name__ == "__main__":
    main(sys.argv[1])
