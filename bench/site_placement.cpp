#include "site_placement.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <set>
#include <utility>

namespace benchgen {

std::string site_name(char prefix, long long n) {
  std::string name = std::to_string(n);
  name.insert(0, name.size() < 3 ? 3 - name.size() : 0, '0');
  name.insert(name.begin(), prefix);
  return name;
}

namespace {

// A station of the list: height, latitude and longitude, whether it has
// data into 2022.
struct ListedSite {
  double height;
  double lat;
  double lon;
  bool current;
};

std::vector<ListedSite> read_site_list(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    std::exit(1);
  }
  std::vector<ListedSite> list;
  std::string line;
  for (int skipped = 0; skipped < 2 && std::getline(in, line); ++skipped) {
  }
  while (std::getline(in, line)) {
    long long id = 0;
    long long from = 0;
    long long to = 0;
    ListedSite s{};
    if (std::sscanf(line.c_str(), "%lld %lld %lld %lf %lf %lf", &id, &from, &to, &s.height, &s.lat, &s.lon) != 6) continue;
    s.current = to >= 20220101;
    list.push_back(s);
  }
  return list;
}

// Metres east and north of 47 N 5 E on a plane touching the earth at 51 N:
// within Germany distances are off by well under one per cent.
constexpr double EARTH_RADIUS_M = 6371000.0;
constexpr double DEGREE = std::numbers::pi / 180.0;
double east_m(double lon) { return EARTH_RADIUS_M * (lon - 5.0) * DEGREE * std::cos(51.0 * DEGREE); }
double north_m(double lat) { return EARTH_RADIUS_M * (lat - 47.0) * DEGREE; }

}  // namespace

// Hourly stations at real sites with data into 2022, the others beside
// real sites; coordinates are written in km to a tenth, so sites are kept
// 100 m apart at least.
std::vector<Site> place_listed_sites(Random& random, const SiteCounts& o, const std::string& sites_file,
                                     Region& region) {
  const std::vector<ListedSite> list = read_site_list(sites_file);
  std::vector<std::size_t> current;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].current) current.push_back(i);
  }
  if (static_cast<long long>(current.size()) < o.anetz) {
    std::fprintf(stderr, "%s lists %zu stations with data into 2022, fewer than --anetz %lld\n",
                 sites_file.c_str(), current.size(), o.anetz);
    std::exit(1);
  }
  for (std::size_t i = current.size(); i > 1; --i) {
    std::swap(current[i - 1], current[static_cast<std::size_t>(random.below(static_cast<int>(i)))]);
  }
  std::vector<Site> sites;
  std::set<std::pair<long long, long long>> taken;
  const auto add = [&](char prefix, long long n, double height, double x, double y) {
    if (!taken.insert({to_tenths(x / 1000.0), to_tenths(y / 1000.0)}).second) return false;
    sites.push_back({site_name(prefix, n), height, x, y});
    return true;
  };
  for (long long n = 1; n <= o.anetz; ++n) {
    const ListedSite& s = list[current[static_cast<std::size_t>(n - 1)]];
    add('A', n, s.height, east_m(s.lon), north_m(s.lat));
  }
  const auto add_beside = [&](char prefix, long long count) {
    for (long long n = 1; n <= count; ++n) {
      for (;;) {
        const ListedSite& s = list[static_cast<std::size_t>(random.below(static_cast<int>(list.size())))];
        const double angle = random.uniform(0.0, 2.0 * std::numbers::pi);
        const double distance = random.uniform(1000.0, 5000.0);
        const double height = std::fmax(0.0, s.height + random.uniform(-40.0, 40.0));
        if (add(prefix, n, static_cast<double>(to_tenths(height)) / 10.0,
                east_m(s.lon) + distance * std::cos(angle), north_m(s.lat) + distance * std::sin(angle))) {
          break;
        }
      }
    }
  };
  add_beside('K', o.klima);
  add_beside('S', o.sammler);
  region.x_min_km = region.y_min_km = 1e9;
  region.x_max_km = region.y_max_km = -1e9;
  for (const Site& s : sites) {
    region.x_min_km = std::fmin(region.x_min_km, s.x / 1000.0);
    region.x_max_km = std::fmax(region.x_max_km, s.x / 1000.0);
    region.y_min_km = std::fmin(region.y_min_km, s.y / 1000.0);
    region.y_max_km = std::fmax(region.y_max_km, s.y / 1000.0);
  }
  // Cells are born on the region widened by 80 km to the west and 20 km
  // to the north and south: as many per area of that as on the grid's.
  region.cells_factor = (region.x_max_km - region.x_min_km + 80.0) * (region.y_max_km - region.y_min_km + 40.0) /
                        ((X_MAX_KM - X_MIN_KM + 80.0) * (Y_MAX_KM - Y_MIN_KM + 40.0));
  return sites;
}

}  // namespace benchgen
