#include "station_places.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

#include "dwd_geography.h"
#include "dwd_station_list.h"
#include "exit_codes.h"
#include "knmi_station_list.h"
#include "meteoswiss_file.h"
#include "platform_io.h"
#include "reading_period.h"
#include "table_source.h"
#include "transverse_mercator.h"
#include "zip_archive.h"

namespace stationfile {

namespace {

void project(const ImportRun& run, StationPlace& place) {
  const PlanePoint p = utm_north(place.latitude, place.longitude, run.settings.utm_zone);
  place.x_km = p.easting / 1000.0;
  place.y_km = p.northing / 1000.0;
}

// The folder part of a path, with its separator; empty for a bare name.
std::string folder_of(const std::string& path) {
  const std::size_t end = path.find_last_of("/\\");
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

StationPlace place_from_geography(const ImportRun& run, const StationSeries& series) {
  std::vector<StationLocation> rows;
  textio::TextReader reader;
  std::string name = series.file + ":Metadaten_Geographie";
  if (!series.geography.empty()) {
    reader.attach_text(series.geography);
  } else {
    name = folder_of(series.file) + "Metadaten_Geographie_" + series.id + ".txt";
    if (!reader.open(name)) {
      throw failure(Failure::NO_COORDINATES, series.id + " (no --stations list, and no " + name + ")");
    }
  }
  read_dwd_geography(reader, name, rows);
  StationLocation at_end;
  if (!location_on(rows, run.to_day, at_end)) {
    throw failure(Failure::NO_COORDINATES, series.id + " (" + name + " has no location on " + iso_date(run.to_day) + ")");
  }
  long long moved_on = 0;
  if (moved_within(rows, run.from_day, run.to_day, moved_on)) {
    const std::string text = "stationfile: warning: station " + series.id + " moved on " + iso_date(moved_on) +
                             ", within the period; its location of " + iso_date(run.to_day) + " is used\n";
    std::fputs(text.c_str(), stderr);
  }
  StationPlace place;
  place.id = series.id;
  place.height_m = at_end.height_m;
  place.latitude = at_end.latitude;
  place.longitude = at_end.longitude;
  return place;
}

bool looks_readable(const std::string& path) {
  const int fd = textio::platform_open_read(path);
  if (fd < 0) return false;
  textio::platform_close(fd);
  return true;
}

// --projection lv95 and none take x and y from the list as they stand: only
// MeteoSwiss's lists (LV95) and a table's list with x_km and y_km have them.
void check_listed_plane(const ImportRun& run) {
  const ListedPlane asked = run.settings.listed_plane;
  if (asked == ListedPlane::NOT_ASKED || run.source == Source::METEOSWISS) return;
  const std::string& id = run.series.front().id;
  if (asked == ListedPlane::LV95) {
    throw failure(Failure::NO_COORDINATES,
                  id + " in LV95 (--projection lv95 takes the LV95 coordinates of MeteoSwiss's station lists; "
                       "for these stations use utm:ZONE)");
  }
  if (run.source != Source::TABLE) {
    throw failure(Failure::NO_COORDINATES,
                  id + " as x and y (--projection none takes x and y in km from the station list, and this "
                       "service's list gives latitudes and longitudes; use utm:ZONE)");
  }
}

}  // namespace

void place_stations(ImportRun& run) {
  run.places.clear();
  const std::string& list_path = run.settings.stations_path;
  if (list_path.empty() && run.source == Source::TABLE) {
    throw failure(Failure::NO_COORDINATES, run.series.front().id + " (a table's stations need a list: --stations)");
  }
  check_listed_plane(run);
  if (list_path.empty() && run.source == Source::METEOSWISS) {
    throw failure(Failure::NO_COORDINATES,
                  run.series.front().id + " (MeteoSwiss's stations need a list: --stations ogd-*_meta_stations.csv)");
  }
  if (list_path.empty() && run.source == Source::KNMI) {
    throw failure(Failure::NO_COORDINATES,
                  run.series.front().id + " (KNMI's stations need a list: --stations knmi_*station.json)");
  }
  if (list_path.empty()) {
    for (const StationSeries& series : run.series) {
      run.places.push_back(place_from_geography(run, series));
      project(run, run.places.back());
    }
    return;
  }
  std::vector<StationPlace> list;
  run.plane_as_listed = false;
  if (run.source == Source::TABLE) {
    textio::TextReader reader;
    if (!reader.open(list_path)) throw failure(Failure::ERROR_OPENING, list_path);
    read_table_station_list(reader, list_path, run.settings.projection_given, list, run.plane_as_listed);
    if (run.settings.listed_plane == ListedPlane::NONE && !run.plane_as_listed) {
      throw failure(Failure::NO_COORDINATES,
                    run.series.front().id + " as x and y (--projection none needs the columns x_km and y_km in " +
                        list_path + ")");
    }
  } else if (run.source == Source::METEOSWISS) {
    textio::TextReader reader;
    if (!reader.open(list_path)) throw failure(Failure::ERROR_OPENING, list_path);
    read_meteoswiss_station_list(reader, list_path, list);
    // LV95 as the service gives it, unless a projection is asked for.
    run.plane_as_listed = !run.settings.projection_given;
  } else if (run.source == Source::KNMI) {
    std::string text;
    if (!looks_readable(list_path)) throw failure(Failure::ERROR_OPENING, list_path);
    if (!read_raw_file(list_path, text)) throw failure(Failure::ERROR_READING, list_path);
    read_knmi_station_list(text, list_path, list);
  } else {
    read_dwd_station_list(list_path, list);
  }
  // A list selects a table's columns: the others are left out, and said so.
  if (run.source == Source::TABLE) {
    std::erase_if(run.series, [&](const StationSeries& s) {
      const bool listed = std::any_of(list.begin(), list.end(), [&](const StationPlace& p) { return p.id == s.id; });
      if (!listed) {
        run.console.put("station ");
        run.console.put(s.id);
        run.console.put(": not in ");
        run.console.put(list_path);
        run.console.put(", left out\n");
      }
      return !listed;
    });
    if (run.series.empty()) throw failure(Failure::NO_COORDINATES, "of the table (none is in " + list_path + ")");
  }
  // The stations are written in the order of the list; a JSON list has no
  // order of its own, so KNMI's stations keep the order of the files.
  std::vector<std::size_t> row_of(run.series.size());
  for (std::size_t i = 0; i < run.series.size(); ++i) {
    const std::string& id = run.series[i].id;
    std::size_t row = 0;
    while (row < list.size() && list[row].id != id) ++row;
    if (row == list.size()) throw failure(Failure::NO_COORDINATES, id + " (not in " + list_path + ")");
    row_of[i] = row;
  }
  const bool keep_file_order = run.source == Source::KNMI;
  std::vector<std::size_t> order(run.series.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (!keep_file_order) {
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return row_of[a] < row_of[b]; });
  }
  std::vector<StationSeries> ordered;
  ordered.reserve(order.size());
  for (std::size_t i : order) {
    ordered.push_back(std::move(run.series[i]));
    run.places.push_back(list[row_of[i]]);
    if (!run.plane_as_listed) project(run, run.places.back());
  }
  run.series = std::move(ordered);
}

}  // namespace stationfile
