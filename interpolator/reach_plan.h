// Inverse-distance weighting over the sources in reach of each target:
// which sources lie within the maximum distance of a target is fixed by
// the coordinates, so they are found once per run (from the sources sorted
// by x, not by testing every pair) and each hour visits only them.
//
// It gives the same doubles as interpolate_idw. The plain form adds
// nothing for a source beyond the maximum distance (nor for a missing
// value), so leaving such sources out changes no sum, as long as those in
// reach are taken in ascending station index, as they are here.
//
// An hour runs over the sources in ascending order and adds each raining
// source's term to the targets in its reach: every target's sum gets its
// terms in ascending source order, as in the plain form. The weights
// divided by their sum are made once at start-up: they are the quotients
// the plain form makes each hour whenever every source in reach of the
// target is valid. A source whose value is zero is passed over: with a
// finite quotient its term is a zero, and a sum that starts at +0.0 is
// never -0.0 (only -0.0 + -0.0 gives -0.0), the one double that adding a
// zero could change. Targets for which any of this does not hold (a
// missing value in reach, a source on the target, a quotient that is not
// finite) are weighted in the plain form over their sources in reach.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "run_state.h"
#include "station_group.h"

namespace pluvo {

struct ReachPlan {
  int first_source = 1;
  int last_source = 0;
  int first_target = 1;
  int last_target = 0;
  double lowest_valid = 0.0;  // -nodata: a value must lie above it

  // The sources in reach of target t = first_target + tj are
  // member[start[tj] .. start[tj + 1] - 1], ascending station indices.
  std::vector<std::size_t> start;
  std::vector<int> member;
  std::vector<double> weight;  // of each member
  std::vector<char> has_zero;  // per target: a source in reach at distance zero
  std::vector<char> plain_only;  // per target: a source on it, or a quotient that is not finite

  // The same pairs by source: the targets in reach of source
  // i = first_source + j are reached_target[reach_start[j] .. reach_start[j + 1] - 1]
  // (target offsets tj), with the weight divided by the target's sum.
  std::vector<std::size_t> reach_start;
  std::vector<int> reached_target;
  std::vector<double> reached_share;
};

// What one thread needs for an hour: a sum and a mark per target.
struct ReachScratch {
  std::vector<double> sum;
  std::vector<char> plain;  // the target is weighted in the plain form this hour
};

// Finds the sources of `sources` in reach of every station of `targets`
// with the run's maximum distance and their weights with the run's power;
// ends the run with allocation code 2 when its storage cannot be obtained.
void build_reach_plan(ReachPlan& plan, const PluvoRun& run, const StationGroup& sources, const StationGroup& targets);

// How many pairs of a source and a target lie within the maximum distance.
long long count_pairs_in_reach(const PluvoRun& run, const StationGroup& sources, const StationGroup& targets);

// The scratch of one thread, code 2 when it cannot be obtained.
void obtain_reach_scratch(ReachScratch& scratch, const ReachPlan& plan, const PluvoRun& run);

// Same effect as interpolate_idw with the plan's sources and targets. It
// writes only the targets' entries of `values` and the scratch, so hours
// can be interpolated side by side, each thread with its own scratch.
void interpolate_in_reach(const ReachPlan& plan, const PluvoRun& run, double* values, ReachScratch& scratch);

// The limits of the run applied to an estimate.
inline double limit_estimate(const RunParameters& p, double e) {
  if (e < p.lower_limit || std::isnan(e)) return p.lower_replacement;
  if (e > p.upper_limit) return p.upper_replacement;
  return e;
}

}  // namespace pluvo
