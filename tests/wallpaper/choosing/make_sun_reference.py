#!/usr/bin/python3
# Makes the sunrise and sunset table of sun_times_test.cpp with PyEphem (Debian's python3-ephem):
#   /usr/bin/python3 tests/wallpaper/choosing/make_sun_reference.py > /tmp/table.txt
# Rising and setting are the moments the sun's upper edge is 34' below the horizon with no refraction
# in the model (pressure 0), which puts the centre at about -0.833 degrees. Each line gives the first
# sunrise and the first sunset whose moment lies within the machine's local day (its midnight to the
# next, at the place's machine offset), as seconds after that midnight, -1 when there is none, and for
# a day without either whether the sun stays up ('D') or down ('N').
import calendar
import datetime
import sys

import ephem

# Name in the C++ table, latitude, longitude, the machine's UTC offset in minutes.
PLACES = [
    ("Eq", 0.0, 0.0, 0),
    ("DE", 0.5, 179.5, 0),  # the date line: the solar day straddles the UTC midnight
    ("DW", -0.5, -179.5, 0),
    ("Bj", 39.90, 116.41, 480),  # Beijing
    ("Ur", 43.83, 87.62, 480),  # Urumqi on Beijing time, two hours ahead of the sun
    ("Hb", 45.75, 126.63, 480),  # Harbin
    ("Sy", -33.87, 151.21, 600),  # Sydney
    ("Os", 59.91, 10.75, 60),  # Oslo
    ("Rk", 64.15, -21.94, 0),  # Reykjavik
    ("Tr", 69.65, 18.96, 60),  # Tromso
    # Sunrise near the UTC midnight and moving fast: a day with two (R2) and a day with none (R0).
    ("R2", 60.0, 85.7, 0),
    ("R0", 60.0, 86.2, 0),
]
EPOCH = ephem.Date("1970/1/1")
SUN = ephem.Sun()


def unix(d):
    return (float(d) - float(EPOCH)) * 86400.0


def observer(lat, lon, centre):
    o = ephem.Observer()
    o.lat, o.lon = str(lat), str(lon)
    o.elevation = 0
    o.pressure = 0
    o.horizon = "-0:50" if centre else "-0:34"
    return o


def upper_limb_above(o, t):
    """Height of the sun's upper edge above -34', in degrees."""
    o.date = ephem.Date(float(EPOCH) + t / 86400.0)
    SUN.compute(o)
    return (SUN.alt + SUN.radius) * 180 / 3.141592653589793 + 34 / 60


def events(o, a, b):
    """Every rising (True) and setting (False) in [a, b), by sampling every minute and bisecting (a dip
    below the horizon shorter than a minute, as on the last day before a polar day, can be missed)."""
    found = []
    t, f = a - 60, upper_limb_above(o, a - 60)
    while t < b:
        u = t + 60
        g = upper_limb_above(o, u)
        if (f > 0) != (g > 0):
            lo, hi = t, u
            while hi - lo > 0.05:
                mid = (lo + hi) / 2
                if (upper_limb_above(o, mid) > 0) == (g > 0):
                    hi = mid
                else:
                    lo = mid
            m = (lo + hi) / 2
            if a <= m < b:
                found.append((m, g > 0))
        t, f = u, g
    return found


def ephem_event(o, rising, t, centre):
    fn = o.next_rising if rising else o.next_setting
    try:
        return unix(fn(SUN, start=ephem.Date(float(EPOCH) + t / 86400.0), use_center=centre))
    except (ephem.AlwaysUpError, ephem.NeverUpError):
        return None


def day(place, y, m, d, checks):
    name, lat, lon, offset = place
    a = calendar.timegm((y, m, d, 0, 0, 0)) - offset * 60
    o = observer(lat, lon, False)
    ev = events(o, a, a + 86400)
    rise = next((t for t, r in ev if r), None)
    sset = next((t for t, r in ev if not r), None)
    # PyEphem's own search and the centre at -50' as checks of the sampling and of the convention.
    for t, r in ev:
        mine = ephem_event(observer(lat, lon, False), r, t - 600, False)
        centre = ephem_event(observer(lat, lon, True), r, t - 600, True)
        if mine is not None:
            checks["ephem"] = max(checks["ephem"], abs(mine - t))
        if centre is not None and abs(lat) <= 66:
            checks["centre"] = max(checks["centre"], abs(centre - t))
    kind = "E" if ev else ("D" if upper_limb_above(o, a) > 0 else "N")
    secs = [-1 if t is None else round(t - a) for t in (rise, sset)]
    return "{%s, %d%02d%02d, %d, %d, '%s'}" % (name, y, m, d, secs[0], secs[1], kind)


def dates():
    """(place names, dates) groups."""
    all_places = [p[0] for p in PLACES]
    start = datetime.date(2026, 1, 1)
    every3weeks = [start + datetime.timedelta(days=21 * i) for i in range(18)]
    yield ["Eq", "Bj", "Os", "Sy"], [(x.year, x.month, x.day) for x in every3weeks]
    yield ["DE", "DW", "Rk", "Tr"], [(2026, m, d) for m in range(1, 13) for d in (1, 15)]
    yield all_places[:-2], [(2026, 3, 20), (2026, 6, 21), (2026, 9, 23), (2026, 12, 21)]
    yield ["R2"], [(2026, 3, 26)]
    yield ["R0"], [(2026, 9, 22)]


def main():
    checks = {"ephem": 0.0, "centre": 0.0}
    by_name = {p[0]: p for p in PLACES}
    lines = []
    for names, ds in dates():
        for n in names:
            for y, m, d in ds:
                lines.append(day(by_name[n], y, m, d, checks))
    seen = set()
    lines = [l for l in lines if not (l in seen or seen.add(l))]
    print("enum Place { %s };" % ", ".join(p[0] for p in PLACES))
    print("const Where Places[] = {")
    for name, lat, lon, offset in PLACES:
        print("    {%s, %s, %d}," % (lat, lon, offset))
    print("};")
    print("// clang-format off")
    print("const Reference References[] = {")
    for i in range(0, len(lines), 3):
        print("    " + ", ".join(lines[i : i + 3]) + ",")
    print("};")
    print("// clang-format on")
    # Tromsø's polar night and polar day: the last change before and the first after.
    tr = observer(69.65, 18.96, False)
    for y, m, d in ((2026, 12, 21), (2026, 6, 21)):
        t0 = calendar.timegm((y, m, d, 12, 0, 0))
        before = [e for k in range(1, 80) for e in events(tr, t0 - k * 86400, t0 - (k - 1) * 86400)]
        after = [e for k in range(0, 80) for e in events(tr, t0 + k * 86400, t0 + (k + 1) * 86400)]
        print("// Tromso, %d-%02d-%02d 12:00 UTC, and the last change before it (a %s) and the next (a %s)."
              % (y, m, d, "rise" if max(before)[1] else "set", "rise" if min(after)[1] else "set"))
        print("const int64_t Tromso%s[] = {%d, %d, %d};"
              % ("Night" if m == 12 else "Day", t0, round(max(before)[0]), round(min(after)[0])))
    print("// largest difference to PyEphem's own search %.1f s, to the centre at -50' %.1f s (within 66 deg)"
          % (checks["ephem"], checks["centre"]), file=sys.stderr)


main()
