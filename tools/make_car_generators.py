#!/usr/bin/env python3
"""Writes scripts/boot_car_generators.cpp: the 159 car generators of the boot
script. Four rows are fixed; the others are spread over the map from a fixed
seed, so the output is the same on every run. Run from the repository root:

    python3 tools/make_car_generators.py > scripts/boot_car_generators.cpp
"""

ROW_COUNT = 159

# The map's extent, as the boot script's boxes span it.
X_MIN, X_MAX = -1926.0, 1274.0
Y_MIN, Y_MAX = -1556.0, 575.0
Z_MIN, Z_MAX = 5.0, 60.0
MODEL_MIN, MODEL_MAX = 130, 230

PLAIN = (-1, -1, 0, 0, 0, 0, 10000)
COLOURED = (72, 75, 0, 0, 0, 0, 10000)

# Row number -> (x, y, z, heading, model, b1..b7).
FIXED = {
    1: ("595.875", "-267.625", "11.2", "340.0", 154, PLAIN),
    2: ("598.688", "-65.5625", "14.2", "0.0", 188, PLAIN),
    17: ("1072.56", "-176.062", "57.0", "140.0", 174, COLOURED),
    18: ("1070.0", "-163.375", "57.0", "280.0", 174, COLOURED),
}

# Street-aligned headings, with the odd full turn and diagonal.
HEADINGS = ["0.0"] * 6 + ["90.0"] * 6 + ["180.0"] * 6 + ["270.0"] * 6 \
    + ["360.0"] * 2 + ["45.0", "135.0", "225.0", "315.0"]


class Lcg:
    """A small linear congruential generator, so the rows never depend on the
    Python version's own random numbers."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        self.state = (self.state * 1103515245 + 12345) % (1 << 31)
        return self.state

    def uniform(self, low, high):
        return low + (high - low) * self.next() / float(1 << 31)

    def below(self, n):
        return self.next() % n


def sixteenths(value):
    """The value rounded to 1/16, written with the digits it needs: exact in
    single precision."""
    text = "%.4f" % (round(value * 16) / 16.0)
    text = text.rstrip("0")
    return text + "0" if text.endswith(".") else text


def generated_row(lcg):
    x = sixteenths(lcg.uniform(X_MIN, X_MAX))
    y = sixteenths(lcg.uniform(Y_MIN, Y_MAX))
    z = "%.1f" % lcg.uniform(Z_MIN, Z_MAX)
    heading = HEADINGS[lcg.below(len(HEADINGS))]
    model = MODEL_MIN + lcg.below(MODEL_MAX - MODEL_MIN + 1)
    return (x, y, z, heading, model, PLAIN)


def main():
    lcg = Lcg(20240611)
    rows = [FIXED[n] if n in FIXED else generated_row(lcg) for n in range(1, ROW_COUNT + 1)]

    cells = [[x + "f", y + "f", z + "f", h + "f", str(model)] + [str(b) for b in bs]
             for (x, y, z, h, model, bs) in rows]
    header = ["x", "y", "z", "heading", "model", "b1", "b2", "b3", "b4", "b5", "b6", "b7"]
    widths = [max(len(row[i]) for row in cells + [header]) for i in range(len(header))]

    print("// The car generators of the boot script, each followed by its follow-up")
    print("// value. Written by tools/make_car_generators.py; rows 1, 2, 17 and 18 are")
    print("// fixed there, the others spread over the map from a fixed seed.")
    print('#include "scripts/boot_data.h"')
    print()
    print("const CarGeneratorRow kCarGenerators[] = {")
    def line(row):
        point = ", ".join(row[i].rjust(widths[i]) for i in range(5))
        extra = ", ".join(row[i].rjust(widths[i]) for i in range(5, 12))
        return "%s, { %s }" % (point, extra)

    print("    //" + line(header).replace(",", " ").replace("{", " ").rstrip(" }"))
    for number, row in enumerate(cells, start=1):
        print("    { %s },  // %d" % (line(row), number))
    print("};")
    print("static_assert(sizeof kCarGenerators / sizeof kCarGenerators[0] == kCarGeneratorCount,")
    print('              "one row per generator");')


if __name__ == "__main__":
    main()
