// The values as stationfile writes them, and the layout of a station file
// as pluvo's header reader takes it.
#include <gtest/gtest.h>

#include <utility>

#include "calendar.h"
#include "importer/station_file_writer.h"

namespace stationfile {
namespace {

TEST(StationFileWriter, ValuesInTenthsAndInUnitsOfTenMillimetres) {
  struct Case {
    Tenths value;
    const char* mm;
    const char* tens_of_mm;
  };
  const Case cases[] = {
      {0, "0.0", "0.00"},       {4, "0.4", "0.04"},         {123, "12.3", "1.23"},
      {1000, "100.0", "10.00"}, {2310, "231.0", "23.10"},   {MISSING, "-999", "-999"},
  };
  for (const Case& c : cases) {
    textio::OutputBuffer out;
    put_tenths(out, c.value);
    EXPECT_EQ(out.take_captured(), c.mm) << c.value;
    put_tens_of_mm(out, c.value);
    EXPECT_EQ(out.take_captured(), c.tens_of_mm) << c.value;
  }
}

TEST(StationFileWriter, KlimaWindowsAndTheirGaps) {
  textio::OutputBuffer console;
  ImportRun run(console);
  run.settings.kind = OutputKind::KLIMA;
  const long long day = textio::days_from_civil(2012, 2, 28);
  StationSeries s;
  s.id = "00555";
  s.column = std::string("R1");
  s.first = day * 24 + 7;  // hour 7 of 28 February: the first hour of its 7 h window
  // Hours 7 of 28 February to 6 of 1 March, across the leap day: one tenth
  // each, the hour 3 of 1 March missing.
  s.values.assign(48, 1);
  s.values[44] = MISSING;
  run.series.push_back(std::move(s));
  run.places.push_back(StationPlace{"00555", 101, 0, 0, 379.844, 5704.502});
  run.from_day = day;
  run.to_day = day + 1;
  std::vector<long long> missing;
  EXPECT_EQ(write_station_file(run, missing), 4);
  EXPECT_EQ(missing, std::vector<long long>{1});
  const std::string text = run.output.take_captured();
  const std::size_t records = text.find("2012\t2\t28");
  ASSERT_NE(records, std::string::npos);
  EXPECT_EQ(text.substr(records), "2012\t2\t28\t7\t1.2\n2012\t2\t28\t19\t1.2\n2012\t2\t29\t7\t1.2\n2012\t2\t29\t19\t-999\n");
  // pluvo drops exactly 11 characters of labels from the line of heights.
  const std::size_t heights = text.find('\n') + 1;
  EXPECT_EQ(text.substr(heights, 15), "YY\tMM\tDD\tHH\t101");
}

}  // namespace
}  // namespace stationfile
