// The planned inverse-distance weighting against the plain one, bit for bit.
//
// The input is text: numbers separated by white space (a word that is no
// number counts as 0). In this order: the number of sources and of
// targets, power, maximum distance, nodata, lower limit and its
// replacement, upper limit and its replacement; the x and then the y
// coordinate of every source and target; then hour after hour one value
// per source and target. Every hour goes through the same plan, so that
// what the plan keeps from one hour to the next is tested too.

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
#include "run_state.h"

namespace {

constexpr int MAX_HOURS = 200;

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
  const int sources = in.next_count(pluvo::FIRST_ROOM_STATIONS);
  const int targets = in.next_count(pluvo::FIRST_ROOM_STATIONS - sources);
  const double power = in.next();
  const double max_distance = in.next();

  static textio::OutputBuffer console(nullptr, 512);
  static textio::TextReader dialogue;
  static pluvo::PluvoRun run(console, dialogue);
  pluvo::RunParameters& p = run.params;
  p.nodata = in.next();
  p.lower_limit = in.next();
  p.lower_replacement = in.next();
  p.upper_limit = in.next();
  p.upper_replacement = in.next();
  const int stations = sources + targets;
  run.stations.x.fill(0.0);
  run.stations.y.fill(0.0);
  for (int i = 1; i <= stations; ++i) run.stations.x[i] = in.next();
  for (int i = 1; i <= stations; ++i) run.stations.y[i] = in.next();

  p.power = power;
  p.max_distance = max_distance;
  pluvo::IdwPlan plan;
  pluvo::build_idw_plan(plan, run, pluvo::StationGroup{.first = 1, .last = sources},
                        pluvo::StationGroup{.first = sources + 1, .last = stations});
  for (int hour = 0; hour < MAX_HOURS && in.more(); ++hour) {
    pluvo::ValueArray plain{};
    for (int i = 1; i <= stations; ++i) plain[i] = in.next();
    pluvo::ValueArray planned = plain;
    pluvo::interpolate_idw(run, plain.data(), {1, sources}, {sources + 1, stations});
    pluvo::interpolate_planned(plan, run, planned.data());
    for (int i = 0; i < pluvo::FIRST_ROOM_SLOTS; ++i) {
      if (std::bit_cast<std::uint64_t>(plain[i]) != std::bit_cast<std::uint64_t>(planned[i])) {
        fuzz::finding("hour " + std::to_string(hour) + ", station " + std::to_string(i) + ": plain " +
                      hex(plain[i]) + ", planned " + hex(planned[i]));
      }
    }
  }
  return 0;
}
