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
from decimal import Decimal, InvalidOperation

MISSING_TEXT = "-999"
KLIMA_WINDOWS = ((7, 12), (19, 12))   # (stamp hour, hours in the window)
SAMMLER_WINDOWS = ((7, 24),)


class CheckError(Exception):
    """A problem with the input or with a pluvo run; ends the check."""


# ---------------------------------------------------------------- input

def _decimal(word, where):
    try:
        value = Decimal(word)
    except InvalidOperation:
        raise CheckError(f"{where}: '{word}' is not a number") from None
    if not value.is_finite():
        raise CheckError(f"{where}: '{word}' is not a number")
    return value


def _stamp(words, where):
    try:
        year, month, day, hour = (int(w) for w in words[:4])
    except ValueError:
        raise CheckError(f"{where}: the first four fields are not year, month, day, hour") from None
    if year < 100:
        year += 1900
    if not 1 <= hour <= 24:
        raise CheckError(f"{where}: hour {hour} is not within 1..24")
    try:
        date = datetime.date(year, month, day)
    except ValueError:
        raise CheckError(f"{where}: {day}.{month}.{year} is not a date") from None
    return date, hour


def _records(lines, first_line_number, width, name):
    """Parses the hourly records: a list of (date, hour, value texts)."""
    records = []
    for number, line in enumerate(lines, start=first_line_number):
        words = line.split()
        if not words:
            continue
        where = f"{name}, line {number}"
        if len(words) < 4 + width:
            raise CheckError(f"{where}: {len(words) - 4} values, {width} expected")
        date, hour = _stamp(words, where)
        values = words[4:4 + width]
        for word in values:
            _decimal(word, where)
        if records:
            expected = _next_hour(records[-1][0], records[-1][1])
            if (date, hour) != expected:
                raise CheckError(f"{where}: hour {hour} of {date} follows hour "
                                 f"{records[-1][1]} of {records[-1][0]}; every hour needs one record")
        records.append((date, hour, values))
    return records


def _next_hour(date, hour):
    if hour == 24:
        return date + datetime.timedelta(days=1), 1
    return date, hour + 1


def _read_lines(name):
    try:
        with open(name, encoding="latin-1", newline=None) as stream:
            text = stream.read()
    except OSError as error:
        raise CheckError(f"cannot read {name}: {error.strerror}") from None
    return text.split("\x1a", 1)[0].split("\n")


def read_station_file(name):
    """Reads an hourly station file with pluvo's five-line header."""
    lines = _read_lines(name)
    if len(lines) < 5:
        raise CheckError(f"{name}: fewer than five header lines")
    heights = lines[1][11:].split()
    count = len(heights)
    if count < 2:
        raise CheckError(f"{name}: the check needs at least two stations, line 2 names {count}")
    columns = []
    for number in (3, 4, 5):
        words = lines[number - 1].split()
        if len(words) < 4 + count:
            raise CheckError(f"{name}, line {number}: fewer than {count} stations after four labels")
        columns.append(words[4:4 + count])
    stations = [{"height": h, "x": x, "y": y, "name": n}
                for h, x, y, n in zip(heights, *columns)]
    return stations, _records(lines[5:], 6, count, name)


def read_table(name, list_name):
    """Reads a table with one header row of station ids, and the station list."""
    lines = _read_lines(name)
    ids = lines[0].split()[4:] if lines else []
    if len(ids) < 2:
        raise CheckError(f"{name}: the header row names fewer than two stations")
    list_lines = [line.split("\t") if "\t" in line else line.split()
                  for line in _read_lines(list_name) if line.strip()]
    if not list_lines:
        raise CheckError(f"{list_name}: empty")
    header = [word.strip() for word in list_lines[0]]
    try:
        where = {key: header.index(key) for key in ("id", "height_m", "x_km", "y_km")}
    except ValueError:
        raise CheckError(f"{list_name}: the header row must name the columns "
                         "id, height_m, x_km and y_km") from None
    known = {}
    for row in list_lines[1:]:
        row = [word.strip() for word in row]
        if len(row) > max(where.values()):
            known[row[where["id"]]] = row
    stations = []
    for station_id in ids:
        if station_id not in known:
            raise CheckError(f"{list_name}: no row for station {station_id}")
        row = known[station_id]
        stations.append({"height": row[where["height_m"]], "x": row[where["x_km"]],
                         "y": row[where["y_km"]], "name": station_id})
    return stations, _records(lines[1:], 2, len(ids), name)


