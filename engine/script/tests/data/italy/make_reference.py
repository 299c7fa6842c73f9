#!/usr/bin/env python3
"""Reference values of the Italian shipped scripts, made with PROJ.

    make_reference.py ITALYGRID     (ITALYGRID: the built tools/italygrid)

writes the .txt files beside itself. The points are a lattice in Monte Mario
geographic coordinates over each Gauss-Boaga zone, inside the national
grid's extent: West 36.7°N to 46.95°N by 0.45°, 6.5°E to 12°E by 0.5°
(288 points); East 35.4°N to 46.9°N by 0.5°, 12°E to 18°E by 0.5° (312
points). PROJ puts them into Gauss-Boaga (cs2cs EPSG:4265 EPSG:3003 or 3004,
kept to the millimetre), and then:

  *_1659_fwd.txt  Gauss-Boaga to UTM through EPSG:1659 (Monte Mario to
                  ETRS89), PROJ's operation pinned: cct on the pipeline that
                  projinfo gives for "Monte Mario to ETRS89 (1)" from EPSG:3003
                  to EPSG:25832 (West) or from EPSG:3004 to EPSG:25833 (East;
                  PROJ knows no Helmert from Monte Mario to RDN2008, and
                  EPSG:6710, RDN2008 to ETRS89, is the null transformation, so
                  these are the numbers of RDN2008 / UTM 33N, EPSG:7792).
  *_1659_rev.txt  the way back on the forward results (kept to the
                  millimetre), the pipeline projinfo gives the other way.
  *_9734_fwd.txt  cs2cs EPSG:3003 EPSG:7791 (West) or EPSG:3004 EPSG:7792
                  (East) with PROJ_DATA naming a folder that holds the
                  synthetic grid under the national grid's name, so that PROJ
                  takes EPSG:9734 (checked with projinfo first).
  *_9734_rev.txt  cs2cs EPSG:7791 EPSG:3003 (or 7792 to 3004) on the forward
                  results kept to the millimetre.
  grid.txt        the grid step alone: cct -d 12 +proj=hgridshift on the
                  lattice ("lon lat" in degrees) and cct -d 12 -I on what the
                  forward gave.

Lines of the *_fwd/_rev files: "in_e in_n out_e out_n", metres; of grid.txt:
"lon lat fwd_lon fwd_lat rev_lon rev_lat", degrees, rev being the reverse of
fwd. The tests need only these files (they write the same synthetic grid
themselves), not PROJ's programs.
"""
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
GRID = "35160622_47161840_R40_F00.gsb"


def frange(start, stop, step):
    n = int(round((stop - start) / step))
    return [round(start + i * step, 6) for i in range(n + 1)]


ZONES = {
    "west": (3003, 25832, 7791,
             [(la, lo) for la in frange(36.7, 46.95, 0.45)
              for lo in frange(6.5, 12.0, 0.5)]),
    "east": (3004, 25833, 7792,
             [(la, lo) for la in frange(35.4, 46.9, 0.5)
              for lo in frange(12.0, 18.0, 0.5)]),
}


def run(args, lines, env=None):
    # cct takes "x y z t"; with fewer columns hgridshift refuses the point.
    tail = " 0 0" if args[0] == "cct" else ""
    text = "".join(line + tail + "\n" for line in lines)
    out = subprocess.run(args, input=text, capture_output=True, text=True,
                         env=env, check=True).stdout
    rows = [line.split() for line in out.splitlines() if line.strip()]
    if len(rows) != len(lines) or any(r[0].startswith("#") or "*" in r[0]
                                      for r in rows):
        sys.exit("%s failed on a point:\n%s" % (" ".join(args[:3]), out))
    return rows


