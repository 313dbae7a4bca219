#include "idw.h"

#include <cmath>
#include <vector>

#include "fatal_errors.h"

namespace pluvo {

std::int64_t round_half_up(double v) {
  const double f = std::floor(v + 0.5);
  if (!(f >= -9.0e18 && f <= 9.0e18)) return INT64_MIN;
  return static_cast<std::int64_t>(f);
}

double squared_distance(double dx, double dy) { return dx * dx + dy * dy; }

WeightForm weight_form(double power) { return WeightForm{round_half_up(power * 1000.0), power}; }

double idw_weight(const WeightForm& form, double d2) {
  if (form.kind == 1000) return 1.0 / std::sqrt(d2);
  if (form.kind == 2000) return 1.0 / d2;
  // pow of 2 rather than exp2: exp2 differs in the last bit for some inputs.
  return 1.0 / std::pow(2.0, form.power * std::log2(std::sqrt(d2)));
}

void interpolate_idw(const PluvoRun& run, double* values, StationSpan sources, StationSpan targets) {
  std::vector<double> weight;
  std::vector<char> entered;
  const auto slots = static_cast<std::size_t>(sources.last > 0 ? sources.last + 1 : 1);
  obtain_storage(run.seam, ALLOC_WEIGHTS, [&] {
    weight.assign(slots, 0.0);
    entered.assign(slots, 0);
  });
  const RunParameters& p = run.params;
  const double* x = run.stations.x.data();
  const double* y = run.stations.y.data();
  const int first_source = sources.first;
  const int last_source = sources.last;
  const double max_d2 = p.max_distance * p.max_distance;
  const WeightForm form = weight_form(p.power);

  for (int t = targets.first; t <= targets.last; ++t) {
    double weight_sum = 0.0;
    double zero_sum = 0.0;
    int zero_count = 0;
    for (int i = first_source; i <= last_source; ++i) {
      entered[i] = 0;
      if (!run.is_valid(values[i])) continue;
      const double d2 = squared_distance(x[i] - x[t], y[i] - y[t]);
      weight[i] = d2;
      if (d2 == 0.0) {
        zero_sum += values[i];
        ++zero_count;
      }
      if (d2 > max_d2) continue;
      weight[i] = idw_weight(form, d2);
      weight_sum += weight[i];
      entered[i] = 1;
    }
    double estimate = 0.0;
    if (zero_count > 0) {
      // A source on the target itself has no finite weight: its value is the estimate.
      estimate = zero_sum / zero_count;
    } else {
      // Each weight is divided by the sum before it multiplies the value.
      for (int i = first_source; i <= last_source; ++i) {
        if (entered[i]) estimate += (weight[i] / weight_sum) * values[i];
      }
    }
    if (estimate < p.lower_limit || std::isnan(estimate)) {
      estimate = p.lower_replacement;
    } else if (estimate > p.upper_limit) {
      estimate = p.upper_replacement;
    }
    values[t] = estimate;
  }
}

}  // namespace pluvo
