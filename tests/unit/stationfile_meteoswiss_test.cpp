// MeteoSwiss's hourly and daily files and station list: fixtures cut from
// the open data (tests/fixtures/meteoswiss; Source: MeteoSwiss) and
// hand-made texts for the odd cases.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar.h"
#include "importer/exit_codes.h"
#include "importer/meteoswiss_file.h"

namespace stationfile {
namespace {

const std::string FIXTURES = std::string(E2E_CASES_DIR) + "/../../fixtures/meteoswiss/";

TEST(MeteoSwissFile, HourlyFixtureOfBern) {
  EXPECT_TRUE(looks_like_meteoswiss(FIXTURES + "ogd-smn_ber_h_recent.csv"));
  StationSeries s;
  read_meteoswiss_file(FIXTURES + "ogd-smn_ber_h_recent.csv", s);
  EXPECT_EQ(s.id, "BER");
  EXPECT_EQ(s.column, "rre150h0");
  EXPECT_EQ(s.resolution, Resolution::HOURLY);
  // 01.01.2025 00:00 ends the last hour of 2024.
  const long long jan1 = textio::days_from_civil(2025, 1, 1) * 24;
  EXPECT_EQ(s.first, jan1);
  ASSERT_EQ(s.values.size(), 73u);
  // Rows: 02.01.2025 20:00 ... rre150h0 4; 03.01.2025 00:00 ... 0.1.
  EXPECT_EQ(s.values[jan1 + 24 + 20 - s.first], 40);
  EXPECT_EQ(s.values[jan1 + 48 - s.first], 1);
}

TEST(MeteoSwissFile, DailyFixtureOfAdelboden) {
  StationSeries s;
  read_meteoswiss_file(FIXTURES + "ogd-nime_abo_d_recent.csv", s);
  EXPECT_EQ(s.resolution, Resolution::DAILY);
  EXPECT_EQ(s.first, textio::days_from_civil(2025, 1, 1));
  EXPECT_EQ(s.values, (std::vector<Tenths>{0, 136, 0, 172, 0}));
}

TEST(MeteoSwissFile, EmptyFieldsMissingRowsAndMistakes) {
  const std::string head = "station_abbr;reference_timestamp;rre150h0;tre200h0\r\n";
  textio::TextReader reader;
  reader.attach_text(head + "BER;01.01.2025 01:00;;1\r\nBER;01.01.2025 03:00;0.2;1\r\n");
  StationSeries s;
  read_meteoswiss_file(reader, "m.csv", s);
  EXPECT_EQ(s.values, (std::vector<Tenths>{MISSING, MISSING, 2}));

  const std::pair<std::string, std::string> cases[] = {
      {"station_abbr;reference_timestamp;tre200h0\n",
       "stationfile: wrong parameter or resolution: m.csv has no precipitation column (rre150h0 or rre150d0)\n"},
      {head + "BER;01.01.2025 01:30;0;1\n",
       "stationfile: cannot read m.csv line 2: not a row of hourly values stamped dd.mm.yyyy HH:MM\n"},
      {head + "BER;01.01.2025 02:00;0;1\nBER;01.01.2025 01:00;0;1\n",
       "stationfile: hours stamped out of order: m.csv line 3: 01.01.2025 01:00 after 01.01.2025 02:00\n"},
      {head + "BER;01.01.2025 01:00;0,5;1\n", "stationfile: cannot read m.csv line 2: rre150h0 '0,5' is not a value\n"},
      {"station_abbr;reference_timestamp;rre150d0\nABO;01.01.2025 06:00;1\n",
       "stationfile: cannot read m.csv line 2: not a row of daily values stamped dd.mm.yyyy HH:MM\n"},
  };
  for (const auto& [text, message] : cases) {
    textio::TextReader r;
    r.attach_text(text);
    StationSeries t;
    try {
      read_meteoswiss_file(r, "m.csv", t);
      ADD_FAILURE() << "no failure: " << text;
    } catch (const textio::FatalError& f) {
      EXPECT_EQ(f.message, message);
    }
  }
}

TEST(MeteoSwissStationList, LV95InKilometres) {
  textio::TextReader reader;
  ASSERT_TRUE(reader.open(FIXTURES + "ogd-smn_meta_stations.csv"));
  std::vector<StationPlace> places;
  read_meteoswiss_station_list(reader, "s.csv", places);
  ASSERT_EQ(places.size(), 2u);
  // BER;...;553.0;...;2601934.0;1204410.0;46.990744;7.464061;...
  EXPECT_EQ(places[1].id, "BER");
  EXPECT_EQ(places[1].height_m, 553.0);
  EXPECT_EQ(places[1].x_km, 2601.934);
  EXPECT_EQ(places[1].y_km, 1204.41);
  EXPECT_EQ(places[1].latitude, 46.990744);
}

}  // namespace
}  // namespace stationfile
