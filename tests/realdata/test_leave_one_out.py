#!/usr/bin/env python3
"""Tests of tools/leave_one_out.py and tools/station_data.py; PLUVO names
the pluvo program to run.

three_stations.txt: stations A (0,0), B (3,0), C (0,4) with the same hours,
1 July 2001 hour 1 to 4 July hour 6: 1.2 mm at 10 h on 1 July, 2.4 mm at 20 h
on 2 July, 0.0 otherwise; C lacks 9 h of 2 July. The run covers 1 to 3 July.
Compared are the windows that lie wholly in the table: Klima 7-18 h of the
1st, 2nd and 3rd and 19-6 h after the 1st and 2nd (60 hours), Sammler the
days from the 1st and 2nd (48 hours). C loses the 2 July morning window and
the Sammler day from 2 July (the missing hour): 48 and 24 hours.

Since every station measured the same, pluvo rebuilds every hour exactly
(r 1, RMSE 0, all shares 100 %). The even spread, worked out by hand:
- A, Klima: 0.1 over the 12 h of the 1st, 0.2 over the 12 h from 19 h of the
  2nd, 0 elsewhere. Both series have the mean 3.6/60 = 0.06; covariance
  0.6/60 - 0.0036 = 0.0064, variances 7.2/60 - 0.0036 = 0.1164 and 0.0064,
  r = sqrt(0.0064/0.1164) = 0.234. Squared errors 1.1^2 + 11*0.01 + 2.2^2 +
  11*0.04 = 6.6, RMSE sqrt(6.6/60) = 0.332. 36 of 58 dry hours stay dry: 62.1 %.
- A, Sammler: 0.05 and 0.1 over 24 h each; means 0.075; covariance
  0.3/48 - 0.005625 = 0.000625, variances 0.144375 and 0.000625, r = 0.066;
  squared errors 1.15^2 + 23*0.0025 + 2.3^2 + 23*0.01 = 6.9, RMSE 0.379; no
  dry hour stays dry.
- C, Klima: the same windows less one dry one: means 0.075, covariance
  0.6/48 - 0.005625 = 0.006875, variances 0.144375 and 0.006875, r = 0.218;
  RMSE sqrt(6.6/48) = 0.371; 24 of 46 dry hours dry: 52.2 %.
- C, Sammler: one day, every hour 0.05: a constant has no correlation (-);
  RMSE sqrt((1.15^2 + 23*0.0025)/24) = 0.240.
- All, Klima: 168 hours; means 10.8/168; covariance 1.8/168 - (10.8/168)^2,
  variances 21.6/168 - (10.8/168)^2 and 1.8/168 - (10.8/168)^2, r = 0.230;
  RMSE sqrt(19.8/168) = 0.343; 96 of 162 dry hours dry: 59.3 %.
- All, Sammler: 120 hours, means 0.07; covariance 0.66/120 - 0.0049 = 0.0006,
  variances 15.84/120 - 0.0049 = 0.1271 and 0.0006, r = 0.069; RMSE
  sqrt(15.18/120) = 0.356.
three_stations.expected holds these figures as the check prints them.
"""

import os
import stat
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TOOL = os.path.join(ROOT, "tools", "leave_one_out.py")
HERE = os.path.join(ROOT, "tests", "realdata")
BERLIN = os.path.join(ROOT, "examples", "berlin")
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(ROOT, "tools"))
import station_data  # noqa: E402


def run_check(*arguments):
    return subprocess.run([sys.executable, TOOL, *arguments], stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True, timeout=600)


def fake_pluvo(folder, body):
    """A stand-in for pluvo: a Python script with the given body."""
    path = os.path.join(folder, "fake_pluvo")
    with open(path, "w") as stream:
        stream.write(f"#!{sys.executable}\nimport sys\n{body}\n")
    os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR)
    return path


