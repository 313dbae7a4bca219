// Inverse-distance weighting over the sources in reach of each target:
// which sources lie within the maximum distance of a target is fixed by
// the coordinates, so they are found once per run (from the sources sorted
// by x, not by testing every pair) and each hour visits only them.
//
// It gives the same doubles as interpolate_idw. The plain form adds
// nothing for a source beyond the maximum distance (nor for a missing
// value), so leaving such sources out changes no sum, as long as those in
// reach are taken in ascending station index, as they are here. Each
// target's weights and their sum are the same expressions of the same
// distances, summed in the same order; when every source in reach is
// valid and none stands on the target, the weights divided by their sum
// are those made once at start-up, the same quotients the plain form
// makes each hour.
#pragma once

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
  std::vector<double> share;   // weight / the sum of the target's weights
  std::vector<char> has_zero;  // per target: a source in reach at distance zero
};

// Finds the sources of `sources` in reach of every station of `targets`
// with the run's maximum distance and their weights with the run's power;
// ends the run with allocation code 2 when its storage cannot be obtained.
void build_reach_plan(ReachPlan& plan, const PluvoRun& run, const StationGroup& sources, const StationGroup& targets);

// Same effect as interpolate_idw with the plan's sources, for the targets
// first..last of the plan (a part of them, so that parts can be worked on
// side by side: it writes only their entries of `values`).
void interpolate_in_reach(const ReachPlan& plan, const PluvoRun& run, double* values, int first, int last);

// The limits of the run applied to an estimate.
inline double limit_estimate(const RunParameters& p, double e) {
  if (e < p.lower_limit || e != e) return p.lower_replacement;
  if (e > p.upper_limit) return p.upper_replacement;
  return e;
}

}  // namespace pluvo
