// Several files of one station become one series; the later file wins
// where both give a value.
#include <gtest/gtest.h>

#include <utility>

#include "importer/station_merge.h"

namespace stationfile {
namespace {

StationSeries daily(const char* file, const char* id, long long first, std::vector<Tenths> values) {
  StationSeries s;
  s.file = file;
  s.id = id;
  s.resolution = Resolution::DAILY;
  s.first = first;
  s.values = std::move(values);
  return s;
}

TEST(StationMerge, LaterFileWinsAndGapsAreFilled) {
  textio::OutputBuffer console;
  ImportRun run(console);
  const long long d = 14770;  // 2010-06-10
  run.series.push_back(daily("hist.txt", "01303", d, {10, MISSING, 30, 40}));
  run.series.push_back(daily("other.txt", "00555", d, {1}));
  // Begins two days earlier, leaves a gap of its own at d + 1 and differs at d + 3.
  run.series.push_back(daily("recent.txt", "01303", d - 2, {7, 8, 10, MISSING, 30, 41, 50}));
  testing::internal::CaptureStderr();
  merge_station_files(run);
  const std::string warning = testing::internal::GetCapturedStderr();
  ASSERT_EQ(run.series.size(), 2u);
  EXPECT_EQ(run.series[0].id, "01303");
  EXPECT_EQ(run.series[1].id, "00555");
  EXPECT_EQ(run.series[0].first, d - 2);
  EXPECT_EQ(run.series[0].values, (std::vector<Tenths>{7, 8, 10, MISSING, 30, 41, 50}));
  EXPECT_EQ(run.series[0].file, "hist.txt + recent.txt");
  EXPECT_EQ(warning,
            "stationfile: warning: recent.txt and hist.txt give different values for station 01303 in 1 day, the "
            "first 20100613; the values of recent.txt are used\n");
}

TEST(StationMerge, OtherResolutionIsLeftApart) {
  textio::OutputBuffer console;
  ImportRun run(console);
  run.series.push_back(daily("d.txt", "01303", 100, {1}));
  StationSeries hourly = daily("h.txt", "01303", 2400, {1});
  hourly.resolution = Resolution::HOURLY;
  run.series.push_back(std::move(hourly));
  merge_station_files(run);
  EXPECT_EQ(run.series.size(), 2u);
}

}  // namespace
}  // namespace stationfile
