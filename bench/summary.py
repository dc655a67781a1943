#!/usr/bin/env python3
"""One line per benchmark from the JSON files `make bench` leaves, with its paired ratio where it has one.

A benchmark's ratio is its own "ratio" counter (both sides measured in the same run), or else its time
against the benchmark of the same program named like it with "DayByDay" added, the plain way of the
same work. Usage: summary.py FOLDER
"""
import json
import pathlib
import sys


def main(folder):
    for path in sorted(pathlib.Path(folder).glob("*.json")):
        try:
            runs = json.loads(path.read_text()).get("benchmarks", [])
        except (OSError, ValueError) as error:
            print(f"{path.stem}: no results ({error})")
            continue
        runs = [run for run in runs if run.get("run_type", "iteration") == "iteration"]
        times = {run["name"]: run.get("real_time", 0.0) for run in runs}
        for run in runs:
            name = run["name"]
            line = f"{path.stem} {name}: "
            if run.get("error_occurred"):
                print(line + "error: " + run.get("error_message", ""))
                continue
            unit = run.get("time_unit", "")
            line += f"{run.get('real_time', 0.0):.3f} {unit}"
            # A manually timed benchmark measures something else than its own thread's CPU.
            if "manual_time" not in name:
                line += f" (CPU {run.get('cpu_time', 0.0):.3f} {unit})"
            yardstick = name.split("/")[0] + "DayByDay" + name[len(name.split("/")[0]):]
            if "ratio" in run:
                line += f", ratio {run['ratio']:.3g}"
            elif yardstick in times and times[yardstick] > 0:
                line += f", ratio {run.get('real_time', 0.0) / times[yardstick]:.3g} against {yardstick}"
            print(line)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build/bench-results")
