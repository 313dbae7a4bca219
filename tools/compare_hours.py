#!/usr/bin/env python3
"""Compares the hours pluvo made for a Sammler station with measured hours.

Where the leave-one-out check builds a station's daily totals from its own
hours, here the totals are a daily file of their own (a gauge read once a
day, written by stationfile as a Sammler file) and the measured hours come
from an hourly station file of one station at the same place. The figures
are those of the leave-one-out check (tools/leave_one_out.py), for the
hours of every daily window that lies wholly within pluvo's table, has a
reading and has all its measured hours; beside them the reading spread
evenly over its window.

Only Python 3's standard library is used.

    compare_hours.py [options] PLUVO_TABLE MEASURED_FILE SAMMLER_FILE

PLUVO_TABLE is pluvo's hourly table whose last column is the Sammler
station's; MEASURED_FILE an hourly station file (five header lines) of one
station; SAMMLER_FILE the Sammler file pluvo read (readings at 7 h, in units
of 10 mm).
"""

import argparse
import datetime
import sys

sys.dont_write_bytecode = True       # leave no cache files beside the script
from station_data import SAMMLER_WINDOWS, CheckError, _decimal, _read_lines, _records  # noqa: E402
from leave_one_out import format_table, pluvo_columns, table_row  # noqa: E402


def read_measured(name, nodata):
    """The one station's hours of an hourly station file, by (date, hour)."""
    lines = _read_lines(name)
    if len(lines) < 5:
        raise CheckError(f"{name}: fewer than five header lines")
    station = lines[4].split()[4] if len(lines[4].split()) > 4 else "?"
    hours = {}
    for date, hour, values in _records(lines[5:], 6, 1, name):
        value = _decimal(values[0], name)
        hours[(date, hour)] = value if value > -nodata else None
    return station, hours


def read_readings(name, nodata):
    """The Sammler file's readings in mm (its values times 10), by date."""
    lines = _read_lines(name)
    if len(lines) < 5:
        raise CheckError(f"{name}: fewer than five header lines")
    station = lines[4].split()[4] if len(lines[4].split()) > 4 else "?"
    readings = {}
    for number, line in enumerate(lines[5:], start=6):
        words = line.split()
        if not words:
            continue
        where = f"{name}, line {number}"
        try:
            year, month, day, hour = (int(w) for w in words[:4])
            date = datetime.date(year + 1900 if year < 100 else year, month, day)
        except ValueError:
            raise CheckError(f"{where}: the first four fields are not a date and hour") from None
        if hour != 7 or len(words) < 5:
            raise CheckError(f"{where}: not a reading at 7 h")
        value = _decimal(words[4], where)
        readings[date] = value.scaleb(1) if value > -nodata else None
    return station, readings


def compare(settings):
    station, readings = read_readings(settings.sammler_file, settings.nodata)
    measured_name, measured = read_measured(settings.measured_file, settings.nodata)
    lines = _read_lines(settings.pluvo_table)
    rows = [line.split() for line in lines[5:] if line.strip()]
    if not rows or len(rows) % 24:
        raise CheckError(f"{settings.pluvo_table}: {len(rows)} rows, not whole days")
    year, month, day = (int(w) for w in rows[0][:3])
    start = datetime.date(year + 1900 if year < 1000 else year, month, day)
    days = len(rows) // 24
    last = len(rows[0]) - 1
    estimate, _ = pluvo_columns(lines, start, days, last, last, settings.nodata)
    triples = []
    for day in range(days):
        date = start + datetime.timedelta(days=day)
        total = readings.get(date)
        for stamp_hour, length in SAMMLER_WINDOWS:
            begin = day * 24 + stamp_hour - 1
            if total is None or begin + length > days * 24:
                continue
            window = []
            for index in range(begin, begin + length):
                key = (start + datetime.timedelta(days=index // 24), index % 24 + 1)
                window.append((measured.get(key), estimate[index]))
            if any(m is None or e is None for m, e in window):
                continue
            triples += [(float(m), e, float(total) / length) for m, e in window]
    row, pluvo, even = table_row(station, "Sammler", triples)
    end = start + datetime.timedelta(days=days - 1)
    footer = (f"hours of {start:%d.%m.%Y} to {end:%d.%m.%Y}; measured: station {measured_name}")
    return format_table([row]) + "\n" + footer + "\n", pluvo, even


def main(argv=None):
    parser = argparse.ArgumentParser(
        description="Compares the hours pluvo made for a Sammler station with measured hours.")
    parser.add_argument("pluvo_table", help="pluvo's table; its last column is compared")
    parser.add_argument("measured_file", help="hourly station file of the measured station")
    parser.add_argument("sammler_file", help="the Sammler file pluvo read")
    parser.add_argument("--nodata", type=float, default=998.0,
                        help="values not above -NODATA are missing (default 998)")
    parser.add_argument("--require-gain", action="store_true",
                        help="exit 1 unless pluvo's correlation is above the even spread's")
    settings = parser.parse_args(argv)
    try:
        table, pluvo, even = compare(settings)
    except (CheckError, OSError) as error:
        print(f"compare_hours: {error}", file=sys.stderr)
        return 2
    sys.stdout.write(table)
    if settings.require_gain and (pluvo["r"] is None or even["r"] is None
                                  or not pluvo["r"] > even["r"]):
        print(f"compare_hours: correlation: pluvo {pluvo['r']} is not above the even "
              f"spread's {even['r']}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
