#include "start_sync.h"

#include "date_text.h"
#include "fatal_errors.h"
#include "hour_ring.h"
#include "output_table.h"

namespace pluvo {
namespace {

constexpr int FILL_HOURS = 29;
constexpr int START_ROWS = 6;

bool is_start_stamp(const PluvoRun& run, const DateHour& s) {
  const RunParameters& p = run.params;
  return s.day == p.start_day && s.hour == p.start_hour && s.month == p.start_month && s.year == p.start_year;
}

[[noreturn]] void start_date_missing(const PluvoRun& run, const std::string& file_name, ExitCode code) {
  const RunParameters& p = run.params;
  fatal_stop(code, {.name = file_name, .day = p.start_day, .month = p.start_month, .year = p.start_year,
                    .hour = p.start_hour});
}

// Reads an ANETZ record into slot 24; the other groups' entries are missing.
void read_anetz_hour(PluvoRun& run, ReadCodes codes) {
  HourSlot& slot = run.ring[24];
  read_group_record(run.anetz, *slot.stamp, slot.values, codes, false);
  set_missing(run, slot.values, run.anetz.last + 1, run.total_stations);
  run.last_anetz_stamp = *slot.stamp;
  if (!run.notes.anetz_first_read) {
    const DateHour& s = *slot.stamp;
    run.notes.anetz_first_read = true;
    run.notes.anetz_first[0] = s.day;
    run.notes.anetz_first[1] = s.hour;
    run.notes.anetz_first[2] = s.month;
    run.notes.anetz_first[3] = s.year;
  }
}

void print_search_line(PluvoRun& run, const char* label, const DateHour& s) {
  run.console.put(label);
  put_date(run.console, s.day, s.month, s.year, 4);
  run.console.put('\n');
}

}  // namespace

bool same_date(const DateHour& a, int day, int month, int year) {
  return a.day == day && a.month == month && a.year == year;
}

void sync_anetz(PluvoRun& run) {
  const textio::TextReader& stream = run.anetz.file;
  rotate_ring(run);
  bool found = false;
  while (!stream.eof()) {
    if (is_start_stamp(run, *run.ring[24].stamp)) {
      found = true;
      break;
    }
    read_anetz_hour(run, run.anetz.search);
  }
  // The start record may be the file's last one, read as the file ended.
  found = found || is_start_stamp(run, *run.ring[24].stamp);

  int fill_reads = 0;
  for (int s = 1; s <= FILL_HOURS; ++s) {
    if (s <= START_ROWS) write_start_row(run, *run.ring[24].stamp, run.ring[24].values);
    rotate_ring(run);
    if (!stream.eof()) {
      read_anetz_hour(run, {READ_ANETZ_FILL_STAMP, READ_ANETZ_FILL_VALUE});
      ++fill_reads;
    }
  }
  if (!found || fill_reads < FILL_HOURS) start_date_missing(run, run.params.anetz_file_name, ANETZ_START_MISSING);
}

void sync_klima(PluvoRun& run) {
  const RunParameters& p = run.params;
  StationGroup& klima = run.klima;
  for (;;) {
    read_group_record(klima, *run.ring[1].stamp, run.ring[1].values, klima.search, true);
    read_group_record(klima, *run.ring[13].stamp, run.ring[13].values,
                      {READ_KLIMA_SECOND_STAMP, READ_KLIMA_SECOND_VALUE}, true);
    print_search_line(run, "Suchen Klima : ", *run.ring[13].stamp);
    if (klima.file.eof()) break;
    if (same_date(*run.ring[13].stamp, p.start_day, p.start_month, p.start_year)) break;
  }
  // Only a start date that was not found fails; a file may end with it.
  if (!same_date(*run.ring[13].stamp, p.start_day, p.start_month, p.start_year)) {
    start_date_missing(run, p.klima_file_name, KLIMA_START_MISSING);
  }
}

void sync_sammler(PluvoRun& run) {
  const RunParameters& p = run.params;
  StationGroup& sammler = run.sammler;
  for (;;) {
    read_group_record(sammler, *run.ring[1].stamp, run.ring[1].values, sammler.search, true);
    print_search_line(run, "Suchen Sammler : ", *run.ring[1].stamp);
    if (sammler.file.eof()) break;
    if (same_date(*run.ring[1].stamp, p.start_day, p.start_month, p.start_year)) break;
  }
  if (!same_date(*run.ring[1].stamp, p.start_day, p.start_month, p.start_year)) {
    start_date_missing(run, p.sammler_file_name, SAMMLER_START_MISSING);
  }
}

}  // namespace pluvo
