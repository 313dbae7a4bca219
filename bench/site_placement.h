// Where the stations of gen_stations stand: the rain region, and real
// sites of the German Weather Service's station list (Datenbasis: Deutscher
// Wetterdienst) with their latitude and longitude projected to metres.
#pragma once

#include <string>
#include <vector>

#include "generator_support.h"

namespace benchgen {

// Sites sit on a kilometre grid in this window (metres) unless a list is given.
constexpr int X_MIN_KM = 600;
constexpr int X_MAX_KM = 700;
constexpr int Y_MIN_KM = 150;
constexpr int Y_MAX_KM = 250;

// Where the rain cells are born and how many: the grid's window, or the
// box around the real sites with more cells for its larger area.
struct Region {
  double x_min_km = X_MIN_KM;
  double x_max_km = X_MAX_KM;
  double y_min_km = Y_MIN_KM;
  double y_max_km = Y_MAX_KM;
  double cells_factor = 1.0;
};

struct Site {
  std::string name;
  double height;
  double x;
  double y;
};

struct SiteCounts {
  long long anetz;
  long long klima;
  long long sammler;
};

// The name of station n of a network: its prefix and at least three digits.
std::string site_name(char prefix, long long n);

// Hourly stations at real sites of the list with data into 2022, the
// others 1 to 5 km beside real sites; sets the region to the box around
// them, with rain cells in proportion to its area.
std::vector<Site> place_listed_sites(Random& random, const SiteCounts& counts, const std::string& sites_file,
                                     Region& region);

}  // namespace benchgen
