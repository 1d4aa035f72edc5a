#!/usr/bin/env python3
"""Writes an HTML page of plots from the benchmark results: time per entry against the
number of entries for each phase, the bundle beside msgpack-c++ and FlexBuffers,
instructions per entry on 32-bit ARM and x86-64 when bench/counts.sh has counted them,
and the decoder's hostile inputs on their own.
Usage: report.py RESULTS_DIR OUTPUT_HTML"""

import io
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

import counts  # noqa: E402
from hostile import GOALS, families, ratio  # noqa: E402
from ratios import load  # noqa: E402

PHASES = ("build", "encode", "decode", "lookup")
LIBRARIES = (("bundle", "bundle"), ("msgpack", "msgpack-c++"), ("flexbuffers", "FlexBuffers"))


def svg(fig):
    buffer = io.StringIO()
    fig.savefig(buffer, format="svg", bbox_inches="tight")
    plt.close(fig)
    text = buffer.getvalue()
    return text[text.index("<svg"):]


def scaling(times):
    fig, axes = plt.subplots(2, 2, figsize=(11, 8), constrained_layout=True)
    for ax, phase in zip(axes.flat, PHASES):
        series = list(LIBRARIES)
        if phase == "build":
            # The peers have no container apart from their encoding: building one is encoding.
            series = [("build:bundle", "bundle")] + [
                ("encode:" + lib, label + " (encode)") for lib, label in LIBRARIES[1:]]
        if phase == "lookup":
            series.append(("lookup_decoded:bundle", "bundle, decoded tree"))
        for key, label in series:
            name_phase, lib = key.split(":") if ":" in key else (phase, key)
            points = []
            for name, ns in times.items():
                parts = name.split("/")
                if len(parts) == 4 and parts[0] == name_phase and parts[1] == lib and parts[2] == "mixed":
                    n = int(parts[3])
                    points.append((n, ns / n))
            if points:
                points.sort()
                ax.plot([p[0] for p in points], [p[1] for p in points], marker="o", label=label)
        ax.set_xscale("log")
        ax.set_yscale("log")
        ax.set_title(phase)
        ax.set_xlabel("entries")
        ax.set_ylabel("CPU time per entry (ns)")
        ax.grid(True, which="both", alpha=0.3)
        ax.legend(fontsize="small")
    fig.suptitle("Mixed entries: time per entry against size")
    return svg(fig)


def instructions(by_target):
    fig, axes = plt.subplots(1, 4, figsize=(14, 4.5), constrained_layout=True)
    styles = {"bundle": "-", "msgpack": "--"}
    for ax, phase in zip(axes, PHASES):
        for color, (target, _) in enumerate(counts.TARGETS):
            rows = by_target.get(target, {})
            for lib, style in styles.items():
                points = sorted((counts.entries_of(name), value / counts.entries_of(name))
                                for name, value in rows.items()
                                if name.startswith("%s/%s/mixed/" % (phase, lib)))
                if points:
                    ax.plot([p[0] for p in points], [p[1] for p in points], style, marker="o",
                            color="C%d" % color, label="%s, %s" % (lib, target))
        ax.set_xscale("log")
        ax.set_title(phase)
        ax.set_xlabel("entries")
        ax.set_ylabel("instructions per entry")
        ax.set_ylim(bottom=0)
        ax.grid(True, which="both", alpha=0.3)
        ax.legend(fontsize="x-small")
    fig.suptitle("Mixed entries: instructions per entry (qemu-arm on 32-bit ARM, callgrind on x86-64)")
    return svg(fig)


PHASES_HOSTILE = (("warm", "decode, warm (ms)"), ("cold", "decode, cold (ms)"),
                  ("heap", "peak decode heap per input byte"), ("encode", "encode (ms)"),
                  ("destroy", "destroy (ms)"))


def hostile(times, counters):
    fams = families(times, counters)
    order = sorted(fams)
    names = []
    for i in order:
        sent, own = fams[i]["entries"]
        names.append("%s (%s)" % (fams[i]["label"], "{:,}".format(sent) if sent == own else
                                 "{:,} / {:,} entries".format(sent, own)))
    fig, axes = plt.subplots(1, len(PHASES_HOSTILE), sharey=True, constrained_layout=True,
                             figsize=(20, 0.42 * len(order) + 1.8))
    height = 0.4
    ys = range(len(order))
    for ax, (phase, title) in zip(axes, PHASES_HOSTILE):
        sent = [fams[i].get((phase, 0), 0) for i in order]
        own = [fams[i].get((phase, 1), 0) for i in order]
        ax.barh([y - height / 2 for y in ys], sent, height, label="as sent", color="tab:red")
        ax.barh([y + height / 2 for y in ys], own, height, label="encoder's order", color="tab:blue")
        top = max(sent + own) or 1
        for y, i in zip(ys, order):
            r = ratio(fams[i], phase)
            if r is not None:
                ax.text(max(fams[i].get((phase, 0), 0), fams[i].get((phase, 1), 0)) + 0.02 * top, y,
                        "%.2fx" % r, va="center", fontsize="small",
                        color="black" if r <= GOALS.get(phase, float("inf")) else "red")
        ax.set_xlim(0, top * 1.25)
        ax.set_title(title)
        ax.grid(True, axis="x", alpha=0.3)
    axes[0].set_yticks(list(ys))
    axes[0].set_yticklabels(names)
    axes[0].invert_yaxis()
    axes[0].legend(fontsize="small", loc="lower right")
    fig.suptitle("Hostile 1 MiB parcels: each family as sent beside the encoder's order for as many "
                 "entries; the ratio at the end of each pair")
    return svg(fig)


def main(results, output):
    sections = []
    native = os.path.join(results, "native.json")
    if os.path.exists(native):
        sections.append(("Time per entry", scaling(load([native])[0])))
    counted = [os.path.join(results, "..", "..", "counts", t + ".json") for t, _ in counts.TARGETS]
    counted = [path for path in counted if os.path.exists(path)]
    if counted:
        sections.append(("Instructions per entry", instructions(counts.load(counted))))
    worst = os.path.join(results, "worst_case_bench.json")
    if os.path.exists(worst):
        sections.append(("Hostile inputs", hostile(*load([worst]))))
    with open(output, "w") as f:
        f.write("<!DOCTYPE html>\n<html><head><meta charset='utf-8'><title>Bundle benchmarks</title>"
                "</head><body>\n<h1>Bundle benchmarks</h1>\n")
        for title, figure in sections:
            f.write("<h2>%s</h2>\n%s\n" % (title, figure))
        f.write("</body></html>\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
