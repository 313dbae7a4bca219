// Inverse-distance weighting of the ANETZ values onto other stations.
#pragma once

#include <cstdint>

#include "fatal_errors.h"
#include "run_state.h"
#include "station_group.h"

namespace pluvo {

// floor(v + 0.5) as an integer; values beyond the range give INT64_MIN.
std::int64_t round_half_up(double v);

double squared_distance(double dx, double dy);

// The weight of a source at squared distance d2. Powers that round to 1 or
// 2 (in thousandths) take the exact forms 1/sqrt(d2) and 1/d2; any other
// power the general 1 / 2^(power * log2(sqrt(d2))).
struct WeightForm {
  std::int64_t kind;  // round_half_up(power * 1000)
  double power;
};
WeightForm weight_form(double power);
double idw_weight(const WeightForm& form, double d2);

// Estimates values[t] for every target station t from the valid sources
// within the run's maximum distance, weighted with the run's power, then
// applies the run's lower and upper limits. Sources at distance zero from a
// target give that target the mean of their values.
// This is the plain form that every faster one is compared with.
void interpolate_idw(const PluvoRun& run, double* values, StationSpan sources, StationSpan targets);

}  // namespace pluvo
