// The state of one pluvo run: station table, hourly ring, run parameters,
// the three station groups and the output file. One PluvoRun is one run;
// tests build fresh ones. What only one operation needs lives with it.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "date_hour.h"
#include "exit_codes.h"
#include "fatal_errors.h"
#include "output_buffer.h"
#include "run_notes.h"
#include "station_group.h"
#include "text_reader.h"

namespace pluvo {

// Room for this many stations is obtained with the run's state; headers
// that declare more obtain more (see ensure_station_room). A run is bounded
// only by its memory.
constexpr int FIRST_ROOM_STATIONS = 100;
constexpr int FIRST_ROOM_SLOTS = FIRST_ROOM_STATIONS + 1;  // station index 1..100; entry 0 belongs to no station
constexpr int RING_SLOTS = 26;
constexpr int NAME_CELL = 8;  // 7 significant characters and the terminator

// A slot refers to a stamp and a value array owned by the ring's storage;
// rotating the ring exchanges these references, never their contents.
struct HourSlot {
  DateHour* stamp;
  double* values;
};

// Indexed by station index; entry 0 belongs to no station.
struct StationTable {
  std::vector<double> height = std::vector<double>(FIRST_ROOM_SLOTS, 0.0);
  std::vector<double> x = std::vector<double>(FIRST_ROOM_SLOTS, 0.0);
  std::vector<double> y = std::vector<double>(FIRST_ROOM_SLOTS, 0.0);
  std::vector<std::array<char, NAME_CELL>> name =
      std::vector<std::array<char, NAME_CELL>>(FIRST_ROOM_STATIONS);  // cell i - 1 holds station i

  int room() const { return static_cast<int>(x.size()) - 1; }  // the highest station index it holds
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

// How the hours are interpolated: the fastest form for the run's stations,
// or the plain form of every source for every target (for comparison).
enum class Weighting { fastest, plain };

struct PluvoRun {
  PluvoRun(textio::OutputBuffer& console_out, textio::TextReader& dialogue_in)
      : console(console_out), dialogue(dialogue_in) {}

  textio::OutputBuffer& console;
  textio::TextReader& dialogue;
  // Lets a test fail the storage of one code; every operation that obtains
  // storage takes it from here.
  AllocationSeam seam{};

  RunParameters params;
  StationTable stations;
  // The ring's storage, obtained once (and once more when the headers
  // declare more stations than it holds); ring[0..25] refer into it. Each
  // slot's value array has ring_width entries, indexed by station index.
  std::vector<double> ring_values;
  int ring_width = 0;
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
  int total_stations = 0;  // stations of all three groups

  textio::OutputBuffer output_file{nullptr, 1 << 17};

  // The last ANETZ record actually read, and whether the file has ended.
  DateHour last_anetz_stamp = MISSING_DATE_HOUR;
  bool anetz_ended = false;

  // Where the parameters come from and the rules chosen on the command line.
  bool parameters_from_options = false;  // params are set already: no dialogue
  bool check_answers = false;            // the dialogue reads a terminal and checks each answer
  bool keep_unmatched_rain = false;      // see scale_window
  int threads = 1;                       // threads of the daily loop, the calling one included
  Weighting weighting = Weighting::fastest;
  // Windows that kept unmatched rain, and the rain they kept.
  int kept_rain_windows = 0;
  double kept_rain_total = 0.0;
  RunNotes notes;

  double missing_value() const { return -params.nodata - 1.0; }
  bool is_valid(double v) const { return v > -params.nodata; }
};

}  // namespace pluvo
