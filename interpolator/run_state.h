// The state of one pluvo run: station table, hourly ring, run parameters,
// the three station groups and the output file. One PluvoRun is one run;
// tests build fresh ones. What only one operation needs lives with it.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "exit_codes.h"
#include "output_buffer.h"
#include "run_notes.h"
#include "station_group.h"
#include "text_reader.h"

namespace pluvo {

constexpr int MAX_STATIONS = 100;
constexpr int STATION_SLOTS = MAX_STATIONS + 1;  // indexed by station index 1..MAX_STATIONS
constexpr int RING_SLOTS = 26;
constexpr int NAME_CELL = 8;  // 7 significant characters and the terminator
constexpr int MISSING_STAMP = -999;

struct DateHour {
  int day;
  int hour;
  int month;
  int year;
};

// The stamp of a slot that has not received a record: it matches no date.
constexpr DateHour MISSING_DATE_HOUR{
    .day = MISSING_STAMP, .hour = MISSING_STAMP, .month = MISSING_STAMP, .year = MISSING_STAMP};

// A slot refers to a stamp and a value array owned by the ring's storage;
// rotating the ring exchanges these references, never their contents.
struct HourSlot {
  DateHour* stamp;
  double* values;
};

struct StationTable {
  std::array<double, STATION_SLOTS> height{};
  std::array<double, STATION_SLOTS> x{};
  std::array<double, STATION_SLOTS> y{};
  std::array<std::array<char, NAME_CELL>, MAX_STATIONS> name{};  // cell i - 1 holds station i
};

struct RunParameters {
  std::string anetz_file_name;
  std::string klima_file_name;
  std::string sammler_file_name;
  std::string output_file_name;
  double nodata = 998.0;
  int start_day = 0;
  int start_month = 0;
  int start_year = 0;
  int start_hour = 0;
  int end_day = 0;
  int end_month = 0;
  int end_year = 0;
  double power = 0.0;
  double max_distance = 0.0;
  double lower_limit = 0.0;
  double lower_replacement = 0.0;
  double upper_limit = 0.0;
  double upper_replacement = 0.0;
};

using ValueArray = std::array<double, STATION_SLOTS>;

struct PluvoRun {
  PluvoRun(textio::OutputBuffer& console_out, textio::TextReader& dialogue_in)
      : console(console_out), dialogue(dialogue_in) {}

  textio::OutputBuffer& console;
  textio::TextReader& dialogue;

  RunParameters params;
  StationTable stations;
  // The ring's storage, obtained once; ring[0..25] refer into it.
  std::unique_ptr<std::array<ValueArray, RING_SLOTS>> ring_values;
  std::unique_ptr<std::array<DateHour, RING_SLOTS>> ring_stamps;
  std::array<HourSlot, RING_SLOTS> ring{};

  // The three station files; the Sammler totals are read times 10.
  StationGroup anetz{.search = {READ_ANETZ_SEARCH_STAMP, READ_ANETZ_SEARCH_VALUE},
                     .advance = {READ_ANETZ_STAMP, READ_ANETZ_VALUE}};
  StationGroup klima{.search = {READ_KLIMA_FIRST_STAMP, READ_KLIMA_FIRST_VALUE},
                     .advance = {READ_KLIMA_STAMP, READ_KLIMA_VALUE},
                     .mismatch = KLIMA_TIME_MISMATCH};
  StationGroup sammler{.factor = 10.0,
                       .search = {READ_SAMMLER_SEARCH_STAMP, READ_SAMMLER_SEARCH_VALUE},
                       .advance = {READ_SAMMLER_STAMP, READ_SAMMLER_VALUE},
                       .mismatch = SAMMLER_TIME_MISMATCH};
  int nTotal = 0;  // stations of all three groups

  textio::OutputBuffer output_file{nullptr, 1 << 17};

  // The last ANETZ record actually read, and whether the file has ended.
  DateHour last_anetz_stamp = MISSING_DATE_HOUR;
  bool anetz_ended = false;

  // Where the parameters come from and the rules chosen on the command line.
  bool parameters_from_options = false;  // params are set already: no dialogue
  bool check_answers = false;            // the dialogue reads a terminal and checks each answer
  bool keep_unmatched_rain = false;      // see scale_window
  // Windows that kept unmatched rain, and the rain they kept.
  int kept_rain_windows = 0;
  double kept_rain_total = 0.0;
  RunNotes notes;

  double missing_value() const { return -params.nodata - 1.0; }
  bool is_valid(double v) const { return v > -params.nodata; }
};

}  // namespace pluvo
