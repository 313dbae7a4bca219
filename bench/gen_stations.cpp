// gen_stations: writes a consistent set of station files for timing pluvo,
// and the answers that pluvo reads on standard input.
//
//   gen_stations [--seed N] [--years N | --days N] [--start-year Y]
//                [--anetz N] [--klima N] [--sammler N] [--sites LIST] DIRECTORY
//
// One rain field is simulated hourly at every site; the hourly file samples
// it directly, the 12-hour and daily files sum it, so the three files agree
// the way real networks roughly do. The same options give the same bytes.
//
// Without --sites the stations stand on a kilometre grid of 100 by 100 km,
// coordinates in metres. With --sites LIST (the German Weather Service's
// list of its hourly precipitation stations, ../shared/data/dwd-stations)
// the hourly stations stand at real sites with data into 2022 and the
// Klima and Sammler stations 1 to 5 km beside real sites, latitude and
// longitude projected to km; the answers then ask for power 2 and at most
// 30 km. Datenbasis: Deutscher Wetterdienst.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "generator_support.h"
#include "site_placement.h"

namespace {

constexpr const char* ANETZ_FILE = "anetz.txt";
constexpr const char* KLIMA_FILE = "klima.txt";
constexpr const char* SAMMLER_FILE = "sammler.txt";
constexpr const char* OUTPUT_FILE = "pluvo_out.txt";
constexpr long long MISSING_TENTHS = -9990;  // -999.0
constexpr int EXTRA_DAYS = 2;  // the hourly file runs past the requested period, as delivered data does

using benchgen::Region;
using benchgen::Site;
using benchgen::X_MAX_KM;
using benchgen::X_MIN_KM;
using benchgen::Y_MAX_KM;
using benchgen::Y_MIN_KM;

struct Options {
  long long seed = 1;
  long long years = 10;
  long long days = 0;  // with --days: the run's days from 1 January, in place of years
  long long start_year = 1990;
  long long anetz = 60;
  long long klima = 25;
  long long sammler = 15;
  std::string sites_file;
  std::string directory;
};

[[noreturn]] void usage() {
  std::fputs(
      "usage: gen_stations [--seed N] [--years N | --days N] [--start-year Y] [--anetz N] [--klima N] [--sammler N] "
      "[--sites LIST] DIRECTORY\n"
      "  defaults: seed 1, 10 years from 1990, 60 hourly, 25 twice-daily and 15 daily stations\n",
      stderr);
  std::exit(2);
}

Options parse_options(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const auto value = [&]() -> const char* {
      if (i + 1 >= argc) usage();
      return argv[++i];
    };
    if (std::strcmp(arg, "--seed") == 0) {
      o.seed = benchgen::parse_count(arg, value(), 0, 1LL << 62);
    } else if (std::strcmp(arg, "--years") == 0) {
      o.years = benchgen::parse_count(arg, value(), 1, 500);
    } else if (std::strcmp(arg, "--days") == 0) {
      o.days = benchgen::parse_count(arg, value(), 1, 365);
    } else if (std::strcmp(arg, "--start-year") == 0) {
      o.start_year = benchgen::parse_count(arg, value(), 1000, 9000);
    } else if (std::strcmp(arg, "--anetz") == 0) {
      o.anetz = benchgen::parse_count(arg, value(), 1, 99999);
    } else if (std::strcmp(arg, "--klima") == 0) {
      o.klima = benchgen::parse_count(arg, value(), 1, 99999);
    } else if (std::strcmp(arg, "--sammler") == 0) {
      o.sammler = benchgen::parse_count(arg, value(), 1, 99999);
    } else if (std::strcmp(arg, "--sites") == 0) {
      o.sites_file = value();
    } else if (arg[0] == '-' || !o.directory.empty()) {
      usage();
    } else {
      o.directory = arg;
    }
  }
  if (o.directory.empty()) usage();
  // The grid holds 101 by 101 sites.
  if (o.sites_file.empty() && o.anetz + o.klima + o.sammler > 101 * 101) usage();
  return o;
}

