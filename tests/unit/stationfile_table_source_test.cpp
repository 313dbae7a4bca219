// A wide table and its station list as stationfile's source: hand-made
// texts for the layouts and mistakes a user's table may have.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar.h"
#include "importer/exit_codes.h"
#include "importer/table_source.h"

namespace stationfile {
namespace {

std::vector<StationSeries> read_table(const std::string& text) {
  textio::TextReader reader;
  reader.attach_text(text);
  std::vector<StationSeries> series;
  read_wide_table(reader, "t.txt", series);
  return series;
}

std::string table_failure(const std::string& text) {
  try {
    read_table(text);
  } catch (const textio::FatalError& f) {
    return f.message;
  }
  return "no failure";
}

TEST(TableSource, HourlyColumnsBlanksTabsAndTwoDigitYears) {
  const std::string tabs = "YY\tMM\tDD\tHH\tA1\tB2\n98\t12\t31\t23\t0.5\t-999\n1998\t12\t31\t24\t1\t-999.0\n";
  const std::string blanks = "YY MM DD HH  A1   B2\r\n98 12 31 23  0.5  -999\r\n1998 12 31 24 1 -999.0\r\n";
  for (const std::string& text : {tabs, blanks}) {
    const std::vector<StationSeries> s = read_table(text);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].id, "A1");
    EXPECT_EQ(s[1].id, "B2");
    EXPECT_EQ(s[0].resolution, Resolution::HOURLY);
    // Hour 23 of 31 December 1998 ends at 23:00 on that day.
    EXPECT_EQ(s[0].first, textio::days_from_civil(1998, 12, 31) * 24 + 23);
    EXPECT_EQ(s[0].values, (std::vector<Tenths>{5, 10}));
    EXPECT_EQ(s[1].values, (std::vector<Tenths>{MISSING, MISSING}));
  }
}

TEST(TableSource, RowsAtSevenOnlyAreDailyTotals) {
  const std::vector<StationSeries> s = read_table("YY MM DD HH X\n2012 2 28 7 1.5\n2012 3 1 7 2.5\n");
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].resolution, Resolution::DAILY);
  EXPECT_EQ(s[0].first, textio::days_from_civil(2012, 2, 28));
  EXPECT_EQ(s[0].values, (std::vector<Tenths>{15, MISSING, 25}));  // 29 February left out
}

// Readings at 7 h and 19 h, counted in half days; a missing row is a
// missing reading, also across a leap day and the turn of a year, and a
// table that starts at 19 h starts at an odd half day.
TEST(TableSource, RowsAtSevenAndNineteenAreKlimaReadings) {
  const std::vector<StationSeries> s =
      read_table("YY MM DD HH X\n2012 2 28 19 1.5\n2012 2 29 7 0.5\n2012 3 1 7 2.5\n2012 3 1 19 0\n");
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].resolution, Resolution::TWICE_DAILY);
  EXPECT_EQ(s[0].first, 2 * textio::days_from_civil(2012, 2, 28) + 1);
  EXPECT_EQ(s[0].values, (std::vector<Tenths>{15, 5, MISSING, 25, 0}));  // 29 February 19 h left out
  const std::vector<StationSeries> y = read_table("YY MM DD HH X\n1999 12 31 7 1\n2000 1 1 19 2\n");
  EXPECT_EQ(y[0].first, 2 * textio::days_from_civil(1999, 12, 31));
  EXPECT_EQ(y[0].values, (std::vector<Tenths>{10, MISSING, MISSING, 20}));
}

TEST(TableSource, MistakesAreNamed) {
  const std::pair<std::string, std::string> cases[] = {
      {"STATIONS_ID;MESS_DATUM\n",
       "stationfile: unknown source: t.txt (its first line is not YY MM DD HH and station ids)\n"},
      {"YY MM DD HH A\n2010 1 1 2 0.0\n2010 1 1 1 0.0\n",
       "stationfile: hours stamped out of order: t.txt line 3: 2010 1 1 1 after 2010 1 1 2\n"},
      {"YY MM DD HH A B\n2010 1 1 1 0.0\n", "stationfile: cannot read t.txt line 2: 5 fields, the header names 6\n"},
      {"YY MM DD HH A\n2010 2 30 1 0.0\n", "stationfile: cannot read t.txt line 2: stamp '2010 2 30 1'\n"},
      {"YY MM DD HH A\n2010 1 1 0 0.0\n", "stationfile: cannot read t.txt line 2: stamp '2010 1 1 0'\n"},
      {"YY MM DD HH A\n2010 1 1 1 -5.0\n", "stationfile: cannot read t.txt line 2: A '-5.0' is not a value\n"},
      {"YY MM DD HH A\n2010 1 1 1 0.25\n", "stationfile: cannot read t.txt line 2: A '0.25' is not a value\n"},
      {"YY MM DD HH A\n", "stationfile: cannot read t.txt: no records\n"},
      // A slot is kept for every hour between: two million years are refused.
      {"YY MM DD HH A B\n2017 4 1 7 1 0\n2017017 4 3 7 0 1\n",
       "stationfile: cannot read t.txt line 3: 2017017 4 3 7 lies too far after the first row for a table of 2 "
       "columns\n"},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(table_failure(text), message) << text;
}

TEST(TableSource, StationListWithPlaneOrLatitudes) {
  const std::string list = "id\trole\theight_m\tlat\tlon\tx_km\ty_km\tname\n"
                           "00403\tANETZ\t51\t52.4537\t13.3017\t384.597\t5812.858\tBerlin-Dahlem (FU)\n";
  for (bool want_latlon : {false, true}) {
    textio::TextReader reader;
    reader.attach_text(list);
    std::vector<StationPlace> places;
    bool has_plane = false;
    read_table_station_list(reader, "s.txt", want_latlon, places, has_plane);
    ASSERT_EQ(places.size(), 1u);
    EXPECT_EQ(places[0].id, "00403");
    EXPECT_EQ(places[0].height_m, 51.0);
    EXPECT_EQ(has_plane, !want_latlon);
    if (want_latlon) {
      EXPECT_EQ(places[0].latitude, 52.4537);
    } else {
      EXPECT_EQ(places[0].x_km, 384.597);
      EXPECT_EQ(places[0].y_km, 5812.858);
    }
  }
  textio::TextReader reader;
  reader.attach_text("id height_m x_km\nA 1 2\n");
  std::vector<StationPlace> places;
  bool has_plane = false;
  try {
    read_table_station_list(reader, "s.txt", false, places, has_plane);
    ADD_FAILURE() << "a list without y_km or lat, lon";
  } catch (const textio::FatalError& f) {
    EXPECT_EQ(f.message, "stationfile: cannot read the station list s.txt (its header row names no columns id, "
                         "height_m and x_km, y_km or lat, lon)\n");
  }
}

}  // namespace
}  // namespace stationfile
