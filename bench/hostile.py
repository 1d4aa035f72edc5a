#!/usr/bin/env python3
"""Prints the decoder's hostile families from worst_case_bench's JSON output: each
family's decode time beside the same number of entries in the encoder's own order,
and the fitted growth of the costs that are quadratic by design."""
import json
import sys
from collections import defaultdict


def main(path):
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    # name -> CPU time in ms, medians when repetitions were run
    times, labels, entries, fits = {}, {}, {}, {}
    for r in runs:
        if r.get("run_type") == "aggregate" and r.get("aggregate_name") not in ("median", "BigO"):
            continue
        name = r.get("run_name", r["name"])
        if r.get("aggregate_name") == "BigO":
            fits[name.removesuffix("_BigO")] = (r["cpu_coefficient"], r["big_o"])
            continue
        times[name] = r["cpu_time"] * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[r["time_unit"]]
        labels[name] = r.get("label", "")
        entries[name] = int(r.get("entries", 0))

    families = defaultdict(dict)
    for name, t in times.items():
        parts = name.split("/")
        if parts[0] in ("BM_Decode", "BM_Encode", "BM_Destroy"):
            key = (parts[0], parts[2] if len(parts) > 2 else "0")
            families[int(parts[1])][key] = t
            families[int(parts[1])]["label"] = labels[name]
            families[int(parts[1])]["entries"] = entries[name]

    print("Hostile 1 MiB parcels (CPU ms, medians; 'own order' = as many entries as the encoder writes them)")
    header = f"{'family':<36}{'entries':>9}{'decode':>9}{'own order':>11}{'ratio':>7}{'encode':>9}{'destroy':>9}"
    print(header)
    print("-" * len(header))
    worst = 0.0
    for index in sorted(families):
        fam = families[index]
        decode = fam.get(("BM_Decode", "0"))
        own = fam.get(("BM_Decode", "1"))
        if decode is None or own is None:
            continue
        ratio = decode / own
        worst = max(worst, ratio)
        print(f"{fam['label']:<36}{fam['entries']:>9}{decode:>9.2f}{own:>11.2f}{ratio:>6.1f}x"
              f"{fam.get(('BM_Encode', '0'), float('nan')):>9.2f}"
              f"{fam.get(('BM_Destroy', '0'), float('nan')):>9.2f}")
    print(f"worst decode ratio: {worst:.1f}x (goal: 4x)")
    for name, (coefficient, order) in sorted(fits.items()):
        print(f"{name}: {coefficient:.3g} ns x {order}")


if __name__ == "__main__":
    main(sys.argv[1])