// Distinct grid points for every station of all three networks: stations
// at one spot would give a zero distance in the interpolation.
std::vector<Site> place_sites(benchgen::Random& random, const Options& o) {
  std::vector<Site> sites;
  std::set<std::pair<int, int>> taken;
  const auto add_network = [&](char prefix, long long count) {
    for (long long n = 1; n <= count; ++n) {
      int xk = 0;
      int yk = 0;
      do {
        xk = X_MIN_KM + random.below(X_MAX_KM - X_MIN_KM + 1);
        yk = Y_MIN_KM + random.below(Y_MAX_KM - Y_MIN_KM + 1);
      } while (!taken.insert({xk, yk}).second);
      std::string name = benchgen::site_name(prefix, n);
      // Tenths of a metre, as the station lists give them.
      const double height = static_cast<double>(benchgen::to_tenths(random.uniform(270.0, 2400.0))) / 10.0;
      sites.push_back({std::move(name), height, xk * 1000.0, yk * 1000.0});
    }
  };
  add_network('A', o.anetz);
  add_network('K', o.klima);
  add_network('S', o.sammler);
  return sites;
}

// Rain cells drifting across the region: each lives some hours, grows and
// decays, and wets the stations near its path. Amounts at neighbouring
// stations are therefore correlated and most hours stay dry.
class RainField {
 public:
  RainField(benchgen::Random& random, const std::vector<Site>& sites, const Region& region)
      : random_(random), sites_(sites), region_(region) {}

  // Advances one hour and fills `mm` (one entry per site) with the amounts
  // that fell during it. `season` runs 0..1 over the year.
  void next_hour(double season, std::vector<double>& mm) {
    // More, shorter and heavier cells in summer.
    const double summer = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * season);
    // A larger region has proportionally more cells.
    for (double births = (0.05 + 0.03 * summer) * region_.cells_factor; births > 0.0; births -= 1.0) {
      if (random_.chance(std::fmin(births, 1.0))) spawn(summer);
    }
    for (double& v : mm) v = 0.0;
    for (Cell& c : cells_) {
      const double life = (c.age + 0.5) / c.duration;
      const double strength = c.peak * std::sin(std::numbers::pi * life);
      const double spread = 2.0 * c.radius * c.radius;
      for (std::size_t s = 0; s < sites_.size(); ++s) {
        const double dx = sites_[s].x - c.x;
        const double dy = sites_[s].y - c.y;
        const double d2 = dx * dx + dy * dy;
        if (d2 < 9.0 * spread) mm[s] += strength * std::exp(-d2 / spread);
      }
      c.x += c.vx;
      c.y += c.vy;
      ++c.age;
    }
    std::erase_if(cells_, [](const Cell& c) { return c.age >= c.duration; });
    for (double& v : mm) {
      // Gauge noise; amounts under half a tenth are not registered.
      v *= random_.uniform(0.75, 1.25);
      if (v < 0.05) v = 0.0;
    }
  }

 private:
  struct Cell {
    double x, y, vx, vy;
    double radius;
    double peak;
    int age;
    int duration;
  };

  void spawn(double summer) {
    Cell c{};
    // Mostly from the west, born upwind of the region or above it.
    c.vx = random_.uniform(5000.0, 35000.0);
    c.vy = random_.uniform(-10000.0, 10000.0);
    c.x = random_.uniform(region_.x_min_km - 80.0, region_.x_max_km) * 1000.0;
    c.y = random_.uniform(region_.y_min_km - 20.0, region_.y_max_km + 20.0) * 1000.0;
    c.radius = random_.uniform(8000.0, 35000.0) * (1.0 - 0.4 * summer);
    c.peak = std::fmin(random_.exponential(3.0 + 4.0 * summer), 60.0);
    c.duration = 3 + random_.below(static_cast<int>(30 - 18 * summer));
    cells_.push_back(c);
  }

  benchgen::Random& random_;
  const std::vector<Site>& sites_;
  Region region_;
  std::vector<Cell> cells_;
};

// Station outages: a logger is out for a few hours up to a few days at a time.
class Outages {
 public:
  Outages(benchgen::Random& random, std::size_t stations) : random_(random), remaining_(stations, 0) {}

  bool missing(std::size_t station) {
    int& left = remaining_[station];
    if (left == 0 && random_.chance(0.0007)) left = static_cast<int>(random_.log_uniform(2.0, 96.0));
    if (left == 0) return false;
    --left;
    return true;
  }

 private:
  benchgen::Random& random_;
  std::vector<int> remaining_;
};

