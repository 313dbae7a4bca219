#include "run_sequence.h"

#include <new>

#include "date_text.h"
#include "day_loop.h"
#include "failure_place.h"
#include "fatal_errors.h"
#include "hour_ring.h"
#include "hourly_advance.h"
#include "output_table.h"
#include "parameter_dialogue.h"
#include "platform_io.h"
#include "start_sync.h"
#include "station_header.h"

namespace pluvo {
namespace {

constexpr std::size_t WORD_BUFFER_SIZE = 100;
constexpr std::size_t LINE_BUFFER_SIZE = FIRST_ROOM_STATIONS * NAME_CELL;

void obtain_buffers(PluvoRun& run, HeaderBuffers& header) {
  const AllocationSeam& seam = run.seam;
  const ExitCode word_codes[] = {ALLOC_WORD_BUFFER_1, ALLOC_WORD_BUFFER_2, ALLOC_WORD_BUFFER_3, ALLOC_WORD_BUFFER_4};
  for (int i = 0; i < 4; ++i) {
    obtain_storage(seam, word_codes[i], [&] { header.words[i].reserve(WORD_BUFFER_SIZE); });
  }
  obtain_storage(seam, ALLOC_LINE_BUFFER, [&] { header.line.reserve(LINE_BUFFER_SIZE); });
  RunParameters& p = run.params;
  const struct {
    std::string* name;
    ExitCode code;
  } names[] = {{&p.anetz_file_name, ALLOC_ANETZ_NAME},
               {&p.klima_file_name, ALLOC_KLIMA_NAME},
               {&p.sammler_file_name, ALLOC_SAMMLER_NAME},
               {&p.output_file_name, ALLOC_OUTPUT_NAME}};
  for (const auto& n : names) obtain_storage(seam, n.code, [&] { n.name->reserve(WORD_BUFFER_SIZE); });
}

void open_output(PluvoRun& run) {
  const RunParameters& p = run.params;
  const std::string& name = p.output_file_name;
  // Opening the output empties it: never when it is one of the station
  // files (an empty name, a group not used, is no file), nor the file of
  // answers the dialogue was read from.
  bool is_input = textio::descriptor_is_file(run.dialogue.descriptor(), name);
  for (const std::string* station : {&p.anetz_file_name, &p.klima_file_name, &p.sammler_file_name}) {
    is_input = is_input || textio::same_existing_file(name, *station);
  }
  if (is_input || !run.output_file.open_file(name)) {
    fatal_stop(OPEN_OUTPUT, {.name = name});
  }
}

// A failed read or return to the start ends the run with the first code of
// the search that follows.
void skip_header(StationGroup& group) {
  textio::TextReader& file = group.file;
  if (!file.rewind()) fatal_read_error(group.search.stamp);
  for (int i = 0; i < HEADER_LINES; ++i) file.skip_line();
  if (file.read_failed()) fatal_read_error(group.search.stamp);
}

void close_station_file(textio::TextReader& file, const std::string& name, ExitCode code) {
  if (!file.close()) fatal_stop(code, {.name = name});
}

void note_early_end(PluvoRun& run) {
  const RunParameters& p = run.params;
  const DateHour last_row{.day = p.end_day, .hour = 24, .month = p.end_month, .year = p.end_year};
  if (!run.anetz_ended || !stamp_before(run.last_anetz_stamp, last_row)) return;
  const DateHour& s = run.last_anetz_stamp;
  textio::OutputBuffer& con = run.console;
  con.put("Stundenwerte enden mit ");
  put_date(con, s.day, s.month, s.year, 4);
  con.put(" Stunde ");
  con.put_int(s.hour, 2);
  con.put('\n');
}

}  // namespace

void start_up(PluvoRun& run) {
  HeaderBuffers header;
  obtain_buffers(run, header);
  textio::OutputBuffer& con = run.console;
  con.put("PLUVO - Inverse-Distance-Weighting-Interpolation von Niederschl\x84gen\n");
  con.put("       der Anetzstationen auf die Standorte der Klimastationen und\n");
  con.put("       Tagessammler \n");
  con.put("Initialisieren...\n");
  obtain_ring(run);
  // No group holds a station yet.
  run.anetz.first = 1;
  run.anetz.last = 0;
  place_behind(run.klima, run.anetz);
  place_behind(run.sammler, run.klima);

  con.put("Parametereingabe ...\n");
  if (!run.parameters_from_options) run_parameter_dialogue(run);

  RunParameters& p = run.params;
  con.put("Stationswerte Anetz...\n");
  read_station_header(run, header, run.anetz, p.anetz_file_name);
  place_behind(run.klima, run.anetz);
  if (!p.klima_file_name.empty()) {
    con.put("Stationswert Klimastationen...\n");
    read_station_header(run, header, run.klima, p.klima_file_name);
  }
  place_behind(run.sammler, run.klima);
  if (!p.sammler_file_name.empty()) {
    con.put("Stationswert Sammler ...\n");
    read_station_header(run, header, run.sammler, p.sammler_file_name);
  }
  run.total_stations = run.sammler.last;
  con.put("Gesamtzahl der Stationen : ");
  con.put_int(run.total_stations);
  con.put('\n');
  widen_ring(run);

  open_output(run);
  write_output_header(run);
}

void start_synchronisation(PluvoRun& run) {
  skip_header(run.anetz);
  if (run.klima.count() != 0) skip_header(run.klima);
  if (run.sammler.count() != 0) skip_header(run.sammler);
  for (int k = 0; k < RING_SLOTS; ++k) set_missing(run, run.ring[k].values, 1, run.ring_width - 1);

  sync_anetz(run);
  if (run.klima.count() != 0) sync_klima(run);
  if (run.sammler.count() != 0) sync_sammler(run);
}

void stop(PluvoRun& run) {
  run.console.put('\n');
  note_early_end(run);
  const RunParameters& p = run.params;
  if (run.anetz.count() > 0) close_station_file(run.anetz.file, p.anetz_file_name, CLOSE_ANETZ);
  if (run.klima.count() > 0) close_station_file(run.klima.file, p.klima_file_name, CLOSE_KLIMA);
  if (run.sammler.count() > 0) close_station_file(run.sammler.file, p.sammler_file_name, CLOSE_SAMMLER);
  if (!run.output_file.close_file()) fatal_stop(CLOSE_OUTPUT, {.name = p.output_file_name});
}

int run_pluvo(PluvoRun& run) {
  try {
    start_up(run);
    start_synchronisation(run);
    run_day_loop(run);
  } catch (const textio::FatalError& failure) {
    // Where it happened is told when storage allows; the failure itself
    // stays what it is.
    try {
      if (failure.code >= READ_X_LABELS && failure.code <= READ_SAMMLER_VALUE) note_read_failure(run, failure.code);
    } catch (const std::bad_alloc&) {
    }
    throw;
  }
  stop(run);
  // A warning that finds no storage is left out; the run is complete.
  try {
    write_kept_notes(run, true);
  } catch (const std::bad_alloc&) {
  }
  return EXIT_COMPLETE;
}

}  // namespace pluvo
