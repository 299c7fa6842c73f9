#!/usr/bin/env python3
"""Point lists of the delimited-text run tests and their reference values.

    make_reference.py

writes, beside itself:

  civici_milano.csv  a municipal export of street numbers in Gauss-Boaga West
                     (EPSG:3003) as GDAL writes one: a GeoJSON of 40 points
                     over Milan and its surroundings, converted with
                         ogr2ogr -f CSV -lco SEPARATOR=SEMICOLON
                                 -lco GEOMETRY=AS_XY civici_milano.csv in.json
                     (';', decimal points, X and Y first, quoted numbers and
                     free text with separators and quotes).
  rilievo.csv        a surveyor's list as a spreadsheet saves it in Italian
                     ("CSV UTF-8": byte-order mark, CR-LF, ';', decimal
                     commas): Punto;Est;Nord;Quota;Codice;Descrizione, 40
                     points between Bergamo and Brescia, a description with
                     a line break, an empty row.
  *_1659.txt         per data record "in_e in_n out_e out_n" (metres): the
                     file's coordinates as Python's csv module reads them,
                     converted by cct -d 6 with the pipeline of EPSG:1659
                     (Monte Mario to ETRS89 (1), EPSG:3003 to EPSG:25832), as
                     projinfo -s EPSG:3003 -t EPSG:25832 --spatial-test
                     intersects -o PROJ gives it (the heights pass unchanged).

PROJ 9.1.1 and GDAL 3.6.2 (Debian 12). The tests need only the files, not
the programs.
"""
import csv
import io
import json
import os
import random
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

PIPELINE = ("+proj=pipeline +step +inv +proj=tmerc +lat_0=0 +lon_0=9 "
            "+k=0.9996 +x_0=1500000 +y_0=0 +ellps=intl +step +proj=push +v_3 "
            "+step +proj=cart +ellps=intl +step +proj=helmert +x=-104.1 "
            "+y=-49.1 +z=-9.9 +rx=0.971 +ry=-2.917 +rz=0.714 +s=-11.68 "
            "+convention=position_vector +step +inv +proj=cart +ellps=GRS80 "
            "+step +proj=pop +v_3 +step +proj=utm +zone=32 +ellps=GRS80")

STREETS = ["VIA DANTE ALIGHIERI", "CORSO DI PORTA TICINESE", "VIALE MONZA",
           "PIAZZA DEL DUOMO", "VIA SAN GREGORIO", "VIA PAOLO SARPI",
           "CORSO BUENOS AIRES", "VIA NOVARA"]
NOTES = ["", "Ingresso principale; lato piazza", 'Portone "storico"',
         "Accesso carraio", "Civico soppresso, vedi 12/A"]


def municipal(random):
    features = []
    for i in range(40):
        e = round(random.uniform(1495000, 1535000), 2)
        n = round(random.uniform(5015000, 5055000), 2)
        features.append({
            "type": "Feature",
            "properties": {
                "ID": i + 1, "TOPONIMO": random.choice(STREETS),
                "CIVICO": str(random.randint(1, 240)),
                "ESPONENTE": random.choice(["", "", "A", "B"]),
                "MUNICIPIO": random.randint(1, 9),
                "NOTE": random.choice(NOTES)},
            "geometry": {"type": "Point", "coordinates": [e, n]}})
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "in.json")
        target = os.path.join(HERE, "civici_milano.csv")
        with open(source, "w") as f:
            json.dump({"type": "FeatureCollection", "features": features}, f)
        if os.path.exists(target):
            os.remove(target)
        subprocess.run(["ogr2ogr", "-f", "CSV", "-lco", "SEPARATOR=SEMICOLON",
                        "-lco", "GEOMETRY=AS_XY", target, source], check=True)


def survey(random):
    rows = [["Punto", "Est", "Nord", "Quota", "Codice", "Descrizione"]]
    for i in range(40):
        rows.append([
            "PF%02d" % (i + 1),
            ("%.3f" % random.uniform(1545000, 1595000)).replace(".", ","),
            ("%.3f" % random.uniform(5030000, 5060000)).replace(".", ","),
            ("%.2f" % random.uniform(120, 900)).replace(".", ","),
            random.choice(["PF", "CS", "SP"]),
            random.choice(["Chiodo su marciapiede", "Spigolo fabbricato",
                           "Picchetto;\nda verificare", "Borchia \"IGM\""])])
        if i == 19:
            rows.append([""] * 6)  # an empty row, as the sheet had it
    text = io.StringIO()
    csv.writer(text, delimiter=";", lineterminator="\r\n").writerows(rows)
    with open(os.path.join(HERE, "rilievo.csv"), "w", encoding="utf-8-sig",
              newline="") as f:
        f.write(text.getvalue())


def reference(name, east, north, height, mark):
    with open(os.path.join(HERE, name + ".csv"), encoding="utf-8-sig",
              newline="") as f:
        rows = list(csv.DictReader(f, delimiter=";"))
    points = []
    for row in rows:
        if not row[east]:
            continue
        value = [row[east], row[north], row[height] if height else "0"]
        points.append([v.replace(mark, ".") for v in value])
    text = "".join("%s %s %s 0\n" % tuple(p) for p in points)
    out = subprocess.run(["cct", "-d", "6"] + PIPELINE.split(), input=text,
                         capture_output=True, text=True, check=True).stdout
    results = [line.split() for line in out.splitlines() if line.strip()]
    assert len(results) == len(points)
    with open(os.path.join(HERE, name + "_1659.txt"), "w") as f:
        for p, r in zip(points, results):
            f.write("%s %s %s %s\n" % (p[0], p[1], r[0], r[1]))


def main():
    generator = random.Random(1659)
    municipal(generator)
    survey(generator)
    reference("civici_milano", "X", "Y", None, ".")
    reference("rilievo", "Est", "Nord", "Quota", ",")


main()
