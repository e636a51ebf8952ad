#!/usr/bin/env python3
"""Writes the sources of the bundled catalogue.

    python3 catalog/generate.py            # rewrite catalog/product and catalog/language
    python3 catalog/generate.py --check    # fail when the committed files differ

The product rows follow from the parameter tables below and the models described in
catalog/README.md; hand-maintained data (material values, friction and durability tables,
the texts of every language) live in catalog/src/. The output is deterministic: the same
inputs always give byte-identical files, so the generated files are committed and the build
only compiles them.

Python 3 standard library only.
"""

import argparse
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.join(HERE, "src")
PRODUCT = os.path.join(HERE, "product")
LANGUAGE = os.path.join(HERE, "language")

# ---------------------------------------------------------------------------------------
# Physical constants
# ---------------------------------------------------------------------------------------

P_AMB = 1.01325          # ambient pressure, bar
G = 9.80655              # gravity used by the program, m/s^2
RATED_PRESSURE = 6.0e5   # actuator ratings are given at 6 bar, Pa
KAPPA = 1.4              # isentropic exponent of air
R_AIR = 287.1            # gas constant of air, J/(kg K)
T_SUPPLY = 293.15        # supply air temperature, K
RHO_ANR = 1.204          # density of air at 20 degC and 1.01325 bar, kg/m^3
CD_NOZZLE = 0.8          # discharge coefficient of a Laval nozzle throat


def sig(x, digits=3):
    """Rounds to `digits` significant digits."""
    if x == 0:
        return 0.0
    return round(x, digits - 1 - int(math.floor(math.log10(abs(x)))))


def num(x):
    """Number text of a source cell: shortest form, '.' as decimal point."""
    if isinstance(x, int):
        return str(x)
    if x == int(x) and abs(x) < 1e15:
        return str(int(x))
    text = repr(float(x))
    if "e" in text or "E" in text:
        text = "%.12f" % x
        text = text.rstrip("0").rstrip(".")
    return text


# ---------------------------------------------------------------------------------------
# Reading hand-maintained inputs
# ---------------------------------------------------------------------------------------