// Coordinates in metres, or in km to a tenth.
void put_header(benchgen::TextSink& out, const std::string& title, const std::vector<Site>& sites, std::size_t first,
                std::size_t count, bool in_km) {
  out.put(title);
  out.end_line();
  for (int row = 0; row < 4; ++row) {
    out.put("YY\tMM\tDD\tHH");
    for (std::size_t s = first; s < first + count; ++s) {
      out.put('\t');
      const Site& site = sites[s];
      if (row == 0) out.put_tenths(benchgen::to_tenths(site.height));
      const double coordinate = row == 1 ? site.x : site.y;
      if ((row == 1 || row == 2) && in_km) out.put_tenths(benchgen::to_tenths(coordinate / 1000.0));
      if ((row == 1 || row == 2) && !in_km) out.put_int(std::llround(coordinate));
      if (row == 3) out.put(site.name);
    }
    out.end_line();
  }
}

void put_stamp(benchgen::TextSink& out, const benchgen::Date& date, int hour) {
  out.put_int(date.year);
  out.put('\t');
  out.put_int(date.month);
  out.put('\t');
  out.put_int(date.day);
  out.put('\t');
  out.put_int(hour);
}

std::FILE* open_for_writing(const std::filesystem::path& path) {
  std::FILE* f = std::fopen(path.string().c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "cannot open %s for writing\n", path.string().c_str());
    std::exit(1);
  }
  return f;
}

