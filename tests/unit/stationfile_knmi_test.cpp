// KNMI's hourly and daily files and its JSON station lists: fixtures cut
// from the De Bilt files (tests/fixtures/knmi-de-bilt; source: Royal
// Netherlands Meteorological Institute) and hand-made texts for the odd
// cases.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar.h"
#include "importer/exit_codes.h"
#include "importer/knmi_file.h"
#include "importer/knmi_station_list.h"
#include "importer/zip_archive.h"

namespace stationfile {
namespace {

const std::string FIXTURES = std::string(E2E_CASES_DIR) + "/../../fixtures/knmi-de-bilt/";

long long hour_count(int y, int m, int d, int h) { return textio::days_from_civil(y, m, d) * 24 + h; }

std::string knmi_failure(const std::string& text) {
  textio::TextReader reader;
  reader.attach_text(text);
  StationSeries s;
  try {
    read_knmi_file(reader, "k.txt", s);
  } catch (const textio::FatalError& f) {
    return f.message;
  }
  return "no failure";
}

TEST(KnmiFile, HourlyFixtureOfDeBilt) {
  EXPECT_TRUE(looks_like_knmi(FIXTURES + "uurgeg_260_1991-2000.txt"));
  StationSeries s;
  read_knmi_file(FIXTURES + "uurgeg_260_1991-2000.txt", s);
  EXPECT_EQ(s.id, "260");
  EXPECT_EQ(s.column, "RH");
  EXPECT_EQ(s.resolution, Resolution::HOURLY);
  EXPECT_EQ(s.first, hour_count(2000, 6, 5, 1));  // HH 1: the hour that ends at 01:00 UTC
  ASSERT_EQ(s.values.size(), 240u);
  // Rows of 6 June 2000: HH 3 RH -1 (less than 0.05 mm), HH 21 RH 43, HH 22 RH 140.
  EXPECT_EQ(s.values[hour_count(2000, 6, 6, 3) - s.first], 0);
  EXPECT_EQ(s.values[hour_count(2000, 6, 6, 21) - s.first], 43);
  EXPECT_EQ(s.values[hour_count(2000, 6, 6, 22) - s.first], 140);
}

TEST(KnmiFile, DailyTotalsKeptOnTheDayTheirWindowBegins) {
  EXPECT_TRUE(looks_like_knmi(FIXTURES + "neerslaggeg_DE-BILT_550.txt"));
  StationSeries s;
  read_knmi_file(FIXTURES + "neerslaggeg_DE-BILT_550.txt", s);
  EXPECT_EQ(s.id, "550");
  EXPECT_EQ(s.column, "RD");
  EXPECT_EQ(s.resolution, Resolution::DAILY);
  // 550,20000606,   64: 08:00 UTC on 5 June to 08:00 UTC on 6 June.
  EXPECT_EQ(s.first, textio::days_from_civil(2000, 6, 4));
  EXPECT_EQ(s.values[textio::days_from_civil(2000, 6, 5) - s.first], 64);
  EXPECT_EQ(s.values[textio::days_from_civil(2000, 6, 6) - s.first], 206);
}

TEST(KnmiFile, BlanksTracesAndLineEnds) {
  const std::string lf = "BRON: KONINKLIJK NEDERLANDS METEOROLOGISCH INSTITUUT (KNMI)\n\n"
                         "# STN,YYYYMMDD,   HH,   DD,   RH,    P\n\n"
                         "  260,20001231,   23,  200,   -1,10215\n"
                         "  260,20001231,   24,  200,     ,10215\n"
                         "  260,20010101,    2,  200,   12,10215\n";
  std::string crlf;
  for (char c : lf) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  for (const std::string& text : {lf, crlf}) {
    textio::TextReader reader;
    reader.attach_text(text);
    StationSeries s;
    read_knmi_file(reader, "k.txt", s);
    EXPECT_EQ(s.first, hour_count(2000, 12, 31, 23));
    EXPECT_EQ(s.values, (std::vector<Tenths>{0, MISSING, MISSING, 12}));
  }
}

TEST(KnmiFile, MistakesAreNamed) {
  const std::string head = "BRON: KNMI\n# STN,YYYYMMDD,   HH,   RH\n";
  const std::pair<std::string, std::string> cases[] = {
      {"BRON: KNMI\nno header\n", "stationfile: unknown source: k.txt (no KNMI header row STN,YYYYMMDD,...)\n"},
      {"BRON: KNMI\n# STN,YYYYMMDD,   HH,    T\n",
       "stationfile: wrong parameter or resolution: k.txt has no precipitation column (RH or RD)\n"},
      {head + "260,20000101,2,0\n260,20000101,1,0\n",
       "stationfile: hours stamped out of order: k.txt line 4: 20000101 1 after 20000101 2\n"},
      {head + "260,20000101,25,0\n", "stationfile: cannot read k.txt line 3: date '20000101 25'\n"},
      {head + "260,20000101,1,0.5\n", "stationfile: cannot read k.txt line 3: RH '0.5' is not a value\n"},
      {head + "260,20000101,1,0\n235,20000101,2,0\n",
       "stationfile: cannot read k.txt line 4: station 235 in a file of station 260\n"},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(knmi_failure(text), message) << text;
}

TEST(KnmiStationList, FixtureAndDamagedJson) {
  std::string text;
  ASSERT_TRUE(read_raw_file(FIXTURES + "knmi_neerslagstation.json", text));
  std::vector<StationPlace> places;
  read_knmi_station_list(text, "n.json", places);
  ASSERT_EQ(places.size(), 1u);
  EXPECT_EQ(places[0].id, "550");
  EXPECT_EQ(places[0].latitude, 52.0965634217);
  EXPECT_EQ(places[0].longitude, 5.1770578587);
  EXPECT_EQ(places[0].height_m, 2.0);

  places.clear();
  read_knmi_station_list(R"({"lon": {"1": 6.1, "2": 4.5}, "tmax": {"1": null}, "lat": {"1": 52.0, "2": 51.5},
                             "list": [1, "a", {"b": true}], "altitude": {"1": -1.5}})",
                         "h.json", places);
  ASSERT_EQ(places.size(), 1u);  // station 2 has no altitude
  EXPECT_EQ(places[0].height_m, -1.5);
  try {
    read_knmi_station_list(R"({"lon": {"1": 6.1,})", "d.json", places);
    ADD_FAILURE() << "damaged JSON read";
  } catch (const textio::FatalError& f) {
    EXPECT_EQ(f.message, "stationfile: cannot read the station list d.json (not the JSON of a station list at "
                         "byte 18)\n");  // the "}" after the ","
  }
}

}  // namespace
}  // namespace stationfile
