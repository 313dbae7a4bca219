// The state of one pluvo run: station table, hourly ring, run parameters,
// counts and open files. One PluvoRun is one run; tests build fresh ones.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "output_buffer.h"
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
  int end_hour = 0;
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
  std::array<double, STATION_SLOTS> hour_sum{};
  double scale_factor = 0.0;
  std::int16_t done = 0;
  std::array<int, 13> days_in_month{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

  int nA = 0;
  int nK = 0;
  int nS = 0;
  int nTotal = 0;
  // Stations each file's header declares; above the capacity the surplus
  // values of every record are read and not stored.
  int declared_anetz = 0;
  int declared_klima = 0;
  int declared_sammler = 0;

  // Work buffers of the station file readers.
  std::string line_buffer;
  std::array<std::string, 4> word_buffer;

  textio::TextReader anetz_file;
  textio::TextReader klima_file;
  textio::TextReader sammler_file;
  textio::OutputBuffer output_file{nullptr, 1 << 17};

  // The last ANETZ record actually read, and whether the file has ended.
  DateHour last_anetz_stamp{MISSING_STAMP, MISSING_STAMP, MISSING_STAMP, MISSING_STAMP};
  bool anetz_ended = false;

  // Where the parameters come from and the rules chosen on the command line.
  bool parameters_from_options = false;  // params are set already: no dialogue
  bool check_answers = false;            // the dialogue reads a terminal and checks each answer
  bool keep_unmatched_rain = false;      // see scale_window
  // Windows that kept unmatched rain, and the rain they kept.
  int kept_rain_windows = 0;
  double kept_rain_total = 0.0;

  // Test seam: the allocation with this code fails (0: none does).
  int fail_allocation_code = 0;

  double missing_value() const { return -params.nodata - 1.0; }
  bool is_valid(double v) const { return v > -params.nodata; }
};

}  // namespace pluvo
