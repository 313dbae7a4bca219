// Restamping to pluvo's hours 1 to 24, the days each output can be made
// for, and the period chosen from the files and --from/--to.
#include <gtest/gtest.h>

#include "calendar.h"
#include "importer/exit_codes.h"
#include "importer/reading_period.h"

namespace stationfile {
namespace {

long long day_of(int y, int m, int d) { return textio::days_from_civil(y, m, d); }

TEST(ReadingPeriod, ServiceHourZeroIsHour24OfTheDayBefore) {
  struct Case {
    int y, m, d, service_hour;  // the service's stamp: the hour ends at service_hour:00 on y-m-d
    int py, pm, pd, pluvo_hour;
  };
  const Case cases[] = {
      {2010, 6, 5, 1, 2010, 6, 5, 1},    {2010, 6, 5, 23, 2010, 6, 5, 23},
      {2010, 6, 6, 0, 2010, 6, 5, 24},   {2010, 7, 1, 0, 2010, 6, 30, 24},  // month end
      {2011, 1, 1, 0, 2010, 12, 31, 24},                                   // year end
      {2012, 3, 1, 0, 2012, 2, 29, 24},                                    // leap day
      {1969, 1, 1, 0, 1968, 12, 31, 24},                                   // before the count's origin
  };
  for (const Case& c : cases) {
    long long day = 0;
    int hour = 0;
    pluvo_hour(day_of(c.y, c.m, c.d) * 24 + c.service_hour, day, hour);
    EXPECT_EQ(day, day_of(c.py, c.pm, c.pd)) << c.y << "-" << c.m << "-" << c.d << " " << c.service_hour;
    EXPECT_EQ(hour, c.pluvo_hour);
  }
}

StationSeries hourly(const char* file, long long first_hour, long long last_hour) {
  StationSeries s;
  s.file = file;
  s.column = "R1";
  s.resolution = Resolution::HOURLY;
  s.first = first_hour;
  s.values.assign(static_cast<std::size_t>(last_hour - first_hour + 1), 0);
  return s;
}

TEST(ReadingPeriod, WholeDaysEachOutputNeeds) {
  const long long d = day_of(2010, 6, 5);
  // Service stamps 2010060501 .. 2010061100: pluvo's hours 1 of 5 June to 24 of 10 June.
  const StationSeries s = hourly("a", d * 24 + 1, (d + 6) * 24);
  EXPECT_EQ(coverable_days(s, OutputKind::ANETZ).first, d);
  EXPECT_EQ(coverable_days(s, OutputKind::ANETZ).last, d + 5);
  // The 19 h reading of a day needs the hours to 6 of the next day.
  EXPECT_EQ(coverable_days(s, OutputKind::KLIMA).first, d);
  EXPECT_EQ(coverable_days(s, OutputKind::KLIMA).last, d + 4);
  // Starting at the service's hour 00 (pluvo's hour 24 of the day before)
  // leaves that day incomplete.
  const StationSeries late = hourly("b", d * 24, (d + 6) * 24);
  EXPECT_EQ(coverable_days(late, OutputKind::ANETZ).first, d);
  const StationSeries later = hourly("c", d * 24 + 2, (d + 6) * 24 - 1);
  EXPECT_EQ(coverable_days(later, OutputKind::ANETZ).first, d + 1);
  EXPECT_EQ(coverable_days(later, OutputKind::ANETZ).last, d + 4);
}

std::string period_failure(ImportRun& run) {
  try {
    choose_period(run);
  } catch (const textio::FatalError& f) {
    return f.message;
  }
  return "no failure";
}

TEST(ReadingPeriod, DefaultIsTheSpanEveryFileCovers) {
  textio::OutputBuffer console;
  ImportRun run(console);
  const long long d = day_of(2010, 6, 5);
  run.series.push_back(hourly("a.txt", d * 24 + 1, (d + 6) * 24));
  run.series.push_back(hourly("b.txt", (d + 2) * 24 + 1, (d + 9) * 24));
  choose_period(run);
  EXPECT_EQ(run.from_day, d + 2);
  EXPECT_EQ(run.to_day, d + 5);
}

TEST(ReadingPeriod, MistakesAreNamed) {
  textio::OutputBuffer console;
  const long long d = day_of(2010, 6, 5);
  {
    ImportRun run(console);
    run.series.push_back(hourly("a.txt", d * 24 + 1, (d + 6) * 24));
    run.settings.from_given = run.settings.to_given = true;
    run.settings.from_day = d + 1;
    run.settings.to_day = d + 6;
    EXPECT_EQ(period_failure(run),
              "stationfile: period outside a file: 2010-06-06 to 2010-06-11, but a.txt covers 2010-06-05 to "
              "2010-06-10\n");
  }
  {
    ImportRun run(console);
    run.series.push_back(hourly("a.txt", d * 24 + 1, (d + 2) * 24));
    run.series.push_back(hourly("b.txt", (d + 5) * 24 + 1, (d + 9) * 24));
    EXPECT_EQ(period_failure(run),
              "stationfile: no period to write: the files share no day (2010-06-10 to 2010-06-06)\n");
  }
  {
    ImportRun run(console);
    run.settings.kind = OutputKind::SAMMLER;
    run.series.push_back(hourly("a.txt", d * 24 + 1, (d + 2) * 24));
    EXPECT_EQ(period_failure(run),
              "stationfile: wrong parameter or resolution: a.txt holds hourly values (R1); a sammler file needs "
              "daily totals (RS or RSK)\n");
  }
}

}  // namespace
}  // namespace stationfile
