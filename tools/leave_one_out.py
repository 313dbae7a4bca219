#!/usr/bin/env python3
"""Leave-one-out check of pluvo's disaggregation on hourly station data.

Every station of an hourly file is taken out in turn. Its own hours are summed
over the reading windows into a twice-daily (Klima) and a daily (Sammler) file,
pluvo interpolates the other stations onto it and scales the hours to those
totals, and the hours pluvo writes are compared with the measured ones, beside
the same figures for the measured total spread evenly over its window.

Only Python 3's standard library is used.

    leave_one_out.py [options] PLUVO HOURLY_FILE [STATIONS_LIST]

HOURLY_FILE is either an hourly station file as pluvo reads it (five header
lines: title, heights, x, y, names), or, when STATIONS_LIST is given, a table
with one header row "YY MM DD HH <id>..." and one row per hour (the table of
hourly_7_stations.txt). STATIONS_LIST then has a header row naming its columns
and one row per station; the columns id, height_m, x_km and y_km are used,
found by those names. Either way the file needs one record for every hour.
Run with --help for the options.
"""

import argparse
import datetime
import math
import os
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True       # leave no cache files beside the script
from station_data import (KLIMA_WINDOWS, SAMMLER_WINDOWS, CheckError, read_station_file,
                          read_table, run_period, station_hours, window_totals,
                          write_hourly_file, write_reading_file)  # noqa: E402

MAX_STATIONS = 100                   # stations pluvo takes in one run


# ---------------------------------------------------------------- one pluvo run

def run_pluvo(pluvo, folder, start, end, settings):
    """Runs pluvo in folder on its three station files; returns its table lines."""
    answers = "\n".join([
        "anetz.txt", "klima.txt", "sammler.txt", "pluvo_out.txt",
        repr(settings.nodata),
        str(start.day), str(start.month), str(start.year),
        str(end.day), str(end.month), str(end.year),
        repr(settings.power), repr(settings.max_distance),
        "0", "0", "1e30", "1e30"]) + "\n"
    try:
        run = subprocess.run([pluvo], input=answers.encode("latin-1"), cwd=folder,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             timeout=settings.timeout)
    except OSError as error:
        raise CheckError(f"cannot run {pluvo}: {error.strerror}") from None
    except subprocess.TimeoutExpired:
        raise CheckError(f"pluvo did not finish within {settings.timeout} s") from None
    if run.returncode != 0:
        output = run.stdout.decode("latin-1").strip().splitlines()
        last = output[-1].strip() if output else ""
        raise CheckError(f"pluvo ended with exit code {run.returncode}: {last}")
    with open(os.path.join(folder, "pluvo_out.txt"), encoding="latin-1") as stream:
        return stream.read().split("\n")