bool write_answers(const std::filesystem::path& path, const Options& o) {
  std::FILE* f = open_for_writing(path);
  const long long end_year = o.start_year + o.years - 1;
  if (o.days > 0) {
    // The run's last day: day o.days of the start year.
    benchgen::Date last{static_cast<int>(o.start_year), 1, 1};
    for (long long d = 1; d < o.days; ++d) last.advance();
    const char* names = "%s\n%s\n%s\n%s\n";
    std::fprintf(f, names, ANETZ_FILE, KLIMA_FILE, SAMMLER_FILE, OUTPUT_FILE);
    std::fprintf(f, "998\n1\n1\n%lld\n%d\n%d\n%d\n", o.start_year, last.day, last.month, last.year);
    std::fprintf(f, "%s", o.sites_file.empty() ? "2.3\n60000\n0\n0\n200\n200\n" : "2\n30\n0\n0\n200\n200\n");
    return std::fclose(f) == 0;
  }
  // Names are relative: pluvo is run with the data directory as working directory.
  std::fprintf(f, "%s\n%s\n%s\n%s\n", ANETZ_FILE, KLIMA_FILE, SAMMLER_FILE, OUTPUT_FILE);
  std::fprintf(f, "998\n1\n1\n%lld\n31\n12\n%lld\n", o.start_year, end_year);
  std::fprintf(f, "%s", o.sites_file.empty() ? "2.3\n60000\n0\n0\n200\n200\n" : "2\n30\n0\n0\n200\n200\n");
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = parse_options(argc, argv);
  const std::filesystem::path dir(o.directory);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    std::fprintf(stderr, "cannot create %s: %s\n", o.directory.c_str(), ec.message().c_str());
    return 1;
  }

  benchgen::Random random(static_cast<std::uint64_t>(o.seed));
  Region region;
  const std::vector<Site> sites = o.sites_file.empty() ? place_sites(random, o) : benchgen::place_listed_sites(random, {o.anetz, o.klima, o.sammler}, o.sites_file, region);
  const bool in_km = !o.sites_file.empty();
  const std::string source = in_km ? "; sites: Datenbasis: Deutscher Wetterdienst" : "";
  const std::size_t n_anetz = static_cast<std::size_t>(o.anetz);
  const std::size_t n_klima = static_cast<std::size_t>(o.klima);
  const std::size_t n_sammler = static_cast<std::size_t>(o.sammler);
  const std::size_t first_klima = n_anetz;
  const std::size_t first_sammler = n_anetz + n_klima;

  benchgen::TextSink anetz(open_for_writing(dir / ANETZ_FILE), ANETZ_FILE);
  benchgen::TextSink klima(open_for_writing(dir / KLIMA_FILE), KLIMA_FILE);
  benchgen::TextSink sammler(open_for_writing(dir / SAMMLER_FILE), SAMMLER_FILE);
  put_header(anetz, "ANETZ hourly precipitation [mm]" + source, sites, 0, n_anetz, in_km);
  put_header(klima, "Klima 12-hour precipitation totals [mm], 7 h and 19 h" + source, sites, first_klima, n_klima, in_km);
  put_header(sammler, "Sammler daily precipitation totals [cm], 7 h" + source, sites, first_sammler, n_sammler, in_km);

  RainField field(random, sites, region);
  Outages outages(random, n_anetz);
  // Hourly amounts of the previous and the current day, [hour 1..24][site];
  // the 7 h totals reach back into the day before.
  std::vector<std::vector<double>> previous(25, std::vector<double>(sites.size(), 0.0));
  std::vector<std::vector<double>> current = previous;

  benchgen::Date date{static_cast<int>(o.start_year), 1, 1};
  long long days = EXTRA_DAYS;
  if (o.days > 0) {
    days += o.days;
  } else {
    for (long long y = 0; y < o.years; ++y) days += benchgen::is_leap_year(static_cast<int>(o.start_year + y)) ? 366 : 365;
  }

  long long hourly_values = 0;
  long long hourly_missing = 0;
  long long hourly_wet = 0;
  // Day -1 only warms up the rain field and fills `previous`.
  for (long long d = -1; d < days; ++d) {
    const int day_of_year_approx = d < 0 ? 0 : (date.month - 1) * 30 + date.day;
    const double season = day_of_year_approx / 365.0;
    for (int h = 1; h <= 24; ++h) field.next_hour(season, current[h]);
    if (d >= 0) {
      for (int h = 1; h <= 24; ++h) {
        put_stamp(anetz, date, h);
        for (std::size_t s = 0; s < n_anetz; ++s) {
          anetz.put('\t');
          ++hourly_values;
          if (outages.missing(s)) {
            ++hourly_missing;
            anetz.put_tenths(MISSING_TENTHS);
            continue;
          }
          const long long tenths = benchgen::to_tenths(current[h][s]);
          if (tenths > 0) ++hourly_wet;
          anetz.put_tenths(tenths);
        }
        anetz.end_line();
      }

      // 7 h: hours 20..24 of the day before and 1..7; 19 h: hours 8..19.
      for (int stamp : {7, 19}) {
        put_stamp(klima, date, stamp);
        for (std::size_t s = first_klima; s < first_sammler; ++s) {
          klima.put('\t');
          if (random.chance(0.01)) {
            klima.put_tenths(MISSING_TENTHS);
            continue;
          }
          double total = 0.0;
          for (int k = 0; k < 12; ++k) {
            const int hour = stamp - k;
            total += hour >= 1 ? current[hour][s] : previous[hour + 24][s];
          }
          klima.put_tenths(benchgen::to_tenths(total * random.uniform(0.85, 1.15)));
        }
        klima.end_line();
      }

      // Daily totals from 8 h the day before to 7 h, read in centimetres.
      put_stamp(sammler, date, 7);
      for (std::size_t s = first_sammler; s < sites.size(); ++s) {
        sammler.put('\t');
        if (random.chance(0.01)) {
          sammler.put_tenths(MISSING_TENTHS);
          continue;
        }
        double total = 0.0;
        for (int hour = 8; hour <= 24; ++hour) total += previous[hour][s];
        for (int hour = 1; hour <= 7; ++hour) total += current[hour][s];
        sammler.put_tenths(benchgen::to_tenths(total * random.uniform(0.9, 1.1) / 10.0));
      }
      sammler.end_line();
      date.advance();
    }
    std::swap(previous, current);
  }

  bool ok = anetz.close();
  ok = klima.close() && ok;
  ok = sammler.close() && ok;
  ok = write_answers(dir / "answers.txt", o) && ok;
  if (!ok) return 1;

  std::printf("%s: %zu+%zu+%zu stations, %lld days (%lld hourly records), %.2f %% of hourly values missing, "
              "%.1f %% wet\n",
              o.directory.c_str(), n_anetz, n_klima, n_sammler, days, days * 24,
              100.0 * static_cast<double>(hourly_missing) / static_cast<double>(hourly_values),
              100.0 * static_cast<double>(hourly_wet) / static_cast<double>(hourly_values - hourly_missing));
  return 0;
}
