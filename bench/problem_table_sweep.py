#!/usr/bin/env python3
"""Energy target of a stream table by the problem table, as a yardstick for the host's timing.

Reads the host's CSV stream table (name,supply,target,cp,h,kind), shifts hot streams down and
cold streams up by half of DTmin, sorts the interval ends once and sweeps the cascade:
O(n log n) in the streams. Utility rows are skipped. Prints the hot and cold utility targets.
Usage: problem_table_sweep.py TABLE.csv [DTMIN]
"""
import csv
import sys


def main():
    path = sys.argv[1]
    dtmin = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
    half = 0.5 * dtmin
    events = []  # (shifted temperature, change of the summed CP below it)
    with open(path, newline="") as f:
        for row in csv.DictReader(f):
            if row.get("kind", "process") != "process" or not row["supply"]:
                continue
            supply, target, cp = float(row["supply"]), float(row["target"]), float(row["cp"])
            if supply > target:  # hot: gives heat from supply down to target
                hi, lo, sign = supply - half, target - half, 1.0
            else:  # cold: takes heat from target down to supply
                hi, lo, sign = target + half, supply + half, -1.0
            events.append((hi, sign * cp))
            events.append((lo, -sign * cp))
    events.sort(key=lambda e: -e[0])
    cascade, lowest, net = 0.0, 0.0, 0.0
    previous = events[0][0] if events else 0.0
    for t, change in events:
        cascade += net * (previous - t)
        lowest = min(lowest, cascade)
        net += change
        previous = t
    hot = -lowest
    cold = cascade - lowest
    print(f"hot {hot:.6f} cold {cold:.6f}")


if __name__ == "__main__":
    main()