def pluvo_columns(lines, start, days, column_a, column_b, nodata):
    """The two columns of pluvo's table, one value (float or None) per hour."""
    rows = [line.split() for line in lines[5:] if line.strip()]
    if len(rows) != days * 24:
        raise CheckError(f"pluvo wrote {len(rows)} rows, {days * 24} expected")
    first, second = [], []
    for index, row in enumerate(rows):
        date = start + datetime.timedelta(days=index // 24)
        year_field = date.year - 1900 if date.year > 100 else date.year
        if [int(w) for w in row[:4]] != [year_field, date.month, date.day, index % 24 + 1]:
            raise CheckError(f"pluvo's row {index + 1} is stamped {' '.join(row[:4])}")
        for target, column in ((first, column_a), (second, column_b)):
            try:
                value = float(row[column])
            except (IndexError, ValueError):
                raise CheckError(f"pluvo's row {index + 1} has no number in column {column + 1}") from None
            target.append(value if value > -nodata else None)
    return first, second


def compared_pairs(measured, estimate, totals, windows, days):
    """(measured, pluvo, even spread) for every hour of a complete window.

    A window counts when it lies wholly within pluvo's table and its measured
    total exists; its hours then all carry a measured value.
    """
    triples = []
    for day, row in enumerate(totals):
        for (stamp_hour, length), (_h, total) in zip(windows, row):
            begin = day * 24 + stamp_hour - 1
            if total is None or begin + length > days * 24:
                continue
            even = float(total) / length
            for index in range(begin, begin + length):
                if estimate[index] is not None:
                    triples.append((float(measured[index]), estimate[index], even))
    return triples


# ---------------------------------------------------------------- figures

def figures(pairs):
    """Correlation, RMSE, shares of wet and dry hours hit, volume kept.

    pairs: (measured, estimate). A share is None when there is nothing to
    share out, the correlation when either series is constant.
    """
    n = len(pairs)
    if n == 0:
        return {"hours": 0, "r": None, "rmse": None, "wet": None, "dry": None, "volume": None}
    mean_m = sum(m for m, _ in pairs) / n
    mean_e = sum(e for _, e in pairs) / n
    cov = sum((m - mean_m) * (e - mean_e) for m, e in pairs)
    var_m = sum((m - mean_m) ** 2 for m, _ in pairs)
    var_e = sum((e - mean_e) ** 2 for _, e in pairs)
    # Judged on the values, not on the variances, which rounding keeps from 0.
    constant = (min(m for m, _ in pairs) == max(m for m, _ in pairs)
                or min(e for _, e in pairs) == max(e for _, e in pairs))
    wet = [e for m, e in pairs if m > 0]
    dry = [e for m, e in pairs if m == 0]
    volume_m = sum(m for m, _ in pairs)
    return {
        "hours": n,
        "r": cov / math.sqrt(var_m * var_e) if not constant else None,
        "rmse": math.sqrt(sum((m - e) ** 2 for m, e in pairs) / n),
        "wet": sum(1 for e in wet if e > 0) / len(wet) if wet else None,
        "dry": sum(1 for e in dry if e == 0) / len(dry) if dry else None,
        "volume": sum(e for _, e in pairs) / volume_m if volume_m > 0 else None,
    }


COLUMNS = ("station", "totals", "hours", "r pluvo", "r even", "RMSE pluvo", "RMSE even",
           "wet pluvo", "wet even", "dry pluvo", "dry even", "volume pluvo", "volume even")


def table_row(station, kind, triples):
    pluvo = figures([(m, p) for m, p, _ in triples])
    even = figures([(m, e) for m, _, e in triples])

    def number(value):
        return "-" if value is None else f"{value:.3f}"

    def share(value):
        return "-" if value is None else f"{100 * value:.1f} %"

    row = [station, kind, str(pluvo["hours"])]
    for key, form in (("r", number), ("rmse", number), ("wet", share), ("dry", share),
                      ("volume", share)):
        row += [form(pluvo[key]), form(even[key])]
    return row, pluvo, even


def format_table(rows):
    widths = [max(len(r[i]) for r in [COLUMNS] + rows) for i in range(len(COLUMNS))]

    def line(cells):
        return "| " + " | ".join(c.ljust(w) if i < 2 else c.rjust(w)
                                 for i, (c, w) in enumerate(zip(cells, widths))) + " |"
    rule = "|" + "|".join("-" * (w + 1) + ":" if i >= 2 else "-" * (w + 2)
                          for i, w in enumerate(widths)) + "|"
    return "\n".join([line(COLUMNS), rule] + [line(r) for r in rows]) + "\n"


# ---------------------------------------------------------------- the check

def check(settings):
    if settings.stations_list:
        stations, records = read_table(settings.hourly_file, settings.stations_list)
    else:
        stations, records = read_station_file(settings.hourly_file)
    if len(stations) > MAX_STATIONS - 1:
        raise CheckError(f"{len(stations)} stations: pluvo takes at most {MAX_STATIONS} in a run, "
                         f"so the check at most {MAX_STATIONS - 1} (the others, and one as "
                         "Klima and as Sammler station)")
    start, end, records = run_period(records)
    days = (end - start).days + 1
    rows, pooled, series, failures = [], {"Klima": [], "Sammler": []}, [], []
    with tempfile.TemporaryDirectory(prefix="leave_one_out_") as folder:
        for column, station in enumerate(stations):
            others = [c for c in range(len(stations)) if c != column]
            hours = station_hours(records, column, settings.nodata)
            klima = window_totals(hours, KLIMA_WINDOWS)
            sammler = window_totals(hours, SAMMLER_WINDOWS)
            write_hourly_file(os.path.join(folder, "anetz.txt"), stations, records, others)
            write_reading_file(os.path.join(folder, "klima.txt"),
                               "twice-daily totals at 7 h and 19 h", station, start, klima, False)
            write_reading_file(os.path.join(folder, "sammler.txt"),
                               "daily totals at 7 h, in units of 10", station, start, sammler, True)
            try:
                lines = run_pluvo(settings.pluvo, folder, start, end, settings)
                est_k, est_s = pluvo_columns(lines, start, days, 4 + len(others),
                                             5 + len(others), settings.nodata)
            except CheckError as error:
                failures.append(f"station {station['name']}: {error}")
                continue
            for kind, estimate, totals, windows in (("Klima", est_k, klima, KLIMA_WINDOWS),
                                                    ("Sammler", est_s, sammler, SAMMLER_WINDOWS)):
                triples = compared_pairs(hours, estimate, totals, windows, days)
                pooled[kind] += triples
                rows.append(table_row(station["name"], kind, triples)[0])
            if settings.series:
                series.append((station["name"], hours, est_k, klima, est_s, sammler))
    results = {}
    for kind in ("Klima", "Sammler"):
        row, pluvo, even = table_row("all", kind, pooled[kind])
        rows.append(row)
        results[kind] = (pluvo, even)
    if settings.series:
        write_series(settings.series, start, days, series)
    return format_table(rows), results, failures, (start, end)


def even_hours(totals, windows, count):
    even = [None] * count
    for day, row in enumerate(totals):
        for (stamp_hour, length), (_h, total) in zip(windows, row):
            begin = day * 24 + stamp_hour - 1
            for index in range(begin, min(begin + length, count)):
                even[index] = None if total is None else float(total) / length
    return even


def write_series(name, start, days, series):
    """Every hour of every station: measured, pluvo's and the even spread's values."""
    count = days * 24

    def text(value):
        return "-" if value is None else f"{value:g}"
    with open(name, "w", encoding="latin-1") as stream:
        stream.write("station\tyear\tmonth\tday\thour\tmeasured\tklima_pluvo\tklima_even"
                     "\tsammler_pluvo\tsammler_even\n")
        for station, hours, est_k, klima, est_s, sammler in series:
            even_k = even_hours(klima, KLIMA_WINDOWS, count)
            even_s = even_hours(sammler, SAMMLER_WINDOWS, count)
            for index in range(count):
                date = start + datetime.timedelta(days=index // 24)
                stream.write("\t".join([station, str(date.year), str(date.month), str(date.day),
                                        str(index % 24 + 1)]
                                       + [text(v) for v in (hours[index], est_k[index], even_k[index],
                                                            est_s[index], even_s[index])]) + "\n")


def main(argv=None):
    parser = argparse.ArgumentParser(
        description="Leave-one-out check of pluvo's disaggregation: every station in turn is "
                    "rebuilt from its own reading-window totals and the other stations' hours.")
    parser.add_argument("pluvo", help="the pluvo program to run")
    parser.add_argument("hourly_file", help="hourly station file (five header lines), or a table "
                        "with one header row of station ids when STATIONS_LIST is given")
    parser.add_argument("stations_list", nargs="?",
                        help="list with the columns id, height_m, x_km, y_km, for a table")
    parser.add_argument("--power", type=float, default=2.0,
                        help="power of the inverse distance (default 2)")
    parser.add_argument("--max-distance", type=float, default=1e9,
                        help="maximum distance of a station, in the unit of the coordinates "
                             "(default 1e9: every station)")
    parser.add_argument("--nodata", type=float, default=998.0,
                        help="values not above -NODATA are missing (default 998)")
    parser.add_argument("--timeout", type=float, default=600.0,
                        help="seconds one pluvo run may take (default 600)")
    parser.add_argument("--series", metavar="FILE",
                        help="also write every hour of every station to FILE")
    parser.add_argument("--require-gain", action="store_true",
                        help="exit 1 unless pluvo's pooled correlation is above the even "
                             "spread's for both kinds of totals")
    settings = parser.parse_args(argv)
    # pluvo runs in a scratch folder: a relative path must not depend on it.
    found = shutil.which(settings.pluvo)
    if found is None:
        print(f"leave_one_out: {settings.pluvo}: no such program", file=sys.stderr)
        return 2
    settings.pluvo = os.path.abspath(found)
    try:
        table, results, failures, (start, end) = check(settings)
    except CheckError as error:
        print(f"leave_one_out: {error}", file=sys.stderr)
        return 2
    except OSError as error:
        print(f"leave_one_out: {error}", file=sys.stderr)
        return 2
    sys.stdout.write(table)
    print(f"\nhours of {start:%d.%m.%Y} to {end:%d.%m.%Y}; power {settings.power:g}")
    status = 0
    for failure in failures:
        print(f"leave_one_out: {failure}", file=sys.stderr)
        status = 1
    if settings.require_gain:
        for kind, (pluvo, even) in results.items():
            if pluvo["r"] is None or even["r"] is None or not pluvo["r"] > even["r"]:
                print(f"leave_one_out: pooled correlation of {kind}: pluvo "
                      f"{pluvo['r']} is not above the even spread's {even['r']}", file=sys.stderr)
                status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