def pipeline(source, target, name, env):
    verbose = subprocess.run(["projinfo", "-s", source, "-t", target,
                              "--spatial-test", "intersects", "-o", "PROJ"],
                             capture_output=True, text=True, env=env,
                             check=True).stdout
    # One block per candidate, its name on the third line.
    blocks = verbose.split("Operation No. ")[1:]
    for block in blocks:
        if name in block.splitlines()[2]:
            proj = block.split("PROJ string:")[1].split("-----")[0]
            return " ".join(proj.split())
    sys.exit("no operation %r from %s to %s" % (name, source, target))


def mm(rows):
    return ["%.3f %.3f" % (float(r[0]), float(r[1])) for r in rows]


def write(name, inputs, outputs):
    with open(os.path.join(HERE, name), "w") as f:
        for i, o in zip(inputs, outputs):
            f.write("%s %s %s\n" % (" ".join(i), o[0], o[1]))
    print(name, len(inputs), "points")


def main():
    tool = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([tool, folder], check=True, capture_output=True)
        grid = dict(os.environ)
        grid["PROJ_DATA"] = folder + ":/usr/share/proj"
        plain = dict(os.environ)
        plain.pop("PROJ_DATA", None)
        plain.pop("PROJ_LIB", None)
        for zone, (gbo, utm, rdn, lattice) in ZONES.items():
            # With the grid on PROJ's path its first choice must be EPSG:9734
            # without a missing grid.
            for s, t in ((gbo, rdn), (rdn, gbo)):
                info = subprocess.run(
                    ["projinfo", "-s", "EPSG:%d" % s, "-t", "EPSG:%d" % t,
                     "--spatial-test", "intersects"],
                    capture_output=True, text=True, env=grid,
                    check=True).stdout
                first = info.split("Operation No. 2")[0]
                if "Monte Mario to RDN2008 (5)" not in first or \
                        "grid missing" in first:
                    sys.exit("PROJ does not take EPSG:9734 for %d -> %d" % (s, t))
            geo = ["%.6f %.6f" % p for p in lattice]
            inputs = mm(run(["cs2cs", "-f", "%.6f", "EPSG:4265",
                             "EPSG:%d" % gbo], geo, plain))
            fwd = pipeline("EPSG:%d" % gbo, "EPSG:%d" % utm,
                           "Monte Mario to ETRS89 (1)", plain)
            out = run(["cct", "-d", "6"] + fwd.split(), inputs, plain)
            write(zone + "_1659_fwd.txt", [i.split() for i in inputs], out)
            back_in = mm(out)
            rev = pipeline("EPSG:%d" % utm, "EPSG:%d" % gbo,
                           "Monte Mario to ETRS89 (1)", plain)
            out = run(["cct", "-d", "6"] + rev.split(), back_in, plain)
            write(zone + "_1659_rev.txt", [i.split() for i in back_in], out)

            out = run(["cs2cs", "-f", "%.6f", "EPSG:%d" % gbo, "EPSG:%d" % rdn],
                      inputs, grid)
            write(zone + "_9734_fwd.txt", [i.split() for i in inputs], out)
            back_in = mm(out)
            out = run(["cs2cs", "-f", "%.6f", "EPSG:%d" % rdn, "EPSG:%d" % gbo],
                      back_in, grid)
            write(zone + "_9734_rev.txt", [i.split() for i in back_in], out)
            print(zone, "forward:", fwd)
            print(zone, "reverse:", rev)

        lattice = [p for z in ZONES.values() for p in z[3]]
        lonlat = ["%.6f %.6f" % (lo, la) for la, lo in lattice]
        step = ["+proj=hgridshift", "+grids=" + os.path.join(folder, GRID)]
        fwd = run(["cct", "-d", "12"] + step, lonlat, plain)
        fwd_text = ["%s %s" % (r[0], r[1]) for r in fwd]
        rev = run(["cct", "-d", "12", "-I"] + step, fwd_text, plain)
        with open(os.path.join(HERE, "grid.txt"), "w") as f:
            for p, a, b in zip(lonlat, fwd, rev):
                f.write("%s %s %s %s %s\n" % (p, a[0], a[1], b[0], b[1]))
        print("grid.txt", len(lonlat), "points")


main()