class ThreeStations(unittest.TestCase):
    def test_table_is_the_hand_worked_one(self):
        with open(os.path.join(HERE, "three_stations.expected")) as stream:
            expected = stream.read()
        with open(os.path.join(HERE, "three_stations.txt"), "rb") as stream:
            data = stream.read()
        with tempfile.TemporaryDirectory() as folder:
            # Read as pluvo reads text: CR LF as LF, and a Ctrl-Z ends the input.
            for what, text in (("LF", data),
                               ("CR LF and Ctrl-Z", data.replace(b"\n", b"\r\n") + b"\x1ajunk\n")):
                path = os.path.join(folder, "hourly.txt")
                with open(path, "wb") as stream:
                    stream.write(text)
                run = run_check(os.environ["PLUVO"], path)
                self.assertEqual(run.returncode, 0, f"{what}: {run.stderr}")
                self.assertEqual(run.stdout, expected, what)

    def test_table_with_a_station_list_reads_like_the_station_file(self):
        with open(os.path.join(HERE, "three_stations.txt")) as stream:
            lines = stream.read().split("\n")
        table = ["YY\tMM\tDD\tHH\tA\tB\tC"] + lines[5:]
        good = ["id\tname\theight_m\tx_km\ty_km", "C\tthird\t30\t0\t4",
                "A\tfirst\t10\t0\t0", "B\tsecond\t20\t3\t0"]
        with open(os.path.join(HERE, "three_stations.expected")) as stream:
            expected = stream.read()
        cases = [("in any order", good, 0, ""),
                 ("no x column", [good[0].replace("x_km", "x")] + good[1:], 2,
                  "must name the columns id, height_m, x_km and y_km"),
                 ("no row for B", good[:3], 2, "no row for station B")]
        with tempfile.TemporaryDirectory() as folder:
            data = os.path.join(folder, "table.txt")
            with open(data, "w") as stream:
                stream.write("\n".join(table))
            for what, rows, code, message in cases:
                listing = os.path.join(folder, "stations.txt")
                with open(listing, "w") as stream:
                    stream.write("\n".join(rows) + "\n")
                run = run_check(os.environ["PLUVO"], data, listing)
                self.assertEqual(run.returncode, code, what)
                self.assertIn(message, run.stderr, what)
                if code == 0:
                    self.assertEqual(run.stdout, expected, what)

    def test_reading_window_files_of_the_station_with_a_missing_hour(self):
        stations, records = station_data.read_station_file(os.path.join(HERE, "three_stations.txt"))
        start, _end, records = station_data.run_period(records)
        hours = station_data.station_hours(records, 2, 998.0)
        with tempfile.TemporaryDirectory() as folder:
            for name, windows, in_tens, body in (
                    ("klima.txt", station_data.KLIMA_WINDOWS, False,
                     ["1\t7\t1.2", "1\t19\t0.0", "2\t7\t-999", "2\t19\t2.4", "3\t7\t0.0", "3\t19\t0.0"]),
                    ("sammler.txt", station_data.SAMMLER_WINDOWS, True,
                     ["1\t7\t0.12", "2\t7\t-999", "3\t7\t0.00"])):
                path = os.path.join(folder, name)
                station_data.write_reading_file(
                    path, "title", stations[2], start,
                    station_data.window_totals(hours, windows), in_tens)
                with open(path) as stream:
                    lines = stream.read().split("\n")
                self.assertEqual(lines[1:5], ["YY\tMM\tDD\tHH\t30", "YY\tMM\tDD\tHH\t0",
                                              "YY\tMM\tDD\tHH\t4", "YY\tMM\tDD\tHH\tC"])
                day_lines = [line.replace("2001\t7\t", "", 1) for line in lines[5:] if line]
                self.assertEqual(day_lines, body, name)

    def test_require_gain_fails_when_pluvo_is_not_better(self):
        # Writes pluvo's table shape with every Klima and Sammler hour 0.0.
        body = """
import datetime
answers = sys.stdin.read().split()
start = datetime.date(int(answers[7]), int(answers[6]), int(answers[5]))
end = datetime.date(int(answers[10]), int(answers[9]), int(answers[8]))
rows = ["interpolierte Stationswerte"] + ["YY\\tMM\\tDD\\tHH\\t1\\t2\\t3\\t4"] * 4
day = start
while day <= end:
    for hour in range(1, 25):
        rows.append(f"{day.year - 1900}\\t{day.month}\\t{day.day}\\t{hour}\\t0.0\\t0.0\\t0.0\\t0.0")
    day += datetime.timedelta(days=1)
open("pluvo_out.txt", "w").write("\\n".join(rows) + "\\n")
"""
        with tempfile.TemporaryDirectory() as folder:
            pluvo = fake_pluvo(folder, body)
            data = os.path.join(HERE, "three_stations.txt")
            self.assertEqual(run_check(pluvo, data).returncode, 0)
            run = run_check("--require-gain", pluvo, data)
            self.assertEqual(run.returncode, 1)
            self.assertIn("pooled correlation of Klima", run.stderr)
            self.assertIn("pooled correlation of Sammler", run.stderr)
            self.assertEqual(run_check("--require-gain", os.environ["PLUVO"], data).returncode, 0)

    def test_a_failed_pluvo_run_is_reported_for_each_station(self):
        with tempfile.TemporaryDirectory() as folder:
            pluvo = fake_pluvo(folder, 'print("Zeitvergleichsfehler bei  2. 7.2001 Stunde  7 !")\n'
                                       "sys.exit(105)")
            run = run_check(pluvo, os.path.join(HERE, "three_stations.txt"))
        self.assertEqual(run.returncode, 1)
        for station in "ABC":
            self.assertIn(f"station {station}: pluvo ended with exit code 105: "
                          "Zeitvergleichsfehler bei  2. 7.2001 Stunde  7 !", run.stderr)

    def test_bad_input_is_named(self):
        with open(os.path.join(HERE, "three_stations.txt")) as stream:
            lines = stream.read().split("\n")
        cases = [
            ("a missing hour", lines[:20] + lines[21:], "line 21: hour 17 of 2001-07-01 follows "
             "hour 15 of 2001-07-01; every hour needs one record"),
            ("a word for a value", lines[:30] + [lines[30].replace("0.0", "none", 1)] + lines[31:],
             "line 31: 'none' is not a number"),
            ("too few values", lines[:8] + ["2001\t7\t1\t4\t0.0\t0.0"] + lines[9:],
             "line 9: 2 values, 3 expected"),
            ("one station", [lines[0], "YY\tMM\tDD\tHH\t10"] + lines[2:], "at least two stations"),
            ("too short", lines[:5 + 29], "at least 30 hours"),
            ("more stations than a pluvo run takes",
             [lines[0]] + ["YY\tMM\tDD\tHH" + "\t1" * 100] * 4
             + ["2001\t7\t1\t%d" % hour + "\t0.0" * 100 for hour in range(1, 25)]
             + ["2001\t7\t2\t%d" % hour + "\t0.0" * 100 for hour in range(1, 7)],
             "100 stations: pluvo takes at most 100 in a run, so the check at most 99"),
        ]
        with tempfile.TemporaryDirectory() as folder:
            for what, text, message in cases:
                path = os.path.join(folder, "hourly.txt")
                with open(path, "w") as stream:
                    stream.write("\n".join(text) + "\n")
                run = run_check(os.environ["PLUVO"], path)
                self.assertEqual(run.returncode, 2, what)
                self.assertIn(message, run.stderr, what)
                self.assertEqual(run.stdout, "", what)


