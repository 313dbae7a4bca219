// Inverse-distance weighting for a fixed set of sources and targets, with
// everything that depends only on the geometry computed once per run.
//
// It gives the same doubles as interpolate_idw: the weights are the same
// expressions of the same distances, each target's weights are divided by
// the same sum (kept while the set of valid sources stays the same), and
// each target's terms are added in ascending source order. The terms of
// sources that do not count for a target are exact zeros, which leave every
// sum unchanged: a sum that starts at +0.0 never becomes -0.0 (only
// -0.0 + -0.0 gives -0.0), the one double that adding +0.0 would change.
//
// The work runs across targets: a source's weights, normalised weights and
// terms are rows with one element per target (see target_lanes.h).
#pragma once

#include <cstdint>
#include <vector>

#include "idw.h"
#include "run_state.h"
#include "source_mask.h"

namespace pluvo {

struct IdwPlan {
  int first_source = 1;
  int last_source = 0;
  int first_target = 1;
  int last_target = 0;
  int sources = 0;
  int targets = 0;

  std::vector<double> weight;           // [source][target], 0 where out of range
  std::vector<std::uint64_t> reaches;   // [source][target], all ones where in range
  std::vector<SourceMask> in_range;     // per target
  std::vector<SourceMask> at_zero;      // per target: sources on the target itself

  // What follows from a set of valid sources. Outages come and go, so the
  // sets met last are kept: an hour that returns to one of them finds its
  // sums and normalised rows made.
  struct ValidSet {
    bool used = false;
    SourceMask valid;
    std::uint64_t last_use = 0;
    std::vector<double> weight_sum;  // per target, over its valid sources in range
    bool skip_zero_values = true;    // no target's normalised weights may be infinite or NaN
    std::vector<int> zero_targets;   // targets with a valid source on them
    // Normalised weights; a source's row is made when the source first
    // counts with this set.
    std::vector<double> normalised;  // [source][target], 0 where out of range
    std::vector<char> row_made;      // per source
  };
  static constexpr int KEPT_SETS = 4;
  ValidSet kept[KEPT_SETS];
  int current = -1;  // the set of the last hour
  std::uint64_t switches = 0;

  std::vector<double> estimate;  // per target
};

// Prepares the plan for interpolating from the stations of `sources` onto
// those of `targets` with the run's power and maximum distance; ends the
// run with allocation code 2 when its storage cannot be obtained.
void build_idw_plan(IdwPlan& plan, const PluvoRun& run, const StationGroup& sources, const StationGroup& targets);

// Same effect as interpolate_idw with the plan's sources, targets, power
// and maximum distance.
void interpolate_planned(IdwPlan& plan, const PluvoRun& run, double* values);

}  // namespace pluvo