def read_tsv(name):
    """Rows of a TSV file in catalog/src as lists of cells; '#' lines and blanks skipped."""
    rows = []
    with open(os.path.join(SRC, name), encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n").rstrip("\r")
            if not line.strip() or line.startswith("#"):
                continue
            rows.append(line.split("\t"))
    return rows


# ---------------------------------------------------------------------------------------
# Output tables
# ---------------------------------------------------------------------------------------

class Table:
    """A table source: typed header and rows of cell texts."""

    def __init__(self, kind, name, file, columns):
        self.kind = kind
        self.name = name
        self.file = file
        self.columns = columns  # list of "Name:type[:prec[:dec[:transl8]]]"
        self.rows = []

    def column_names(self):
        return [c.split(":")[0] for c in self.columns]

    def add(self, *cells):
        if len(cells) != len(self.columns):
            raise ValueError("%s: %d cells for %d columns" % (self.name, len(cells), len(self.columns)))
        out = []
        for c in cells:
            if isinstance(c, bool):
                out.append("X" if c else "-")
            elif isinstance(c, (int, float)):
                out.append(num(c))
            else:
                out.append(str(c))
        self.rows.append(out)

    def text(self):
        lines = ["\t".join(self.columns)]
        lines += ["\t".join(r) for r in self.rows]
        return "\n".join(lines) + "\n"


# ---------------------------------------------------------------------------------------
# Suction cups
# ---------------------------------------------------------------------------------------

# The codes of series, shapes, materials, sizes, connectors, holder types and stroke
# compensations are those of the project's selection tables; the "~" columns hold
# "~" + code, a language key.
SERIES_CODES = ["S1", "S2", "S3"]
SHAPES = {
    # code: (FormKLW, order letters, area factor, cup height a*d+b, depth factor, fill
    #        factor of the interior, surface factor, outer diameter factor, Rmin factor)
    "standart":    (1, "FL", 0.80, (0.25, 1.5), 0.10, 0.50, 1.4, 1.00, 1.20),
    "extra deep":  (2, "ED", 0.72, (0.75, 2.0), 0.60, 0.60, 2.6, 1.04, 0.45),
    "bellows 1.5": (3, "BA", 0.66, (0.70, 3.0), 0.55, 0.55, 2.8, 1.06, 0.60),
    "bellows 3.5": (4, "BC", 0.58, (1.25, 4.0), 1.05, 0.40, 4.2, 1.08, 0.40),
    "oval":        (5, "OV", 0.80, (0.30, 2.0), 0.12, 0.50, 1.4, 1.00, 0.60),
}
ROUND_SIZES = {
    "standart": [1, 2, 4, 5, 6, 8, 10, 15, 20, 30, 40, 50, 60, 75, 80, 100, 125, 150, 200],
    "extra deep": [10, 15, 20, 30, 40, 50, 60, 75, 80, 100],
    "bellows 1.5": [6, 8, 10, 15, 20, 30, 40, 50, 55, 60, 75, 80, 100],
    "bellows 3.5": [10, 15, 20, 30, 40, 50, 55, 60, 75],
}
OVAL_SIZES = [(4, 10), (4, 20), (6, 10), (6, 20), (8, 20), (8, 30), (10, 30), (15, 45),
              (20, 60), (25, 75), (30, 90)]

# Elastomers: order letters, density in kg/m^3 (compounds as used for suction cups).
MATERIALS = {
    "NBR":      ("NB", 1250),
    "SI":       ("SI", 1200),
    "PUR":      ("PU", 1200),
    "NBR-AS":   ("NA", 1300),
    "Neopren":  ("CR", 1350),
    "Viton":    ("FK", 1850),
    "Viton-AS": ("FA", 1900),
}


def materials_for(shape, d_long):
    """Which compounds a cup of this shape and size is moulded in."""
    mats = ["NBR", "SI"]
    if d_long >= 10:
        mats.append("PUR")
    if d_long <= 50 and shape in ("standart", "bellows 1.5", "oval"):
        mats.append("NBR-AS")
    if 15 <= d_long <= 100 and shape in ("standart", "extra deep", "bellows 1.5"):
        mats.append("Neopren")
    if 20 <= d_long <= 80 and shape in ("standart", "bellows 1.5"):
        mats.append("Viton")
    if 10 <= d_long <= 50 and shape in ("standart", "bellows 1.5"):
        mats.append("Viton-AS")
    return mats


def series_of(d_long):
    """Series: S1 micro and compact cups, S2 universal, S3 heavy-duty."""
    if d_long <= 20:
        return "S1"
    if d_long <= 75:
        return "S2"
    return "S3"


# Air connection by size class: upper limit of the equivalent cup diameter sqrt(dl*ds) (mm),
# connection thread, bore of the air channel (mm), holder diameter (mm), fixing thread.
THREADS = [
    (5, "M3", 1.0, 6.0, "M6"),
    (12, "M5", 2.0, 8.0, "M8"),
    (35, "G1/8", 3.0, 13.0, "M10x1"),
    (90, "G1/4", 5.0, 17.0, "M14x1.5"),
    (1000, "G3/8", 7.0, 22.0, "M20x1.5"),
]
THREAD_CODE = {"M3": "M3", "M5": "M5", "G1/8": "G18", "G1/4": "G14", "G3/8": "G38"}


def thread_class(d_equiv):
    for limit, thread, bore, dh, fix in THREADS:
        if d_equiv <= limit:
            return thread, bore, dh, fix
    raise AssertionError


# Holder types: connector, stroke compensations offered, diameter add-on (mm), length
# a + b*D_h + c*stroke (mm), body density kg/m^3, angle compensator.
HOLDERS = {
    "H1": ("female", ["0"], 0.0, (10.0, 1.0, 0.0), 2700, False),   # rigid, thread on top
    "H2": ("male", ["0"], 0.0, (10.0, 1.0, 0.0), 2700, False),     # rigid, male thread
    "H3": ("female", ["0"], 4.0, (12.0, 1.0, 0.0), 2700, False),   # rigid, side connection
    "H4": ("female", ["2.6", "3", "6"], 2.0, (20.0, 1.0, 2.2), 4000, False),  # mini plunger
    "H5": ("female", ["10", "20"], 4.0, (20.0, 1.0, 2.2), 4000, False),       # spring plunger
    "H6": ("female", ["30", "40"], 8.0, (20.0, 1.0, 2.2), 4000, False),       # heavy plunger
    "H7": ("male", ["0"], 6.0, (15.0, 1.5, 0.0), 3500, True),      # ball joint
    "H8": ("push-in", ["0"], 2.0, (12.0, 1.0, 0.0), 2700, False),  # push-in connection
}
PUSH_IN = [(12, "PI-4", 4, 2.5), (1000, "PI-6", 6, 4.0)]  # (max d, name, tube OD, bore)
HOLDER_FILL = 0.45  # solid share of the holder's envelope cylinder


def holders_for(d_equiv, material):
    """Holders offered for a cup size; the less common compounds come with rigid holders."""
    if d_equiv <= 5:
        hs = ["H1", "H2", "H4"]
    elif d_equiv <= 12:
        hs = ["H1", "H2", "H3", "H4", "H7", "H8"]
    elif d_equiv <= 35:
        hs = ["H1", "H2", "H3", "H4", "H5", "H7", "H8"]
    elif d_equiv <= 90:
        hs = ["H1", "H2", "H3", "H5", "H6", "H7"]
    else:
        hs = ["H1", "H2", "H6"]
    if material not in ("NBR", "SI"):
        hs = [h for h in hs if h in ("H1", "H2")]
    return hs


def strokes_for(holder, d_equiv):
    strokes = HOLDERS[holder][1]
    if holder == "H4" and d_equiv <= 5:
        strokes = ["2.6", "3"]
    if holder == "H5" and d_equiv <= 20:
        strokes = ["10"]
    if holder == "H6" and d_equiv <= 60:
        strokes = ["30"]
    return strokes


def cup_geometry(shape, dl, ds):
    """Effective area (mm^2), interior volume (mm^3), cup height (mm), surface (mm^2)."""
    _, _, area_f, (ha, hb), depth_f, fill_f, surf_f, _, _ = SHAPES[shape]
    if shape == "oval":
        nominal = (dl - ds) * ds + math.pi / 4 * ds * ds  # slot: rectangle + two half circles
        ref = ds
    else:
        nominal = math.pi / 4 * dl * dl
        ref = dl
    area = area_f * nominal
    height = ha * ref + hb
    interior = nominal * depth_f * ref * fill_f
    surface = surf_f * nominal
    return area, interior, height, surface


def build_suction_cups(order):
    t = Table("TableIndexed", "qry SuctionCups", "suction_cups.tsv", [
        "OrderCode:csfString", "ShortCut:csfString", "Group:csfString", "Size:csfString",
        "~ShapeKey:csfString", "~MaterialKey:csfString", "DiameterLong:csfFloat",
        "DiameterShort:csfFloat", "Connector:csfString", "HolderType:csfString",
        "HolderSize:csfString", "StrokeCompensation:csfString", "Length:csfFloat",
        "Volume:csfFloat", "Fs07:csfFloat", "Mass_kg:csfFloat", "Thread:csfString",
        "~Filter:csfPBool", "~AngleCompensator:csfPBool", "RminWorkpiece:csfFloat",
        "DmaxSuctionCup:csfFloat", "~ok:csfString:0:0:1", "ConnectorName:csfString",
        "HolderDiameter:csfFloat", "~Saugereinsatz:csfString:0:0:1", "FormKLW:csfByte"])
    bodies = []
    for shape in ["standart", "extra deep", "bellows 1.5", "bellows 3.5"]:
        for d in ROUND_SIZES[shape]:
            bodies.append((shape, float(d), float(d), str(d)))
    for ds, dl in OVAL_SIZES:
        bodies.append(("oval", float(dl), float(ds), "%dx%d" % (ds, dl)))

    connectors = set()
    part = 11000000
    for shape, dl, ds, size in bodies:
        formklw, letters, _, _, _, _, _, dmax_f, rmin_f = SHAPES[shape]
        area, interior, height, surface = cup_geometry(shape, dl, ds)
        fs07 = sig(0.07 * area)  # N: 0.7 bar = 0.07 N/mm^2
        d_equiv = math.sqrt(dl * ds)
        thread, bore, dh0, fixing = thread_class(d_equiv)
        series = series_of(dl)
        size_code = ("%03d" % int(dl)) if shape != "oval" else "%02dx%02d" % (int(ds), int(dl))
        dmax = round(dl * dmax_f, 1)
        rmin = round(rmin_f * (ds if shape == "oval" else dl) * 2) / 2
        for material in materials_for(shape, dl):
            mat_letters, rho = MATERIALS[material]
            wall = 0.5 + 0.035 * ds  # mm
            body_mass = rho * 1e-9 * surface * wall  # kg (mm^3 -> m^3)
            prefix = "SC-%s-" % series
            body = "%s%s-%s" % (letters, size_code, mat_letters)
            variants = []
            # Spare insert: the cup alone, pushed onto a holder's nipple.
            neck = 0.2 * ds + 2.0
            variants.append(dict(code=prefix + body, holder="-", connector="-", stroke="-",
                                 conn_name="-", thread="-", fixing="-",
                                 hd=round(max(0.5 * ds, 2.0) + 2.0, 1),
                                 length=height + neck,
                                 volume=interior + math.pi / 4 * (bore * 0.8) ** 2 * neck,
                                 mass=body_mass, filt=False, angle=False, insert=True))
            for holder in holders_for(d_equiv, material):
                conn, _, dh_add, (la, lb, lc), hrho, angle = HOLDERS[holder]
                if conn == "push-in":
                    for limit, pname, _, pbore in PUSH_IN:
                        if d_equiv <= limit:
                            break
                    conn_name, h_thread, ch_bore, tcode = pname, "-", pbore, "P" + pname[3:]
                else:
                    conn_name = thread + ("-F" if conn == "female" else "-M")
                    h_thread, ch_bore, tcode = thread, bore, THREAD_CODE[thread]
                hd = dh0 + dh_add
                for stroke in strokes_for(holder, d_equiv):
                    s = float(stroke)
                    hl = la + lb * hd + lc * s
                    hmass = HOLDER_FILL * math.pi / 4 * hd * hd * hl * hrho * 1e-9
                    filters = [False, True] if holder in ("H1", "H3") and material == "NBR" else [False]
                    for filt in filters:
                        code = prefix + body + "-" + holder + tcode
                        if s > 0:
                            code += "S%02d" % int(round(s)) if stroke != "2.6" else "S2.6"
                        if filt:
                            code += "F"
                        variants.append(dict(code=code, holder=holder, connector=conn,
                                             stroke=stroke, conn_name=conn_name,
                                             thread=h_thread, fixing=fixing, hd=hd,
                                             length=height + hl,
                                             volume=interior + math.pi / 4 * ch_bore ** 2 * hl,
                                             mass=body_mass + hmass, filt=filt, angle=angle,
                                             insert=False))
            for v in variants:
                part += 1
                short = "SC%05d" % (part - 11000000)
                assert len(v["code"]) <= 30, v["code"]
                t.add(v["code"], short, series, size, "~" + shape, "~" + material, dl, ds,
                      v["connector"], v["holder"], v["fixing"], v["stroke"],
                      round(v["length"], 1), sig(v["volume"]), fs07, sig(v["mass"]),
                      v["thread"], v["filt"], v["angle"], rmin, dmax, "",
                      v["conn_name"], round(v["hd"], 1), "~Yes" if v["insert"] else "~No",
                      formklw)
                if v["conn_name"] != "-":
                    connectors.add(v["conn_name"])
                package = 10 if dl <= 8 else 1
                desc = "~DescSuctionCupInsert" if v["insert"] else {
                    "standart": "~DescFlatSuctionCup", "extra deep": "~DescDeepSuctionCup",
                    "bellows 1.5": "~DescBellowsSuctionCup15",
                    "bellows 3.5": "~DescBellowsSuctionCup35",
                    "oval": "~DescOvalSuctionCup"}[shape]
                order.append((short, part, prefix + "%s", package, desc))
    add_extra_suction_cups(t, connectors, order)
    return t, connectors


SIZE_CODES = {str(d) for sizes in ROUND_SIZES.values() for d in sizes} | {
    "%dx%d" % s for s in OVAL_SIZES}


def add_extra_suction_cups(t, connectors, order):
    """Appends the cups of src/suction_cups_extra.tsv: products entered with their own data."""
    rows = read_tsv("suction_cups_extra.tsv")
    header = rows[0]
    for r in rows[1:]:
        if len(r) != len(header):
            raise SystemExit("suction_cups_extra.tsv: %d cells, %d columns: %s"
                             % (len(r), len(header), r[0]))
        v = dict(zip(header, r))
        code, series = v["OrderCode"], v["Group"]
        where = "suction_cups_extra.tsv: " + code

        def need(ok, why):
            if not ok:
                raise SystemExit("%s: %s" % (where, why))

        need(series in SERIES_CODES, "Group must be one of " + ", ".join(SERIES_CODES))
        need(code.startswith("SC-%s-" % series) and len(code) <= 30,
             "the order code starts with SC-<Group>- and has at most 30 characters")
        need(v["Shape"] in SHAPES, "unknown shape " + v["Shape"])
        need(v["Material"] in MATERIALS, "unknown material " + v["Material"])
        need(v["Size"] in SIZE_CODES, "unknown size " + v["Size"])
        need(v["Connector"] in ("female", "male", "push-in", "-"), "unknown connector")
        need(v["HolderType"] in HOLDERS or v["HolderType"] == "-", "unknown holder type")
        need(v["StrokeCompensation"] in ("-", "0", "2.6", "3", "6", "10", "20", "30", "40"),
             "unknown stroke compensation")
        part = int(v["PartNo"])
        need(12000000 < part < 13000000, "part numbers of these cups are 12000001 to 12999999")
        short = "SC%d" % part
        insert = v["Insert"] == "X"
        t.add(code, short, series, v["Size"], "~" + v["Shape"], "~" + v["Material"],
              float(v["DiameterLong"]), float(v["DiameterShort"]), v["Connector"],
              v["HolderType"], v["HolderSize"], v["StrokeCompensation"], float(v["Length"]),
              float(v["Volume"]), float(v["Fs07"]), float(v["Mass_kg"]), v["Thread"],
              v["Filter"] == "X", v["AngleCompensator"] == "X", float(v["RminWorkpiece"]),
              float(v["DmaxSuctionCup"]), "", v["ConnectorName"], float(v["HolderDiameter"]),
              "~Yes" if insert else "~No", SHAPES[v["Shape"]][0])
        if v["ConnectorName"] != "-":
            connectors.add(v["ConnectorName"])
        order.append((short, part, "SC-%s-%%s" % series, int(v["Package"]), v["Description"]))


# ---------------------------------------------------------------------------------------
# Tubes, fittings and connectors
# ---------------------------------------------------------------------------------------

COLOURS = [("nature", "NT"), ("silver", "SV"), ("blue", "BL"), ("black", "BK"),
           ("yellow", "YE"), ("green", "GN"), ("red", "RD")]
DW_SIZES = [3, 4, 6, 8, 10, 12]     # push-in series DW, tube outer diameters
TX_SIZES = [4, 6, 8, 10, 12, 16]    # push-in series TX
BF_INNER = [2, 4, 6, 8]             # barbed series BF, tube inner diameters
COMMON_THREAD = {3: "M3", 4: "M5", 6: "G18", 8: "G18", 10: "G14", 12: "G14", 16: "G38"}

# Series: code, sizes (outer x inner diameter, mm), colours of the standard tube, metres per
# roll. The variants (food-safe, calibrated, antistatic) are added in build_tubes.
TUBE_SERIES = [
    ("PU", [(3, 2), (4, 2.5), (6, 4), (8, 6), (10, 8), (12, 9), (16, 12)],
     [c for c, _ in COLOURS], 50),
    ("PA", [(4, 2.7), (6, 4.3), (8, 6), (10, 8), (12, 10)],
     ["nature", "black", "blue", "silver"], 100),
    ("PE", [(4, 2.5), (6, 4), (8, 6), (10, 7.5), (12, 9)],
     ["nature", "blue", "black"], 100),
]
DISCONTINUED = {("PE", 10, "black"), ("PU", 3, "yellow"), ("PU", 3, "green")}

# Fittings a cup connector accepts: thread -> DW and TX tube sizes (female connectors
# take male push-in fittings, male connectors the fewer push-in fittings with female thread).
FEMALE_FITS = {"M3": ([3, 4], []), "M5": ([3, 4, 6], [4, 6]), "G1/8": ([4, 6, 8], [4, 6, 8]),
               "G1/4": ([6, 8, 10, 12], [6, 8, 10, 12]), "G3/8": ([8, 10, 12], [10, 12, 16])}
MALE_FITS = {"M3": ([3], []), "M5": ([3, 4], [4]), "G1/8": ([4, 6], [4, 6]),
             "G1/4": ([6, 8], [6, 8, 10]), "G3/8": ([8, 10], [10, 12])}
PUSH_IN_FITS = {"PI-4": ([4], [4]), "PI-6": ([6], [6])}


def build_tubes(order):
    t = Table("TableIndexed", "qry Tube", "tube.tsv", [
        "PartNo:csfDWord", "OrderCode:csfString", "Group:csfString", "SubGroup:csfString",
        "Packaging:csfWord", "Diameter:csfFloat", "~Food:csfString:0:0:1",
        "~Color:csfString", "~Calibration:csfString", "CalInside:csfPBool",
        "CalOutside:csfPBool", "DW:csfString", "TX:csfString", "BF:csfString",
        "DW-x:csfString", "TX-x:csfString", "BF-x:csfString",
        # Computed by the program: whether the tube fits the chosen cup.
        "~ok:csfString:0:0:1", "~DiscontinuedType:csfString:0:0:1"])
    part = 22000000
    for group, sizes, colours, packaging in TUBE_SERIES:
        for od, idia in sizes:
            variants = []
            for colour in colours:
                variants.append(("standard", colour, False, group == "PA"))
            if group == "PU":
                variants.append(("food", "nature", False, False))
                variants.append(("food", "blue", False, False))
                if idia in BF_INNER:
                    variants.append(("calibrated", "nature", True, False))
                variants.append(("antistatic", "black", False, False))
            if group == "PE":
                variants.append(("food", "nature", False, True))
            if group == "PA":
                variants.append(("food", "nature", False, True))
            for sub, colour, cal_in, cal_out in variants:
                ccode = dict(COLOURS)[colour]
                code = "TU-%s-%02dx%s-%s" % (group, od, num(idia), ccode)
                if sub != "standard":
                    code += "-" + {"food": "FD", "calibrated": "CI", "antistatic": "AS"}[sub]
                food = sub == "food"
                cal_text = "~Inside" if cal_in else "~Outside" if cal_out else "~No"
                dw = "DW-%d-%s" % (od, COMMON_THREAD[od]) if od in DW_SIZES else "-"
                tx = "TX-%d-%s" % (od, COMMON_THREAD[od]) if od in TX_SIZES else "-"
                bf_ok = group == "PU" and idia in BF_INNER
                bf = "BF-%d-%s" % (idia, COMMON_THREAD[od]) if bf_ok else "-"
                dwx = "DW-%d-x" % od if od in DW_SIZES else "-"
                txx = "TX-%d-x" % od if od in TX_SIZES else "-"
                bfx = "BF-%d-x" % idia if bf_ok else "-"
                disc = (group, od, colour) in DISCONTINUED
                part += 1
                pack = 25 if food else packaging
                t.add(part, code, group, sub, pack, idia / 1000.0, "~Yes" if food else "~No",
                      "~" + colour, cal_text, cal_in, cal_out, dw, tx, bf, dwx, txx, bfx, "",
                      "~Yes" if disc else "~No")
                desc = "~DescFoodTube" if food else "~DescVacuumTube"
                # The parts list finds a tube by its order code; the part number is listed
                # as a short cut too, so either key leads to the same order row.
                order.append((code, part, code, 1, desc))
                order.append((str(part), part, code, 1, desc))
    return t


def build_connectors(names):
    t = Table("TableIndexed", "Connector", "connector.tsv",
              ["Name:csfString", "Connection:csfString"])
    for name in sorted(names):
        if name in PUSH_IN_FITS:
            dw, tx = PUSH_IN_FITS[name]
        else:
            thread, kind = name.rsplit("-", 1)
            dw, tx = (FEMALE_FITS if kind == "F" else MALE_FITS)[thread]
        for od in dw:
            t.add(name, "DW-%d-x" % od)
        for od in tx:
            t.add(name, "TX-%d-x" % od)
    return t


# ---------------------------------------------------------------------------------------
# Vacuum generators
# ---------------------------------------------------------------------------------------

# Series: vacuum limit V_inf (bar) and pressure scale p_c (bar) of the vacuum curve,
# entrainment ratio and optimum pressure (bar) of the suction curve, sound level offset
# dB(A), base mass kg, mass per mm^2 nozzle, fittings by nozzle.
VENTURI_SERIES = {
    "V1": dict(vinf=0.94, pc=2.2, eps=0.55, popt=4.5, l0=50.0, m0=0.012, md=0.010),
    "V2": dict(vinf=0.92, pc=2.3, eps=0.55, popt=5.0, l0=50.0, m0=0.110, md=0.020),
    "V3": dict(vinf=0.76, pc=1.8, eps=1.90, popt=5.0, l0=46.0, m0=0.280, md=0.090),
    "V4": dict(vinf=0.90, pc=2.2, eps=0.90, popt=4.5, l0=48.0, m0=0.160, md=0.040),
}
P_ON = 0.5           # bar: below this supply pressure the nozzle makes no vacuum
SILENCER_DB = 12.0   # dB(A) taken off by a silencer
CURVE_X = [2.0 + 0.5 * i for i in range(13)]   # supply pressures of the curve points, bar
EVAC_PRESSURES = [3.0, 4.0, 5.0, 6.0, 7.0]     # pressure groups of the evacuation tables
EVAC_LEVELS = [0.1 * i for i in range(1, 10)]  # vacuum levels, bar
EVAC_MARGIN = 0.02   # a level is listed when it lies this far below the reachable vacuum
EVAC_VOLUME = 1.0    # litre


def air_consumption(d_mm, p):
    """Free-air flow (l/min) through a choked nozzle of throat d at gauge supply p (bar)."""
    area = math.pi / 4 * (d_mm * 1e-3) ** 2
    p_abs = (p + P_AMB) * 1e5
    crit = (2 / (KAPPA + 1)) ** ((KAPPA + 1) / (2 * (KAPPA - 1)))
    mdot = CD_NOZZLE * area * p_abs * math.sqrt(KAPPA / (R_AIR * T_SUPPLY)) * crit
    return mdot / RHO_ANR * 1000 * 60


def vacuum_max(s, p):
    """Reachable vacuum (bar) at gauge supply p (bar)."""
    if p <= P_ON:
        return 0.0
    return s["vinf"] * math.tanh((p - P_ON) / s["pc"])


def suction_capacity(s, d_mm, p):
    """Free-flow suction capacity (l/min) at zero vacuum; largest at the optimum pressure."""
    q_peak = s["eps"] * air_consumption(d_mm, s["popt"])
    x = p / s["popt"]
    return q_peak * x * math.exp(1 - x)


def sound_level(s, d_mm, p, silencer):
    """Sound pressure level dB(A) at 1 m: grows with the exhaust flow and the pressure."""
    level = s["l0"] + 10 * math.log10(air_consumption(d_mm, p)) + 1.5 * (p - 3.0)
    return level - (SILENCER_DB if silencer else 0.0)


def evacuation_time(q0_lpm, vmax, v, volume=EVAC_VOLUME, steps=4000):
    """Time (s) to evacuate `volume` litres from ambient pressure to vacuum v (bar).

    Isothermal vessel; the generator removes a free-air flow q(x) = q0 (1 - x/vmax) at
    vacuum x, so the vessel pressure falls as dx/dt = q(x) p_amb / V and the time is the
    integral of V / (p_amb q(x)) from 0 to v, taken with Simpson's rule.
    """
    q0 = q0_lpm / 60.0  # l/s

    def dt_dx(x):
        return volume / (P_AMB * q0 * (1 - x / vmax))

    h = v / steps
    total = dt_dx(0.0) + dt_dx(v)
    for i in range(1, steps):
        total += (4 if i % 2 else 2) * dt_dx(i * h)
    return total * h / 3


def evacuation_time_closed(q0_lpm, vmax, v, volume=EVAC_VOLUME):
    return volume * vmax / (P_AMB * q0_lpm / 60.0) * math.log(vmax / (vmax - v))


def nice_ceiling(x):
    for step in (1, 2, 5, 10, 20, 50, 100, 200):
        if x <= step * 10:
            return step * math.ceil(x / step)
    return 500 * math.ceil(x / 500)


def venturi_variants(series, d):
    """Option sets offered per series: fittings, switch and the yes/no equipment."""
    base = dict(p="G1/8", v="G1/8", switch="-", hyst="-", filt=False, nrv=False, air=False,
                sil=True, pulse="~No", valve=False, scale="-")
    out = []
    if series == "V1":
        fit = "M5" if d <= 0.7 else "G1/8"
        for sil in (False, True):
            out.append(dict(base, p=fit, v=fit, sil=sil))
    elif series == "V2":
        fit_p = "M5" if d <= 0.5 else "G1/8"
        b = dict(base, p=fit_p, v="G1/8", filt=True)
        out.append(dict(b))
        out.append(dict(b, valve=True, pulse="~Electrical"))
        out.append(dict(b, valve=True, pulse="~Mechanical"))
        out.append(dict(b, valve=True, pulse="~Electrical", switch="NPN",
                        hyst="~FixedHysteresis", scale="-1..0 bar"))
        out.append(dict(b, valve=True, pulse="~Electrical", switch="PNP",
                        hyst="~FixedHysteresis", scale="-1..0 bar"))
        out.append(dict(b, valve=True, pulse="~Electrical", switch="PNP",
                        hyst="~AdjustableHysteresis", scale="-100..0 kPa", nrv=True, air=True))
        out.append(dict(b, valve=True, pulse="~Electrical", switch="NPN",
                        hyst="~AdjustableHysteresis", scale="-100..0 kPa", nrv=True, air=True))
    elif series == "V3":
        fit_p = "G1/4" if d <= 2.0 else "G3/8"
        fit_v = "G1/4" if d <= 1.0 else "G3/8"
        for filt in (False, True):
            out.append(dict(base, p=fit_p, v=fit_v, filt=filt))
    elif series == "V4":
        fit_p = "G1/8" if d <= 1.4 else "G1/4"
        b = dict(base, p=fit_p, v="G1/4", filt=True, valve=True, pulse="~Electrical")
        out.append(dict(b))
        out.append(dict(b, nrv=True))
        out.append(dict(b, switch="PNP", hyst="~AdjustableHysteresis", scale="-1..0 bar"))
        out.append(dict(b, switch="NPN", hyst="~AdjustableHysteresis", scale="-1..0 bar"))
        out.append(dict(b, switch="PNP", hyst="~AdjustableHysteresis", scale="-30..0 inHg",
                        air=True, nrv=True))
        out.append(dict(b, switch="PNP", hyst="~FixedHysteresis", scale="-100..0 kPa",
                        air=True, nrv=True))
    return out


NOZZLES = {
    "V1": [0.45, 0.5, 0.7, 0.9, 1.0, 1.2],
    "V2": [0.5, 0.7, 1.0, 1.3],
    "V3": [1.0, 1.5, 2.0, 2.5, 3.0],
    "V4": [0.7, 1.0, 1.4, 2.0],
}


def yn(b):
    return "~Yes" if b else "~No"


def build_venturi(order):
    t = Table("TableIndexed", "qry Venturi", "venturi.tsv", [
        "OrderCode:csfString", "Kennlinie:csfString", "ShortCut:csfString",
        "Mass_kg:csfFloat", "Luftverbrauch:csfString", "Saugleistung:csfString",
        "Schalldruck:csfString", "Unterdruck:csfString", "DLavall:csfFloat",
        "Group:csfString", "FittingP:csfString", "FittingV:csfString", "Switch:csfString",
        "~Hysterese:csfString", "~Filter:csfString:0:0:1", "~NonReturnValve:csfString:0:0:1",
        "~AirSaving:csfString:0:0:1", "~Silencer:csfString:0:0:1", "~EjectorPulse:csfString",
        "~ValveVacuum:csfString:0:0:1", "~ok:csfString:0:0:1", "MaxLV:csfFloat",
        "MaxSL:csfFloat", "MaxSD:csfFloat", "Time:csfFloat", "Vacuum:csfFloat",
        "Skalierung:csfString"])
    curve_cols = lambda y: ["Curve:csfString", "Pressure_bar:csfFloat", y]
    vac = Table("TableIndexed", "tbl Curve Vacuum", "curve_vacuum.tsv",
                curve_cols("Vacuum_bar:csfFloat"))
    suc = Table("TableIndexed", "tbl Curve SuctionCapacity", "curve_suction_capacity.tsv",
                curve_cols("SuctionCapacity_lpm:csfFloat"))
    air = Table("TableIndexed", "tbl Curve AirComsumption", "curve_air_consumption.tsv",
                curve_cols("AirConsumption_lpm:csfFloat"))
    snd = Table("TableIndexed", "tbl Curve SoundPressureLevel",
                "curve_sound_pressure_level.tsv", curve_cols("SoundPressureLevel_dBA:csfFloat"))
    evac = Table("TableIndexed", "tbl Curve EvacuationTime", "curve_evacuation_time.tsv",
                 ["Curve:csfString", "Pressure:csfFloat", "Vacuum:csfFloat", "Time_ms:csfDWord"])
    sound_done = set()
    part = 33000000
    max_levels = 0
    for series in ["V1", "V2", "V3", "V4"]:
        s = VENTURI_SERIES[series]
        for d in NOZZLES[series]:
            dcode = "%03d" % int(round(d * 100))
            name = "%s-%s" % (series, dcode)
            for x in CURVE_X:
                vac.add("UD-" + name, x, round(vacuum_max(s, x), 3))
                suc.add("SL-" + name, x, round(suction_capacity(s, d, x), 2))
                air.add("LV-" + name, x, round(air_consumption(d, x), 2))
            for p in EVAC_PRESSURES:
                vmax = vacuum_max(s, p)
                q0 = suction_capacity(s, d, p)
                levels = [v for v in EVAC_LEVELS if v <= vmax - EVAC_MARGIN + 1e-9]
                max_levels = max(max_levels, len(levels))
                for v in levels:
                    tsec = evacuation_time(q0, vmax, v)
                    closed = evacuation_time_closed(q0, vmax, v)
                    assert abs(tsec - closed) <= 1e-6 * closed, (name, p, v, tsec, closed)
                    evac.add("EV-" + name, p, round(v, 1), int(round(tsec * 1000)))
            max_lv = nice_ceiling(1.1 * air_consumption(d, 7.0))
            max_sl = nice_ceiling(1.1 * max(suction_capacity(s, d, x) for x in CURVE_X))
            for opt in venturi_variants(series, d):
                sname = "SD-%s%s" % (name, "-S" if opt["sil"] else "")
                if sname not in sound_done:
                    sound_done.add(sname)
                    for x in CURVE_X:
                        snd.add(sname, x, round(sound_level(s, d, x, opt["sil"]), 1))
                max_sd = 10 * math.ceil((sound_level(s, d, 8.0, opt["sil"]) + 5) / 10)
                code = "VG-%s-%s-%s%s" % (series, dcode, opt["p"].replace("/", ""),
                                          "" if opt["v"] == opt["p"] else opt["v"].replace("/", ""))
                flags = ""
                flags += "V" if opt["valve"] else ""
                flags += {"~No": "", "~Electrical": "E", "~Mechanical": "M"}[opt["pulse"]]
                flags += {"-": "", "NPN": "N", "PNP": "P"}[opt["switch"]]
                flags += {"-": "", "~FixedHysteresis": "H", "~AdjustableHysteresis": "A"}[opt["hyst"]]
                flags += "R" if opt["nrv"] else ""
                flags += "S" if opt["air"] else ""
                flags += "F" if opt["filt"] else ""
                flags += "Q" if opt["sil"] else ""
                flags += {"-": "", "-1..0 bar": "1", "-100..0 kPa": "2", "-30..0 inHg": "3"}[opt["scale"]]
                if flags:
                    code += "-" + flags
                assert len(code) <= 30, code
                mass = s["m0"] + s["md"] * d * d
                mass += 0.060 if opt["valve"] else 0.0
                mass += 0.030 if opt["switch"] != "-" else 0.0
                mass += 0.008 if opt["sil"] and series == "V1" else 0.0
                part += 1
                short = "VG%04d" % (part - 33000000)
                t.add(code, "EV-" + name, short, sig(mass), "LV-" + name, "SL-" + name, sname,
                      "UD-" + name, d / 1000.0, series, opt["p"], opt["v"], opt["switch"],
                      opt["hyst"], yn(opt["filt"]), yn(opt["nrv"]), yn(opt["air"]),
                      yn(opt["sil"]), opt["pulse"], yn(opt["valve"]), "", max_lv, max_sl,
                      max_sd, 0, 0, opt["scale"])
                desc = {"V1": "~DescInlineEjector", "V2": "~DescCompactEjector",
                        "V3": "~DescMultiStageEjector", "V4": "~DescEjectorModule"}[series]
                order.append((short, part, "%s", 1, desc))
    buffer = Table("Table", "tEvac BufferSize", "evac_buffer_size.tsv",
                   ["pSize:csfDWord", "vSize:csfDWord"])
    # Room to spare: curves with finer pressure or vacuum steps fit without a change.
    buffer.add(2 * len(EVAC_PRESSURES), 2 * max_levels)
    return [t, evac, buffer, vac, suc, air, snd]


def build_venturi_switch():
    t = Table("Table", "VenturiSwitch", "venturi_switch.tsv", [
        "Switch:csfString", "NPN:csfByte", "PNP:csfByte", "U:csfByte", "I:csfByte",
        "ASI:csfByte"])
    for row in [("-", 0, 0, 0, 0, 0), ("NPN", 1, 0, 0, 0, 0), ("PNP", 0, 1, 0, 0, 0),
                ("2xNPN", 2, 0, 0, 0, 0), ("2xPNP", 0, 2, 0, 0, 0), ("NPN+U", 1, 0, 1, 0, 0),
                ("PNP+U", 0, 1, 1, 0, 0), ("NPN+I", 1, 0, 0, 1, 0), ("PNP+I", 0, 1, 0, 1, 0),
                ("U", 0, 0, 1, 0, 0), ("I", 0, 0, 0, 1, 0), ("ASI", 0, 0, 0, 0, 1)]:
        t.add(*row)
    return t


# ---------------------------------------------------------------------------------------
# Drives
# ---------------------------------------------------------------------------------------

CYLINDER_BORES = [6, 8, 10, 12, 16, 20, 25, 32, 40, 50, 63, 80, 100, 125]
# Adjustable end cushioning (mm): bores below 20 mm have elastic bumpers only.
CUSHION_MM = {20: (12, 15), 25: (15, 17), 32: (17, 20), 40: (19, 22), 50: (20, 24),
              63: (21, 26), 80: (28, 32), 100: (32, 36), 125: (36, 40)}
LOAD_RATIO = 0.25  # the weight of the moving mass is at most a quarter of the piston force


def build_cylinders():
    t = Table("Table", "tbl CylinderForce", "cylinder_force.tsv", [
        "Diameter:csfFloat", "Diameter_mm:csfString", "Force:csfFloat", "Mass:csfFloat",
        "VKDmin:csfFloat", "VKDmax:csfFloat"])
    for bore in CYLINDER_BORES:
        force = RATED_PRESSURE * math.pi / 4 * (bore / 1000.0) ** 2
        cmin, cmax = CUSHION_MM.get(bore, (0, 0))
        t.add(bore / 1000.0, "%d mm" % bore, round(force, 1), round(LOAD_RATIO * force / G, 2),
              cmin / 1000.0, cmax / 1000.0)
    return t


# Shock absorbers: thread, diameter mm, stroke mm.
ABSORBER_SIZES = [("M6x0.5", 6, 4), ("M8x1", 8, 6), ("M10x1", 10, 8), ("M12x1", 12, 10),
                  ("M14x1.5", 14, 12), ("M16x1", 16, 14), ("M20x1.5", 20, 16),
                  ("M20x1.5", 20, 25), ("M25x1.5", 25, 25), ("M33x1.5", 33, 25),
                  ("M33x1.5", 33, 50)]
ABS_PRESSURE = 25.0     # N/mm^2: highest oil pressure behind the absorber piston
ABS_PISTON = 0.55       # piston diameter / thread diameter
ABS_EFFICIENCY = 0.8    # energy / (end force x stroke) of a hydraulic absorber
ABS_HEAT_FLUX = 0.0025  # W/mm^2 that the body surface gives off in continuous duty
ABS_V_REF = 0.5         # m/s: the largest effective mass is taken at this impact speed
ABSORBER_GROUPS = {
    # group: energy factor, v_min, v_max, medium, cushioning, side angle
    "QA": (1.0, 0.15, 3.0, "~Oil", "~SelfAdjusting", 2.5),
    "QB": (1.2, 0.10, 5.0, "~Oil", "~Adjustable", 2.5),
    "QE": (0.2, 0.05, 1.0, "~Elastomer", "~Elastic", 5.0),
}


def build_absorbers(order):
    t = Table("Table", "ShockAbsorber", "shock_absorber.tsv", [
        "OrderCode:csfString", "ShortCut:csfString", "Group:csfString", "Diameter:csfFloat",
        "Stroke:csfFloat", "Angle_max:csfFloat", "W_tot:csfFloat", "W_tot_h:csfFloat",
        "v_min:csfFloat", "v_max:csfFloat", "m_max:csfFloat", "F_max:csfFloat",
        "WRest:csfFloat", "tr:csfFloat", "Fr:csfFloat", "~Medium:csfString",
        "~Cushioning:csfString", "Rotationsantrieb:csfPBool", "Bez:csfString"])
    rot = Table("Table", "ShockAbsorber Rot", "shock_absorber_rot.tsv",
                ["OrderCode:csfString", "ShortCut:csfString"])
    part = 44000000
    for group, (ef, vmin, vmax, medium, cushioning, angle) in ABSORBER_GROUPS.items():
        for thread, dia, stroke in ABSORBER_SIZES:
            if group == "QB" and dia < 10:
                continue  # no room for an adjusting ring
            if group == "QE" and stroke > 25:
                continue
            a_piston = math.pi / 4 * (ABS_PISTON * dia) ** 2
            w_hyd = ABS_PRESSURE * a_piston * stroke / 1000.0  # J
            w = sig(ef * w_hyd)
            elastic = medium == "~Elastomer"
            if elastic:
                f_max = 2 * w / (stroke / 1000.0)      # linear spring characteristic
                w_h = 1800 * w                         # at most one stroke every 2 s
                fr = 0.0
                tr = 0.05
            else:
                f_max = w / (ABS_EFFICIENCY * stroke / 1000.0)
                body = 4 * dia + 2 * stroke
                w_h = ABS_HEAT_FLUX * math.pi * dia * body * 3600
                fr = 0.06 * dia * dia
                tr = 0.02 + 0.015 * stroke
            m_max = 2 * w / ABS_V_REF ** 2
            code = "SA-%s-%s-%d" % (group, thread.split("x")[0], stroke)
            part += 1
            short = "SA%04d" % (part - 44000000)
            swivel = dia <= 16 and not elastic
            t.add(code, short, group, dia / 1000.0, stroke / 1000.0, angle, w, sig(w_h),
                  vmin, vmax, sig(m_max), sig(f_max), round(fr * stroke / 1000.0, 4),
                  round(tr, 3), round(fr, 1), medium, cushioning, swivel, code)
            if swivel:
                rot.add(code, short)
            desc = "~DescElastomerBuffer" if elastic else "~DescShockAbsorber"
            order.append((code, part, code, 1, desc))
    return t, rot


ROTARY_BORES = [10, 12, 16, 20, 25, 32, 40, 50, 63]
VANE_SIZES = [10, 16, 20, 25, 32, 40]
ROT_EFFICIENCY = 0.9
PINION_RADIUS = 0.35     # pitch radius / bore of the rack-and-pinion drives
CUSHION_FACTOR = 1.5     # the cushioning takes 1.5 times the drive's work over its angle
OMEGA_REF = math.pi      # rad/s: reference swivel speed (180 deg/s) of the inertia limit


def build_rotary():
    t = Table("TableIndexed", "qry RotaryCylinders", "rotary_cylinders.tsv", [
        "OrderCode:csfString", "PistonDiameter:csfFloat", "AngleMin:csfFloat",
        "AngleMax:csfFloat", "Angle1:csfFloat", "Angle2:csfFloat", "Angle3:csfFloat",
        "Torque:csfFloat", "MomentOfInertiaMax:csfFloat", "CushAngleMin:csfFloat",
        "CushAngleMax:csfFloat"])

    def inertia_max(torque, cush_deg):
        energy = CUSHION_FACTOR * torque * math.radians(cush_deg)
        return sig(2 * energy / OMEGA_REF ** 2)

    for bore in ROTARY_BORES:
        d = bore / 1000.0
        torque = RATED_PRESSURE * math.pi / 4 * d * d * PINION_RADIUS * d * 2 * ROT_EFFICIENCY
        cmin, cmax = (8.0, 15.0) if bore >= 16 else (1.0, 3.0)
        for nominal in (90, 180):
            t.add("RA-%d-%d" % (bore, nominal), bore, 0, nominal + 5, 0, 0, 0, sig(torque),
                  inertia_max(torque, cmin), cmin, cmax)
    for bore in VANE_SIZES:
        r = bore / 2000.0
        h = 0.8 * bore / 1000.0
        torque = RATED_PRESSURE * h * (r * r - (0.3 * r) ** 2) / 2 * ROT_EFFICIENCY
        t.add("RV-%d" % bore, bore, 0, 0, 90, 180, 270, sig(torque),
              inertia_max(torque, 2.0), 1.0, 3.0)
    return t


# ---------------------------------------------------------------------------------------
# Hand-maintained tables
# ---------------------------------------------------------------------------------------

def build_density():
    t = Table("Table", "tbl Density", "density.tsv", [
        "~Material:csfString", "min:csfFloat", "max:csfFloat", "ProjectKey:csfString"])
    for key, lo, hi, project in read_tsv("density.tsv"):
        assert float(lo) <= float(hi), key
        t.add(key, float(lo), float(hi), project)
    return t


def build_friction():
    t = Table("Table", "tbl Friction", "friction.tsv", [
        "~SuctionCup:csfString", "~Workpiece:csfString", "min:csfFloat", "max:csfFloat",
        "typical:csfFloat"])
    for cup, work, lo, hi, typ in read_tsv("friction.tsv"):
        assert float(lo) <= float(typ) <= float(hi), (cup, work)
        t.add(cup, work, float(lo), float(hi), float(typ))
    return t


def build_durability():
    t = Table("TableIndexed", "tbl Durability", "durability.tsv", [
        "~Chemical:csfString", "~SuctionCup:csfString", "~Durability:csfString"])
    rows = read_tsv("durability.tsv")
    materials = rows[0][1:]
    for r in rows[1:]:
        for m, rating in zip(materials, r[1:]):
            t.add(r[0], m, rating)
    return t


def build_order(entries):
    t = Table("TableIndexed", "Order", "order.tsv", [
        "ShortCut:csfString", "PartNo:csfDWord", "OrderCode:csfString", "Package:csfWord",
        "~Description:csfString"])
    seen = set()
    for short, part, code, package, desc in entries:
        assert short not in seen, short
        seen.add(short)
        assert len(code) <= 30 and len(str(part)) <= 8
        t.add(short, part, code, package, desc)
    return t


# ---------------------------------------------------------------------------------------
# Language container
# ---------------------------------------------------------------------------------------

LANGUAGES = [("en", "English"), ("de", "Deutsch"), ("fr", "Français"), ("ru", "Русский"),
             ("es", "Español"), ("it", "Italiano"), ("pl", "Polski"), ("ja", "日本語"),
             ("zhcn", "简体中文")]
CODE_PAGES = {"en": "cp1252", "de": "cp1252", "fr": "cp1252", "ru": "cp1251", "es": "cp1252",
              "it": "cp1252", "pl": "cp1250", "ja": "cp932", "zhcn": "cp936"}
FLAG_W, FLAG_H = 24, 16


def flag_pixels(code):
    """Rows of (r, g, b) from top to bottom."""
    W, H = FLAG_W, FLAG_H
    px = [[(0, 0, 0)] * W for _ in range(H)]

    def horizontal(colours):
        for y in range(H):
            px[y] = [colours[y * len(colours) // H]] * W

    def vertical(colours):
        for y in range(H):
            px[y] = [colours[x * len(colours) // W] for x in range(W)]

    if code == "de":
        horizontal([(0, 0, 0), (221, 0, 0), (255, 206, 0)])
    elif code == "es":
        # Red, yellow twice as high, red.
        horizontal([(170, 21, 27), (241, 191, 0), (241, 191, 0), (170, 21, 27)])
    elif code == "it":
        vertical([(0, 146, 70), (255, 255, 255), (206, 43, 55)])
    elif code == "pl":
        horizontal([(255, 255, 255), (220, 20, 60)])
    elif code == "ja":
        # A red disc three fifths of the height across, in the middle of white.
        for y in range(H):
            for x in range(W):
                dx, dy = x + 0.5 - W / 2, y + 0.5 - H / 2
                inside = dx * dx + dy * dy <= (0.3 * H) ** 2
                px[y][x] = (188, 0, 45) if inside else (255, 255, 255)
    elif code == "zhcn":
        # Red with a large yellow five-pointed star near the hoist.
        import math
        red, yellow = (238, 28, 37), (255, 255, 0)
        cx, cy, r = W * 0.2, H * 0.3, H * 0.22
        star = []
        for i in range(10):
            a = -math.pi / 2 + i * math.pi / 5
            rr = r if i % 2 == 0 else r * 0.382
            star.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))

        def in_star(x, y):
            # Even-odd rule over the star's outline.
            c = False
            for i in range(len(star)):
                (x1, y1), (x2, y2) = star[i], star[i - 1]
                if (y1 > y) != (y2 > y) and x < (x2 - x1) * (y - y1) / (y2 - y1) + x1:
                    c = not c
            return c

        for y in range(H):
            for x in range(W):
                px[y][x] = yellow if in_star(x + 0.5, y + 0.5) else red
    elif code == "ru":
        horizontal([(255, 255, 255), (0, 57, 166), (213, 43, 30)])
    elif code == "fr":
        vertical([(0, 35, 149), (255, 255, 255), (237, 41, 57)])
    elif code == "en":
        blue, white, red = (1, 33, 105), (255, 255, 255), (200, 16, 46)
        for y in range(H):
            for x in range(W):
                # Distance to the two diagonals, in pixels of the longer side.
                fx, fy = (x + 0.5) / W, (y + 0.5) / H
                d1 = abs(fx - fy) * W
                d2 = abs(fx - (1 - fy)) * W
                c = blue
                if min(d1, d2) < 2.2:
                    c = white
                if min(d1, d2) < 0.8:
                    c = red
                if abs(x - (W - 1) / 2) < 3.5 or abs(y - (H - 1) / 2) < 3.5:
                    c = white
                if abs(x - (W - 1) / 2) < 1.5 or abs(y - (H - 1) / 2) < 1.5:
                    c = red
                px[y][x] = c
    else:
        raise ValueError(code)
    return px


def bmp_bytes(px):
    """A 24-bit uncompressed Windows bitmap (rows stored bottom-up, padded to 4 bytes)."""
    h, w = len(px), len(px[0])
    row_size = (w * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for r, g, b in px[y]:
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def build_language(product_tables):
    rows = read_tsv("texts.tsv")
    header = rows[0]
    codes = [c for c, _ in LANGUAGES]
    assert header == ["Key"] + codes, header
    keys = {}
    for r in rows[1:]:
        assert len(r) == len(header), r
        assert r[0].startswith("~"), r[0]
        assert r[0] not in keys, "key twice: " + r[0]
        for code, text in zip(codes, r[1:]):
            assert text, "%s has no %s text" % (r[0], code)
            text.encode(CODE_PAGES[code])  # must fit the language's code page
        keys[r[0]] = r[1:]
    # Every key that the product data uses needs a text.
    used = set()
    for t in product_tables:
        for i, name in enumerate(t.column_names()):
            if name.startswith("~"):
                used.add(name)
                for r in t.rows:
                    if r[i].startswith("~"):
                        used.add(r[i])
    missing = sorted(used - set(keys))
    if missing:
        raise SystemExit("keys without texts in catalog/src/texts.tsv: " + ", ".join(missing))
    lines = ["\t".join(header)]
    for key in sorted(keys, key=lambda k: (k.lower(), k)):
        lines.append("\t".join([key] + keys[key]))
    translations = "\n".join(lines) + "\n"

    files = {"translations.tsv": translations.encode("utf-8")}
    dialog = ["ISO:csfString\tName:csfWideString\tFlag:csfBLOB"]
    for code, name in LANGUAGES:
        flag = "flags/%s.flag" % code
        # The flag cell holds the picture class name followed by the bitmap file.
        files[flag] = b"\x07TBitmap" + bmp_bytes(flag_pixels(code))
        dialog.append("%s\t%s\t@%s" % (code, name, flag))
    files["dialog.tsv"] = ("\n".join(dialog) + "\n").encode("utf-8")
    files["index.tsv"] = (
        "# Language container: generated by catalog/generate.py, edit catalog/src/texts.tsv.\n"
        "FileFormatVersion=1.3\n"
        "Language\tTranslations\ttranslations.tsv\n"
        "Table\tDialog\tdialog.tsv\n").encode("utf-8")
    return files


# ---------------------------------------------------------------------------------------
# Main
# ---------------------------------------------------------------------------------------

def product_files():
    order = []
    cups, connector_names = build_suction_cups(order)
    tubes = build_tubes(order)
    connectors = build_connectors(connector_names)
    venturi = build_venturi(order)
    absorbers, absorbers_rot = build_absorbers(order)
    tables = [cups, tubes, connectors] + venturi + [
        build_venturi_switch(), build_density(), build_cylinders(), absorbers, absorbers_rot,
        build_rotary(), build_order(order), build_friction(), build_durability()]
    files = {}
    index = ["# Product database: generated by catalog/generate.py, do not edit by hand.",
             "# KIND<TAB>TABLE NAME<TAB>SOURCE FILE; name=value lines form the header.",
             "FileFormatVersion=1.3"]
    for t in tables:
        index.append("%s\t%s\t%s" % (t.kind, t.name, t.file))
        files[t.file] = t.text().encode("utf-8")
    files["index.tsv"] = ("\n".join(index) + "\n").encode("utf-8")
    return tables, files


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--check", action="store_true",
                    help="compare with the files on disk instead of writing them")
    args = ap.parse_args()
    tables, pfiles = product_files()
    lfiles = build_language(tables)
    outputs = [(PRODUCT, pfiles), (LANGUAGE, lfiles)]
    stale = []
    for folder, files in outputs:
        for name, data in sorted(files.items()):
            path = os.path.join(folder, name)
            old = None
            if os.path.exists(path):
                with open(path, "rb") as f:
                    old = f.read()
            if old == data:
                continue
            if args.check:
                stale.append(path)
                continue
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        if not args.check:
            # Drop outputs of earlier runs that this run no longer writes.
            for root, _, names in os.walk(folder):
                for n in names:
                    rel = os.path.relpath(os.path.join(root, n), folder).replace(os.sep, "/")
                    if rel not in files:
                        os.remove(os.path.join(root, n))
    if stale:
        print("out of date (run python3 catalog/generate.py):", *stale, sep="\n  ")
        return 1
    if args.check:
        print("catalog sources are up to date")
        return 0
    for t in tables:
        print("%-28s %6d rows" % (t.name, len(t.rows)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
