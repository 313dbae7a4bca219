#include "station_places.h"

#include <vector>

#include "dwd_station_list.h"
#include "exit_codes.h"
#include "transverse_mercator.h"

namespace stationfile {

void place_stations(ImportRun& run) {
  // A station's historical and recent files would have to be merged hour
  // by hour; until that is done, two files of one station are refused
  // rather than written as two columns of the same name.
  for (std::size_t i = 0; i < run.series.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (run.series[i].id == run.series[j].id) {
        throw failure(Failure::STATION_TWICE, run.series[i].id + " in " + run.series[j].file + " and " +
                                                  run.series[i].file);
      }
    }
  }
  const std::string& list_path = run.settings.stations_path;
  if (list_path.empty()) {
    throw failure(Failure::NO_COORDINATES, run.series.front().id + " (give the station list with --stations)");
  }
  std::vector<StationPlace> list;
  read_dwd_station_list(list_path, list);
  run.places.clear();
  for (const StationSeries& series : run.series) {
    const StationPlace* found = nullptr;
    for (const StationPlace& place : list) {
      if (place.id == series.id) found = &place;
    }
    if (!found) throw failure(Failure::NO_COORDINATES, series.id + " (not in " + list_path + ")");
    StationPlace place = *found;
    const PlanePoint p = utm_north(place.latitude, place.longitude, run.settings.utm_zone);
    place.x_km = p.easting / 1000.0;
    place.y_km = p.northing / 1000.0;
    run.places.push_back(place);
  }
}

}  // namespace stationfile
