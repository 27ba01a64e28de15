#!/usr/bin/env python3
"""Prints the benchmark table from Google Benchmark JSON output files.

Each row sets one of our benchmarks against its baseline from the same run:
the median time of each over the repetitions, the ratio ours / baseline and
the target that ratio must meet. Exits 1 when a benchmark reported an error
or a row's benchmarks are missing; a missed target is printed as MISSED and
does not change the exit status (timings on a shared machine are noisy).
"""

import argparse
import json
import re
import statistics
import sys

# operation, our benchmark, baseline benchmark, what the baseline is,
# the largest ratio ours / baseline that meets the target, the target in words
ROWS = [
    ("CRand::Random, 10^6 draws", "Random/KolvUtil", "Random/minstd_rand",
     "std::minstd_rand", 1.0, "ratio <= 1.0"),
    ("CKUtil::Combo(40, 20, m) at m = 2,000,000,000", "Combo_40_20/m:2000000000",
     "Combo_40_20/m:0", "the same at m = 0", 3.0, "within 3x"),
    ("walking every position of Combo(20, 10, m)", "ComboWalk_20_10/KolvUtil",
     "ComboWalk_20_10/stepping", "stepping implementation", 0.01, ">= 100x faster"),
    ("COSUtil::GetUserPATH, PATH of 10,000 entries", "GetUserPATH/entries:10000",
     "GetUserPATH/entries:1000", "itself at 1,000", 12.0, "growth <= 12x"),
    ("COSUtil::FindExeInStringPATH, 1,000 entries", "FindExeInStringPATH/KolvUtil",
     "FindExeInStringPATH/stat_loop", "loop of stat calls", 1.2, "ratio <= 1.2"),
    ("CInitFile::Get, key on the last line of 10 MB", "InitFileGet/KolvUtil",
     "InitFileGet/fgets_strstr", "fgets + strstr loop", 1.5, "ratio <= 1.5"),
    ("CDebugUtil::DumpDoubleMatrix, 1000 x 1000", "DumpDoubleMatrix/KolvUtil",
     "DumpDoubleMatrix/fprintf", "fprintf loop", 0.5, "ratio <= 0.5"),
    ("CKUtil::DumpLogFileHeader, 1 MB task name", "DumpLogFileHeader/name_bytes:1048576",
     "DumpLogFileHeader/name_bytes:1024", "itself with 1 KB", 2000.0, "growth <= 2000x"),
]

NANOSECONDS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def base_name(run_name):
    """The benchmark's name without the suffixes that fixed settings add."""
    return re.sub(r"(/(iterations|repeats|min_time):[^/]+)+$", "", run_name)


def medians(paths, field):
    """Median time in ns of every benchmark: the run's own median aggregate
    when it reported one, else the median of its repetitions."""
    runs, reported, errors = {}, {}, []
    for path in paths:
        with open(path, encoding="utf-8") as stream:
            results = json.load(stream)
        for entry in results["benchmarks"]:
            name = base_name(entry.get("run_name", entry["name"]))
            if entry.get("error_occurred"):
                errors.append(f"{name}: {entry.get('error_message', 'error')}")
                continue
            time = entry[field] * NANOSECONDS[entry["time_unit"]]
            if entry.get("run_type") == "aggregate":
                if entry.get("aggregate_name") == "median":
                    reported[name] = time
            else:
                runs.setdefault(name, []).append(time)
    found = {name: statistics.median(times) for name, times in runs.items()}
    found.update(reported)
    repetitions = max((len(times) for times in runs.values()), default=0)
    return found, errors, repetitions


def readable(ns):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if ns >= scale:
            return f"{ns / scale:.3g} {unit}"
    return f"{ns:.3g} ns"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--time", choices=("cpu", "real"), default="cpu",
                        help="which time to compare (default: cpu)")
    parser.add_argument("files", nargs="+", help="JSON output of the benchmark programs")
    args = parser.parse_args()

    found, errors, repetitions = medians(args.files, f"{args.time}_time")
    print("| operation | ours (median) | baseline | baseline (median) | ratio | target | result |")
    print("| --- | ---: | --- | ---: | ---: | --- | --- |")
    missed = []
    for operation, ours, baseline, baseline_text, limit, target in ROWS:
        if ours not in found or baseline not in found:
            errors.append(f"{operation}: no result for {ours} or {baseline}")
            continue
        ratio = found[ours] / found[baseline]
        result = "met" if ratio <= limit else "**MISSED**"
        if ratio > limit:
            missed.append(operation)
        print(f"| {operation} | {readable(found[ours])} | {baseline_text} | "
              f"{readable(found[baseline])} | {ratio:.3g} | {target} | {result} |")
    print()
    print(f"Medians of {repetitions} repetitions, {args.time} time; ratio = ours / baseline.")
    print("All targets met." if not missed else f"MISSED: {'; '.join(missed)}")
    for error in errors:
        print(f"ERROR: {error}", file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
