// The readers of the German Weather Service's files: fixtures cut from the
// Ruhr files (tests/fixtures/dwd-ruhr, Datenbasis: Deutscher Wetterdienst)
// and small hand-made texts for the odd cases.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar.h"
#include "importer/dwd_geography.h"
#include "importer/dwd_product_file.h"
#include "importer/dwd_station_list.h"
#include "importer/exit_codes.h"

namespace stationfile {
namespace {

const std::string FIXTURES = std::string(E2E_CASES_DIR) + "/../../fixtures/dwd-ruhr/";

long long hour_count(int y, int m, int d, int h) { return textio::days_from_civil(y, m, d) * 24 + h; }

StationSeries read_text(const std::string& text) {
  textio::TextReader reader;
  reader.attach_text(text);
  StationSeries s;
  read_dwd_product(reader, "f.txt", s);
  return s;
}

// The failure a text ends with, as the message the user sees.
std::string failure_of(const std::string& text) {
  try {
    read_text(text);
  } catch (const textio::FatalError& f) {
    return std::to_string(f.code) + " " + f.message;
  }
  return "no failure";
}

const std::string HOURLY_HEADER = "STATIONS_ID;MESS_DATUM;QN_8;  R1;RS_IND;WRTR;eor\r\n";

TEST(DwdProductFile, HourlyFixtureOfEssen) {
  StationSeries s;
  read_dwd_product(FIXTURES + "produkt_rr_stunde_19950901_20191231_01303.txt", s);
  EXPECT_EQ(s.id, "01303");
  EXPECT_EQ(s.column, "R1");
  EXPECT_EQ(s.resolution, Resolution::HOURLY);
  EXPECT_EQ(s.first, hour_count(2010, 6, 5, 1));
  ASSERT_EQ(s.values.size(), 144u);
  // Rows of the fixture: 1303;2010060619;    3;  21.4;... and
  // 1303;2010060700;    3;   0.0;... (the hour that ends at midnight).
  EXPECT_EQ(s.values[hour_count(2010, 6, 6, 19) - s.first], 214);
  EXPECT_EQ(s.values[hour_count(2010, 6, 6, 20) - s.first], 17);
  EXPECT_EQ(s.values[hour_count(2010, 6, 7, 0) - s.first], 0);
}

TEST(DwdProductFile, DailyFixtureOfEssen) {
  StationSeries s;
  read_dwd_product(FIXTURES + "produkt_nieder_tag_19350101_20231231_01303.txt", s);
  EXPECT_EQ(s.column, "RS");
  EXPECT_EQ(s.resolution, Resolution::DAILY);
  EXPECT_EQ(s.first, textio::days_from_civil(2010, 6, 5));
  const std::vector<Tenths> rs = {0, 231, 0, 49, 50, 19};
  EXPECT_EQ(s.values, rs);
}

TEST(DwdProductFile, LineEndsMissingRowsAndMarkers) {
  const std::string rows =
      "        555;2010010100;    3;   0.2;   1;   6;eor\r\n"
      "        555;2010010101;    3;-999;-999;-999;eor\r\n"
      "        555;2010010104;    3;  12.0;   1;   6;eor";  // no line end at the end
  const StationSeries crlf = read_text(HOURLY_HEADER + rows);
  std::string lf = HOURLY_HEADER + rows;
  std::erase(lf, '\r');
  const StationSeries plain = read_text(lf);
  EXPECT_EQ(crlf.values, plain.values);
  EXPECT_EQ(crlf.id, "00555");
  EXPECT_EQ(crlf.first, hour_count(2010, 1, 1, 0));
  const std::vector<Tenths> expected = {2, MISSING, MISSING, MISSING, 120};
  EXPECT_EQ(crlf.values, expected);
}

TEST(DwdProductFile, MistakesAreNamed) {
  struct Case {
    const char* what;
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"not a product file", "Stations_id;Stationshoehe\n",
       "1 stationfile: unknown source: f.txt (its first line is not that of a German Weather Service product "
       "file)\n"},
      {"empty file", "", "1 stationfile: unknown source: f.txt (the file is empty)\n"},
      {"temperature, not precipitation", "STATIONS_ID;MESS_DATUM;QN_9;TT_TU;RF_TU;eor\n",
       "1 stationfile: wrong parameter or resolution: f.txt has no precipitation column (R1, RS or RSK)\n"},
      {"hours out of order",
       HOURLY_HEADER + "555;2010010102;3;0.0;0;0;eor\n555;2010010101;3;0.0;0;0;eor\n",
       "1 stationfile: hours stamped out of order: f.txt line 3: 2010010101 after 2010010102\n"},
      {"an hour twice", HOURLY_HEADER + "555;2010010102;3;0.0;0;0;eor\n555;2010010102;3;0.1;0;0;eor\n",
       "1 stationfile: hours stamped out of order: f.txt line 3: 2010010102 after 2010010102\n"},
      {"a daily stamp in an hourly file", HOURLY_HEADER + "555;20100101;3;0.0;0;0;eor\n",
       "1 stationfile: cannot read f.txt line 2: date '20100101'\n"},
      {"hour 24", HOURLY_HEADER + "555;2010010124;3;0.0;0;0;eor\n",
       "1 stationfile: cannot read f.txt line 2: date '2010010124'\n"},
      {"two decimals", HOURLY_HEADER + "555;2010010101;3;0.05;0;0;eor\n",
       "1 stationfile: cannot read f.txt line 2: R1 '0.05' is not a value\n"},
      {"another station's row", HOURLY_HEADER + "555;2010010101;3;0.0;0;0;eor\n556;2010010102;3;0.0;0;0;eor\n",
       "1 stationfile: cannot read f.txt line 3: station 556 in a file of station 00555\n"},
      {"header only", HOURLY_HEADER, "1 stationfile: cannot read f.txt: no records\n"},
      {"a slot for every hour of 1001 years",
       HOURLY_HEADER + "555;2010010101;3;0.0;0;0;eor\n555;3011010101;3;0.0;0;0;eor\n",
       "1 stationfile: cannot read f.txt line 3: 3011010101 lies more than 1000 years after the first record\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(failure_of(c.text), c.message) << c.what;
}

TEST(DwdProductFile, TenthsOfAField) {
  struct Case {
    const char* field;
    bool ok;
    Tenths value;
  };
  const Case cases[] = {
      {"0.0", true, 0}, {"12.3", true, 123}, {"7", true, 70}, {"-999", true, MISSING},
      {"-1.0", false, 0}, {"", false, 0},  {"1.", false, 0},  {"1,5", false, 0}, {"0.05", false, 0},
  };
  for (const Case& c : cases) {
    Tenths v = 0;
    EXPECT_EQ(parse_tenths(c.field, v), c.ok) << c.field;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.field;
    }
  }
}

TEST(DwdStationList, FixtureWithLatin1Names) {
  std::vector<StationPlace> places;
  read_dwd_station_list(FIXTURES + "RR_Stundenwerte_Beschreibung_Stationen.txt", places);
  ASSERT_EQ(places.size(), 5u);
  // 01078 19950901 20220121             37     51.2960    6.7686 D\xfcsseldorf ...
  EXPECT_EQ(places[1].id, "01078");
  EXPECT_EQ(places[1].height_m, 37.0);
  EXPECT_EQ(places[1].latitude, 51.2960);
  EXPECT_EQ(places[1].longitude, 6.7686);
  EXPECT_EQ(places[4].id, "13696");
}

TEST(DwdStationList, MistakesAreNamed) {
  const char* header = "Stations_id von_datum bis_datum Stationshoehe geoBreite geoLaenge Stationsname Bundesland\n"
                       "----------- --------- --------- ------------- --------- --------- ------ ----------\n";
  struct Case {
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"STATIONS_ID;MESS_DATUM\n", "stationfile: cannot read the station list s.txt (its first line is not that of "
                                   "a station list)\n"},
      {std::string(header) + "00555 20080101 20181101 101 51.4789\n",
       "stationfile: cannot read the station list s.txt line 3\n"},
      {std::string(header) + "00555 20080101 20181101 101 91.0 7.2697 Bochum\n",
       "stationfile: cannot read the station list s.txt line 3\n"},
  };
  for (const Case& c : cases) {
    textio::TextReader reader;
    reader.attach_text(c.text);
    std::vector<StationPlace> places;
    try {
      read_dwd_station_list(reader, "s.txt", places);
      ADD_FAILURE() << "no failure: " << c.text;
    } catch (const textio::FatalError& f) {
      EXPECT_EQ(f.message, c.message);
      EXPECT_EQ(f.code, EXIT_MISTAKE);
    }
  }
}

TEST(DwdGeography, EssenLocationsAndMoves) {
  textio::TextReader reader;
  ASSERT_TRUE(reader.open(FIXTURES + "Metadaten_Geographie_01303.txt"));
  std::vector<StationLocation> rows;
  read_dwd_geography(reader, "g.txt", rows);
  ASSERT_EQ(rows.size(), 10u);
  StationLocation at;
  //   1303;  150.00; 51.4041;  6.9677;20051208;        ;Essen-Bredeney
  ASSERT_TRUE(location_on(rows, textio::days_from_civil(2010, 6, 6), at));
  EXPECT_EQ(at.height_m, 150.0);
  EXPECT_EQ(at.latitude, 51.4041);
  EXPECT_EQ(at.longitude, 6.9677);
  //   1303;  150.00; 51.4043;  6.9679;20000726;20051207;Essen-Bredeney
  ASSERT_TRUE(location_on(rows, textio::days_from_civil(2005, 12, 7), at));
  EXPECT_EQ(at.latitude, 51.4043);
  //   1303;  107.00; 51.4310;  6.9848;19140101;19270731;Essen-Bredeney
  ASSERT_TRUE(location_on(rows, textio::days_from_civil(1914, 1, 1), at));
  EXPECT_EQ(at.height_m, 107.0);
  EXPECT_FALSE(location_on(rows, textio::days_from_civil(1897, 7, 31), at));
  long long moved_on = 0;
  EXPECT_TRUE(moved_within(rows, textio::days_from_civil(2000, 1, 1), textio::days_from_civil(2010, 1, 1), moved_on));
  EXPECT_EQ(moved_on, textio::days_from_civil(2000, 7, 26));  // the first move, not the last
  // A move on the first day is the location the whole period had.
  EXPECT_FALSE(moved_within(rows, textio::days_from_civil(2005, 12, 8), textio::days_from_civil(2010, 1, 1), moved_on));
}

TEST(DwdGeography, MistakesAreNamed) {
  const std::string header = "Stations_id;Stationshoehe;Geogr.Breite;Geogr.Laenge;von_datum;bis_datum;Stationsname\n";
  const std::pair<std::string, std::string> cases[] = {
      {"STATIONS_ID;MESS_DATUM\n", "stationfile: cannot read the station list g.txt (its first line is not that of "
                                  "Metadaten_Geographie)\n"},
      {header + "  1303;  150.00; 51.4041;  6.9677;20051232;        ;Essen\n",
       "stationfile: cannot read the station list g.txt line 2\n"},
      {header + "  1303;  150.00; 51.4041;  6.9677\n", "stationfile: cannot read the station list g.txt line 2\n"},
  };
  for (const auto& [text, message] : cases) {
    textio::TextReader reader;
    reader.attach_text(text);
    std::vector<StationLocation> rows;
    try {
      read_dwd_geography(reader, "g.txt", rows);
      ADD_FAILURE() << "no failure: " << text;
    } catch (const textio::FatalError& f) {
      EXPECT_EQ(f.message, message);
    }
  }
}

}  // namespace
}  // namespace stationfile