# ---------------------------------------------------------------- reading windows

def run_period(records):
    """First and last day of the pluvo run and the records it reads.

    The run starts at the first hour 1. Its last day is the last one whose
    daily window (7 h to 6 h of the next day) the file covers, so that the
    run never reaches the end of the hourly data.
    """
    first = next((i for i, r in enumerate(records) if r[1] == 1), None)
    if first is None:
        raise CheckError("the hourly data contain no hour 1")
    last_date, last_hour = records[-1][0], records[-1][1]
    end = last_date - datetime.timedelta(days=1 if last_hour >= 6 else 2)
    start = records[first][0]
    if end < start:
        raise CheckError("the hourly data need at least 30 hours from an hour 1")
    count = ((end - start).days + 1) * 24 + 6
    return start, end, records[first:first + count]


def window_totals(hours, nodata, windows):
    """Measured totals of a station over its reading windows.

    hours: the station's values from hour 1 of the first day on (Decimal or
    None for missing), 24 per day plus 6 hours of the day after the last.
    Returns one list per day of (stamp hour, total or None); a window with a
    missing hour has no total.
    """
    days = (len(hours) - 6) // 24
    result = []
    for day in range(days):
        row = []
        for stamp_hour, length in windows:
            begin = day * 24 + stamp_hour - 1
            part = hours[begin:begin + length]
            total = None if any(v is None for v in part) else sum(part, Decimal(0))
            row.append((stamp_hour, total))
        result.append(row)
    return result


def station_hours(records, column, nodata):
    hours = []
    for _date, _hour, values in records:
        value = Decimal(values[column])
        hours.append(value if value > -nodata else None)
    return hours


def _format_total(total, tenths):
    """The total as exact decimal text; tenths: in units of 10 (one more decimal)."""
    if total is None:
        return MISSING_TEXT
    return format(total.scaleb(-1) if tenths else total, "f")


def _header(title, stations):
    lines = [title]
    for key in ("height", "x", "y", "name"):
        lines.append("YY\tMM\tDD\tHH\t" + "\t".join(s[key] for s in stations))
    return "\n".join(lines) + "\n"


def write_reading_file(name, title, station, start, totals, tenths):
    with open(name, "w", encoding="latin-1") as stream:
        stream.write(_header(title, [station]))
        for day, row in enumerate(totals):
            date = start + datetime.timedelta(days=day)
            for stamp_hour, total in row:
                stream.write(f"{date.year}\t{date.month}\t{date.day}\t{stamp_hour}\t"
                             f"{_format_total(total, tenths)}\n")


def write_hourly_file(name, stations, records, columns):
    with open(name, "w", encoding="latin-1") as stream:
        stream.write(_header("hourly data of the other stations", [stations[c] for c in columns]))
        for date, hour, values in records:
            stream.write(f"{date.year}\t{date.month}\t{date.day}\t{hour}\t"
                         + "\t".join(values[c] for c in columns) + "\n")


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
            value = float(row[column])
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
    start, end, records = run_period(records)
    days = (end - start).days + 1
    rows, pooled, series, failures = [], {"Klima": [], "Sammler": []}, [], []
    with tempfile.TemporaryDirectory(prefix="leave_one_out_") as folder:
        for column, station in enumerate(stations):
            others = [c for c in range(len(stations)) if c != column]
            hours = station_hours(records, column, settings.nodata)
            klima = window_totals(hours, settings.nodata, KLIMA_WINDOWS)
            sammler = window_totals(hours, settings.nodata, SAMMLER_WINDOWS)
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
