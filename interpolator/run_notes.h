// What a run notices without stopping, and where a failure happened: kept
// in the run's state while it goes on and written on standard error in
// English, each line beginning "pluvo: ". Nothing here changes what the
// run prints on standard output, writes to its table or ends with.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace pluvo {

struct PluvoRun;
struct StationGroup;

// The first record of a station file stamped hour 0 (hours run 1 to 24
// here): its line and its stamp as written.
struct HourZeroNote {
  bool seen = false;
  std::uint64_t line = 0;
  int year = 0;
  int month = 0;
  int day = 0;
};

struct RunNotes {
  std::FILE* stream = stderr;
  // The header being read, for a failure within it.
  const StationGroup* header_group = nullptr;
  const std::string* header_file_name = nullptr;
  // The first record the ANETZ search read, for a search that found no start.
  bool anetz_first_read = false;
  int anetz_first[4] = {0, 0, 0, 0};  // day, hour, month, year
  // One line naming where a failure happened, written before its message.
  std::string failure_place;
  // Reading windows with rain measured and none interpolated, and that rain.
  int unmatched_windows = 0;
  double unmatched_rain = 0.0;
};

// "pluvo: warning: <text>" and a line end, on the notes' stream at once.
void warn(const PluvoRun& run, const std::string& text);

// printf's "%g": the shortest form of a number in a message.
std::string short_number(double v);

// The warnings kept for the end: the hours stamped 0 of each station file,
// and, after a complete run, the stations no source reaches, the windows
// whose measured rain found no interpolated hours, and weights the power
// makes useless. Then, after a failure, the line that says where it
// happened.
void write_kept_notes(PluvoRun& run, bool complete);

}  // namespace pluvo
