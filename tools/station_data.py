"""Hourly station data for the leave-one-out check: reading the input,
summing a station's hours over its reading windows, writing station files
as pluvo reads them. Python 3 standard library only."""

import datetime
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


def window_totals(hours, windows):
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


def _format_total(total, in_tens):
    """The total as exact decimal text, divided by 10 when in_tens (the
    Sammler file's unit, which pluvo multiplies by 10 again)."""
    if total is None:
        return MISSING_TEXT
    return format(total.scaleb(-1) if in_tens else total, "f")


def _header(title, stations):
    lines = [title]
    for key in ("height", "x", "y", "name"):
        lines.append("YY\tMM\tDD\tHH\t" + "\t".join(s[key] for s in stations))
    return "\n".join(lines) + "\n"


def write_reading_file(name, title, station, start, totals, in_tens):
    with open(name, "w", encoding="latin-1") as stream:
        stream.write(_header(title, [station]))
        for day, row in enumerate(totals):
            date = start + datetime.timedelta(days=day)
            for stamp_hour, total in row:
                stream.write(f"{date.year}\t{date.month}\t{date.day}\t{stamp_hour}\t"
                             f"{_format_total(total, in_tens)}\n")


def write_hourly_file(name, stations, records, columns):
    with open(name, "w", encoding="latin-1") as stream:
        stream.write(_header("hourly data of the other stations", [stations[c] for c in columns]))
        for date, hour, values in records:
            stream.write(f"{date.year}\t{date.month}\t{date.day}\t{hour}\t"
                         + "\t".join(values[c] for c in columns) + "\n")
