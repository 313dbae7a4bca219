#include "stationfile_run.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "command_line.h"
#include "dwd_product_file.h"
#include "exit_codes.h"
#include "help_text.h"
#include "platform_io.h"
#include "reading_period.h"
#include "station_file_writer.h"
#include "station_merge.h"
#include "station_places.h"
#include "knmi_file.h"
#include "meteoswiss_file.h"
#include "table_source.h"
#include "zip_archive.h"
#include "version.h"

namespace stationfile {
namespace {

// The German Weather Service's daily totals end at 06:00 UTC only since
// 1 April 2001; before, the gauges were read at 07:30 legal time.
constexpr long long FIRST_DAY_READ_AT_0600_UTC = 11413;  // 2001-04-01

void refuse_output_among_inputs(const ImportSettings& s) {
  for (const std::string& input : s.inputs) {
    if (textio::same_existing_file(input, s.output_path)) throw failure(Failure::SAME_FILE, s.output_path);
  }
  if (!s.stations_path.empty() && textio::same_existing_file(s.stations_path, s.output_path)) {
    throw failure(Failure::SAME_FILE, s.output_path);
  }
}

Source source_of(const std::string& path) {
  if (looks_like_zip(path)) return Source::DWD;
  if (looks_like_table(path)) return Source::TABLE;
  if (looks_like_knmi(path)) return Source::KNMI;
  if (looks_like_meteoswiss(path)) return Source::METEOSWISS;
  return Source::DWD;  // whose reader names a file of no source
}

const char* source_words(Source source) {
  switch (source) {
    case Source::DWD: return "a German Weather Service file";
    case Source::KNMI: return "a KNMI file";
    case Source::METEOSWISS: return "a MeteoSwiss file";
    case Source::TABLE: return "a table";
  }
  return "";
}

// Each file's source is told by its first lines, unless --source names
// one; the files of one run must share it, as they share one plane.
void read_inputs(ImportRun& run) {
  ImportSettings& s = run.settings;
  for (std::size_t i = 0; i < s.inputs.size(); ++i) {
    const std::string& path = s.inputs[i];
    const Source source = s.source_given ? s.source : source_of(path);
    if (i == 0) {
      run.source = source;
    } else if (source != run.source) {
      throw failure(Failure::WRONG_PARAMETER, path + " is " + source_words(source) + ", " + s.inputs[0] + " " +
                                                  source_words(run.source) +
                                                  ": the files of one run come from one source");
    }
    if (source == Source::TABLE) {
      read_wide_table(path, run.series);
    } else if (source == Source::KNMI) {
      run.series.emplace_back();
      read_knmi_file(path, run.series.back());
    } else if (source == Source::METEOSWISS) {
      run.series.emplace_back();
      read_meteoswiss_file(path, run.series.back());
    } else {
      run.series.emplace_back();
      read_dwd_product(path, run.series.back());
    }
  }
  // KNMI's stations lie in UTM zone 31, the German ones in 32.
  if (run.source == Source::KNMI && !s.projection_given) s.utm_zone = 31;
}

void warn_about_old_reading_times(const ImportRun& run) {
  if (run.source != Source::DWD || run.settings.kind != OutputKind::SAMMLER ||
      run.from_day >= FIRST_DAY_READ_AT_0600_UTC) {
    return;
  }
  std::fputs("stationfile: warning: daily totals before 2001-04-01 were read at 07:30 legal time "
             "(06:30 UTC in winter, 05:30 UTC in summer), not at 06:00 UTC\n",
             stderr);
}

const char* unit_words(OutputKind kind) {
  return kind == OutputKind::ANETZ || kind == OutputKind::TABLE ? "hours" : "readings";
}

void report(ImportRun& run, const std::vector<long long>& missing, long long records) {
  textio::OutputBuffer& out = run.console;
  if (run.source == Source::TABLE) {
    out.put("time base: as in the table (hour h of day D ends at h:00 on D)\n");
  } else {
    const std::string base = time_base_name(run.settings.utc_offset_hours);
    out.put("time base: ");
    out.put(base);
    out.put(" (hour h of day D ends at h:00 ");
    out.put(base);
    out.put(" on D)\n");
  }
  if (run.plane_as_listed && run.source == Source::METEOSWISS) {
    out.put("projection: Swiss LV95 as ");
    out.put(run.settings.stations_path);
    out.put(" gives it, km\n");
  } else if (run.plane_as_listed) {
    out.put("projection: none, x and y in km as in ");
    out.put(run.settings.stations_path);
    out.put('\n');
  } else {
    out.put("projection: UTM zone ");
    out.put_int(run.settings.utm_zone);
    out.put("N (ETRS89), km\n");
  }
  out.put("period: ");
  out.put(iso_date(run.from_day));
  out.put(" to ");
  out.put(iso_date(run.to_day));
  out.put('\n');
  for (std::size_t i = 0; i < run.series.size(); ++i) {
    out.put("station ");
    out.put(run.series[i].id);
    out.put(": ");
    out.put_int(missing[i]);
    out.put(" of ");
    out.put_int(records);
    out.put(' ');
    out.put(unit_words(run.settings.kind));
    out.put(" missing (-999)\n");
  }
  out.put("wrote ");
  out.put(run.settings.output_path);
  out.put(": ");
  out.put_int(static_cast<long long>(run.series.size()));
  out.put(" stations, ");
  out.put_int(records);
  out.put(run.settings.kind == OutputKind::TABLE ? " rows\n" : " records\n");
}

}  // namespace

int run_stationfile(ImportRun& run, int argc, const char* const* argv) {
  switch (info_request(argc, argv)) {
    case InfoRequest::HELP:
      run.console.put(help_text());
      return EXIT_COMPLETE;
    case InfoRequest::VERSION:
      run.console.put("stationfile ");
      run.console.put(textio::VERSION);
      run.console.put('\n');
      return EXIT_COMPLETE;
    case InfoRequest::NONE:
      break;
  }
  parse_command_line(argc, argv, run.settings);
  refuse_output_among_inputs(run.settings);
  read_inputs(run);
  merge_station_files(run);
  shift_time_base(run);
  choose_period(run);
  place_stations(run);
  warn_about_old_reading_times(run);

  std::error_code error;
  const auto status = std::filesystem::status(run.settings.output_path, error);
  run.output_is_plain_file =
      status.type() == std::filesystem::file_type::not_found || status.type() == std::filesystem::file_type::regular;
  if (!run.output.open_file(run.settings.output_path)) throw failure(Failure::ERROR_OPENING, run.settings.output_path);
  std::vector<long long> missing;
  const long long records = write_station_file(run, missing);
  if (!run.output.close_file()) {
    // A full disk leaves no half file behind; a device stays as it is.
    if (run.output_is_plain_file) std::remove(run.settings.output_path.c_str());
    throw failure(Failure::ERROR_WRITING, run.settings.output_path);
  }
  report(run, missing, records);
  return EXIT_COMPLETE;
}

}  // namespace stationfile
