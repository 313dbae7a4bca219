// Inverse-distance weighting for a fixed set of sources and targets, with
// everything that depends only on the geometry computed once per run.
//
// It gives the same doubles as interpolate_idw: the weights are the same
// expressions of the same distances, each target's weights are divided by
// the same sum (kept while the set of valid sources in range stays the
// same), and each target's terms are added in ascending source order. The
// terms of sources that do not count for a target are exact zeros, which
// leave every sum unchanged.
#pragma once

#include <cstdint>
#include <vector>

#include "idw.h"
#include "run_state.h"

namespace pluvo {

struct SourceMask {
  std::uint64_t word[2] = {0, 0};
  void set(int j) { word[j >> 6] |= std::uint64_t{1} << (j & 63); }
  bool test(int j) const { return (word[j >> 6] >> (j & 63)) & 1u; }
  bool any() const { return (word[0] | word[1]) != 0; }
  SourceMask operator&(const SourceMask& o) const {
    SourceMask m;
    m.word[0] = word[0] & o.word[0];
    m.word[1] = word[1] & o.word[1];
    return m;
  }
  bool operator==(const SourceMask& o) const { return word[0] == o.word[0] && word[1] == o.word[1]; }
};

struct IdwPlan {
  int first_source = 1;
  int last_source = 0;
  int first_target = 1;
  int last_target = 0;
  int sources = 0;
  int targets = 0;
  double power = 0.0;
  double max_distance = 0.0;

  std::vector<double> weight;        // [source][target]
  std::vector<SourceMask> in_range;  // per target
  std::vector<SourceMask> at_zero;   // per target: sources on the target itself

  // Normalised weights for the sources counting at the last recomputation.
  std::vector<double> normalised;  // [source][target], 0 where a source does not count
  std::vector<SourceMask> counted;   // per target
  std::vector<char> has_weights;     // per target: normalised holds a set
  std::vector<char> odd_weights;     // per target: a normalised weight is not finite

  // What follows from the last set of valid sources, kept while it stays.
  bool have_valid = false;
  SourceMask last_valid;
  bool skip_zero_values = true;
  std::vector<int> zero_targets;  // targets with a valid source on them

  std::vector<double> estimate;  // per target
  std::vector<double> source_value;
  std::vector<int> raining;      // valid sources whose value is not zero
};

// Prepares the plan for interpolating from the stations of `sources` onto
// those of `targets` with the run's power and maximum distance; ends the
// run with allocation code 2 when its storage cannot be obtained.
void build_idw_plan(IdwPlan& plan, const PluvoRun& run, const StationGroup& sources, const StationGroup& targets,
                    const AllocationSeam& seam = {});

// Same effect as interpolate_idw with the plan's sources, targets, power
// and maximum distance.
void interpolate_planned(IdwPlan& plan, const PluvoRun& run, double* values);

}  // namespace pluvo
