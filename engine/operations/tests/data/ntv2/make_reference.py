#!/usr/bin/env python3
"""Reference values of NTv2 grid shifts, made with PROJ's cct.

    make_reference.py GRID.gsb... > nothing; writes GRIDNAME.txt beside itself

For every grid: nodes, cell interiors, the four edges, points just inside and
just outside each edge (1e-9 to 1e-3 degrees), the corners and, for a grid
that reaches 180 degrees, the same longitudes written 360 degrees lower and
higher. Each point goes through

    cct -d 12 +proj=hgridshift +grids=GRID        (forward)
    cct -d 12 -I +proj=hgridshift +grids=GRID     (reverse)

Output lines: "lon lat FORWARD REVERSE", degrees, where each of FORWARD and
REVERSE is "lon lat" as cct printed it, or "outside" where cct reported an
error, or (reverse only) "unconverged lon lat" where cct printed a point
that the forward shift does not take back to the input within 1e-9 degrees
(PROJ's unconverged first guess at a grid's edge).
"""
import math
import os
import random
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def first_grid(path):
    data = open(path, "rb").read(2 * 176)
    e = "<" if data[8] == 11 else ">"
    h = data[176:]
    val = lambda k: struct.unpack(e + "d", h[8 + 16 * k:16 + 16 * k])[0]
    south, north = val(4) / 3600, val(5) / 3600
    east, west = -val(6) / 3600, -val(7) / 3600
    dlat, dlon = val(8) / 3600, val(9) / 3600
    return west, south, east, north, dlon, dlat


def points(path, rng):
    w, s, e, n, dx, dy = first_grid(path)
    cols = int(abs((e - w) / dx + 0.5)) + 1
    rows = int(abs((n - s) / dy + 0.5)) + 1
    out = []
    for _ in range(400):  # nodes
        out.append((w + rng.randrange(cols) * dx, s + rng.randrange(rows) * dy))
    for _ in range(1000):  # anywhere inside
        out.append((w + rng.random() * (e - w), s + rng.random() * (n - s)))
    for _ in range(50):  # on each edge
        out.append((w, s + rng.random() * (n - s)))
        out.append((e, s + rng.random() * (n - s)))
        out.append((w + rng.random() * (e - w), s))
        out.append((w + rng.random() * (e - w), n))
    # None equals a grid's selection tolerance ((dlon + dlat) * 1e-5; 2e-6
    # degrees for 360" cells): there the last bit of the input decides, and
    # cct's own decimal reader may round it differently.
    offsets = [1e-9, 1e-7, 1e-6, 1.9e-6, 2.1e-6, 3e-6, 1e-5, 1e-4, 1e-3]
    for d in offsets:  # just inside and just outside each edge
        for sign in (-1, 1):
            for _ in range(8):
                la = s + rng.random() * (n - s)
                lo = w + rng.random() * (e - w)
                out.append((w + sign * d, la))
                out.append((e - sign * d, la))
                out.append((lo, s + sign * d))
                out.append((lo, n - sign * d))
            for cx, cy in ((w, s), (w, n), (e, s), (e, n)):
                out.append((cx + sign * d, cy + sign * d))
                out.append((cx - sign * d, cy + sign * d))
    if e >= 179.999:  # across 180 degrees
        for _ in range(100):
            lo, la = e - rng.random() * 2, s + rng.random() * (n - s)
            out.append((lo - 360, la))
            out.append((lo + 360, la))
        for lo in (-180, -180 + 1e-9, -180 + 1e-6, -180 - 1e-9, -180 - 1e-6,
                   180 + 1e-9, 180 + 1e-6, 180 + 1e-3, 540, -540):
            out.append((lo, s + rng.random() * (n - s)))
    return out


def cct(path, pts, inverse):
    cmd = ["cct", "-d", "12"] + (["-I"] if inverse else []) + [
        "+proj=hgridshift", "+grids=" + path]
    text = "".join("%.12f %.12f 0 0\n" % p for p in pts)
    lines = subprocess.run(cmd, input=text, capture_output=True, text=True,
                           check=True).stdout.splitlines()
    results, i = [], 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("#"):
            results.append(None)
            i += 2  # the error and the reason on the next line
            continue
        lon, lat = line.split()[:2]
        if not (math.isfinite(float(lon)) and math.isfinite(float(lat))) or \
                abs(float(lon)) > 1e6:
            results.append(None)
        else:
            results.append((lon, lat))
        i += 1
    assert len(results) == len(pts), (path, len(results), len(pts))
    return results


def main():
    for path in sys.argv[1:]:
        rng = random.Random(os.path.basename(path))
        pts = points(path, rng)
        fwd = cct(path, pts, False)
        rev = cct(path, pts, True)
        # Takes each reverse result forward again: PROJ's unconverged guesses
        # do not come back to the input.
        back = cct(path, [(float(r[0]), float(r[1])) if r else (0.0, 0.0)
                          for r in rev], False)
        name = os.path.splitext(os.path.basename(path))[0] + ".txt"
        with open(os.path.join(HERE, name), "w") as f:
            f.write("# cct -d 12 [-I] +proj=hgridshift +grids=%s (PROJ 9.1.1)\n"
                    % path)
            for p, a, r, b in zip(pts, fwd, rev, back):
                fa = "%s %s" % a if a else "outside"
                if r is None:
                    fr = "outside"
                else:
                    ok = b is not None and \
                        abs((float(b[0]) - p[0] + 180) % 360 - 180) < 1e-9 \
                        and abs(float(b[1]) - p[1]) < 1e-9
                    fr = ("%s %s" if ok else "unconverged %s %s") % r
                f.write("%.12f %.12f %s %s\n" % (p[0], p[1], fa, fr))


main()