class BerlinData(unittest.TestCase):
    def test_totals_of_00433_are_those_of_the_bundled_files(self):
        # klima_berlin.txt and sammler_berlin.txt were summed independently
        # from the same hours; the run ends on 30 September, so their records
        # of 1 October are not compared.
        stations, records = station_data.read_table(os.path.join(BERLIN, "hourly_7_stations.txt"),
                                                     os.path.join(BERLIN, "stations_berlin.txt"))
        start, _end, records = station_data.run_period(records)
        hours = station_data.station_hours(records, 6, 998.0)
        with tempfile.TemporaryDirectory() as folder:
            for name, windows, in_tens, bundled, days_left_out in (
                    ("klima.txt", station_data.KLIMA_WINDOWS, False, "klima_berlin.txt", 2),
                    ("sammler.txt", station_data.SAMMLER_WINDOWS, True, "sammler_berlin.txt", 1)):
                path = os.path.join(folder, name)
                station_data.write_reading_file(
                    path, "title", stations[6], start,
                    station_data.window_totals(hours, windows), in_tens)
                with open(path) as mine, open(os.path.join(BERLIN, bundled)) as theirs:
                    made = mine.read().split("\n")[5:-1]
                    given = theirs.read().split("\n")[5:-1]
                self.assertEqual(len(made), len(given) - days_left_out, name)
                self.assertEqual(made, given[:len(made)], name)


if __name__ == "__main__":
    unittest.main()
