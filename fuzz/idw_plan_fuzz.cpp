// The planned inverse-distance weighting (the lanes of small networks, the
// sources in reach of large ones, this one on 1 and on 3 threads) against
// the plain one, bit for bit.
//
// The input is text: numbers separated by white space (a word that is no
// number counts as 0). In this order: the number of sources and of
// targets, power, maximum distance, nodata, lower limit and its
// replacement, upper limit and its replacement; the x and then the y
// coordinate of every source and target; then hour after hour one value
// per source and target. Every hour goes through the same plan, so that
// what the plan keeps from one hour to the next is tested too. Sets of up
// to 400 sources and 300 targets are taken; the lanes only up to their 128
// sources.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "idw.h"
#include "idw_plan.h"
#include "reach_plan.h"
#include "run_state.h"
#include "source_mask.h"
#include "station_header.h"
#include "worker_team.h"

namespace {

constexpr int MAX_HOURS = 200;
constexpr int MAX_SOURCES = 400;
constexpr int MAX_TARGETS = 300;

class NumberList {
 public:
  explicit NumberList(std::string_view text) : text_(text) {}
  bool more() {
    skip_space();
    return at_ < text_.size();
  }
  double next() {
    skip_space();
    const std::size_t from = at_;
    while (at_ < text_.size() && !is_space(text_[at_])) ++at_;
    const std::string word(text_.substr(from, at_ - from));
    return std::strtod(word.c_str(), nullptr);
  }
  int next_count(int limit) {
    const double v = next();
    if (!(v >= 0.0)) return 0;
    return v >= limit ? limit : static_cast<int>(v);
  }

 private:
  static bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
  void skip_space() {
    while (at_ < text_.size() && is_space(text_[at_])) ++at_;
  }
  std::string_view text_;
  std::size_t at_ = 0;
};

std::string hex(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%a", v);
  return buf;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  NumberList in(std::string_view(reinterpret_cast<const char*>(data), size));
  const int sources = in.next_count(MAX_SOURCES);
  const int targets = in.next_count(MAX_TARGETS);
  const double power = in.next();
  const double max_distance = in.next();

  static textio::OutputBuffer console(nullptr, 512);
  static textio::TextReader dialogue;
  static pluvo::PluvoRun run(console, dialogue);
  static pluvo::WorkerTeam team;
  if (team.size() == 1) team.start(3);
  pluvo::RunParameters& p = run.params;
  p.nodata = in.next();
  p.lower_limit = in.next();
  p.lower_replacement = in.next();
  p.upper_limit = in.next();
  p.upper_replacement = in.next();
  const int stations = sources + targets;
  pluvo::ensure_station_room(run, stations);
  std::fill(run.stations.x.begin(), run.stations.x.end(), 0.0);
  std::fill(run.stations.y.begin(), run.stations.y.end(), 0.0);
  for (int i = 1; i <= stations; ++i) run.stations.x[i] = in.next();
  for (int i = 1; i <= stations; ++i) run.stations.y[i] = in.next();

  p.power = power;
  p.max_distance = max_distance;
  const pluvo::StationGroup source_group{.first = 1, .last = sources};
  const pluvo::StationGroup target_group{.first = sources + 1, .last = stations};
  const bool with_lanes = sources <= pluvo::SourceMask::CAPACITY;
  pluvo::IdwPlan plan;
  if (with_lanes) pluvo::build_idw_plan(plan, run, source_group, target_group);
  pluvo::ReachPlan reach;
  pluvo::build_reach_plan(reach, run, source_group, target_group);
  std::vector<pluvo::ReachScratch> scratch(static_cast<std::size_t>(team.size()));
  for (pluvo::ReachScratch& s : scratch) pluvo::obtain_reach_scratch(s, reach, run);

  const auto slots = static_cast<std::size_t>(stations) + 1;
  std::vector<std::vector<double>> plain;
  while (static_cast<int>(plain.size()) < MAX_HOURS && in.more()) {
    std::vector<double> hour(slots, 0.0);
    for (int i = 1; i <= stations; ++i) hour[static_cast<std::size_t>(i)] = in.next();
    plain.push_back(std::move(hour));
  }
  const int hours = static_cast<int>(plain.size());
  std::vector<std::vector<double>> planned = plain;
  std::vector<std::vector<double>> reached = plain;
  std::vector<std::vector<double>> threaded = plain;
  for (int h = 0; h < hours; ++h) {
    pluvo::interpolate_idw(run, plain[h].data(), {1, sources}, {sources + 1, stations});
    if (with_lanes) pluvo::interpolate_planned(plan, run, planned[h].data());
    pluvo::interpolate_in_reach(reach, run, reached[h].data(), scratch[0]);
  }
  // The hours side by side, as the daily loop shares them.
  auto share = [&](int part) {
    const pluvo::PartRange r = pluvo::part_range(0, hours - 1, part, team.size());
    for (int h = r.first; h <= r.last; ++h) {
      pluvo::interpolate_in_reach(reach, run, threaded[h].data(), scratch[static_cast<std::size_t>(part)]);
    }
  };
  team.run(share);

  const auto compare = [&](const std::vector<std::vector<double>>& other, const char* what) {
    for (int h = 0; h < hours; ++h) {
      for (std::size_t i = 0; i < slots; ++i) {
        if (std::bit_cast<std::uint64_t>(plain[h][i]) != std::bit_cast<std::uint64_t>(other[h][i])) {
          fuzz::finding(std::string(what) + ", hour " + std::to_string(h) + ", station " + std::to_string(i) +
                        ": plain " + hex(plain[h][i]) + ", " + what + " " + hex(other[h][i]));
        }
      }
    }
  };
  if (with_lanes) compare(planned, "planned");
  compare(reached, "in reach");
  compare(threaded, "in reach on threads");
  return 0;
}
