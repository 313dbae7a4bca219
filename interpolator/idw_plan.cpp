#include "idw_plan.h"

#include <cmath>

#include "fatal_errors.h"

namespace pluvo {
namespace {

void renormalise(IdwPlan& plan, int tj, const SourceMask& counted) {
  const int targets = plan.targets;
  double sum = 0.0;
  for (int j = 0; j < plan.sources; ++j) {
    if (counted.test(j)) sum += plan.weight[j * targets + tj];
  }
  bool odd = false;
  for (int j = 0; j < plan.sources; ++j) {
    double w = 0.0;
    if (counted.test(j)) {
      w = plan.weight[j * targets + tj] / sum;
      odd = odd || !std::isfinite(w);
    }
    plan.normalised[j * targets + tj] = w;
  }
  plan.counted[tj] = counted;
  plan.has_weights[tj] = 1;
  plan.odd_weights[tj] = odd;
}

}  // namespace

void build_idw_plan(IdwPlan& plan, const PluvoRun& run, const StationGroup& sources, const StationGroup& targets,
                    const AllocationSeam& seam) {
  const int first_source = sources.first;
  const int last_source = sources.last;
  const int first_target = targets.first;
  const int last_target = targets.last;
  const double power = run.params.power;
  const double max_distance = run.params.max_distance;
  plan.first_source = first_source;
  plan.last_source = last_source;
  plan.first_target = first_target;
  plan.last_target = last_target;
  plan.sources = last_source >= first_source ? last_source - first_source + 1 : 0;
  plan.targets = last_target >= first_target ? last_target - first_target + 1 : 0;
  plan.power = power;
  plan.max_distance = max_distance;
  const auto cells = static_cast<std::size_t>(plan.sources) * static_cast<std::size_t>(plan.targets);
  obtain_storage(seam, ALLOC_WEIGHTS, [&] {
    plan.weight.assign(cells, 0.0);
    plan.normalised.assign(cells, 0.0);
    plan.in_range.assign(static_cast<std::size_t>(plan.targets), SourceMask{});
    plan.at_zero.assign(static_cast<std::size_t>(plan.targets), SourceMask{});
    plan.counted.assign(static_cast<std::size_t>(plan.targets), SourceMask{});
    plan.has_weights.assign(static_cast<std::size_t>(plan.targets), 0);
    plan.odd_weights.assign(static_cast<std::size_t>(plan.targets), 0);
    plan.estimate.assign(static_cast<std::size_t>(plan.targets), 0.0);
    plan.source_value.assign(static_cast<std::size_t>(plan.sources), 0.0);
    plan.raining.assign(static_cast<std::size_t>(plan.sources), 0);
    plan.zero_targets.reserve(static_cast<std::size_t>(plan.targets));
  });
  plan.have_valid = false;

  const double* x = run.stations.x.data();
  const double* y = run.stations.y.data();
  const double max_d2 = max_distance * max_distance;
  const WeightForm form = weight_form(power);
  for (int tj = 0; tj < plan.targets; ++tj) {
    const int t = first_target + tj;
    for (int j = 0; j < plan.sources; ++j) {
      const int i = first_source + j;
      const double d2 = squared_distance(x[i] - x[t], y[i] - y[t]);
      if (d2 == 0.0) plan.at_zero[tj].set(j);
      if (d2 > max_d2) continue;
      plan.in_range[tj].set(j);
      plan.weight[j * plan.targets + tj] = idw_weight(form, d2);
    }
  }
}

namespace {

// Brings the normalised weights up to date with a new set of valid sources.
void follow_valid_sources(IdwPlan& plan, const SourceMask& valid) {
  plan.skip_zero_values = true;
  plan.zero_targets.clear();
  for (int tj = 0; tj < plan.targets; ++tj) {
    if ((plan.at_zero[tj] & valid).any()) {
      plan.zero_targets.push_back(tj);
      continue;
    }
    const SourceMask counted = plan.in_range[tj] & valid;
    if (!plan.has_weights[tj] || !(plan.counted[tj] == counted)) renormalise(plan, tj, counted);
    // Zero values add nothing to a sum of finite terms, so their sources
    // can be passed over unless some target's weights are not finite.
    if (plan.odd_weights[tj]) plan.skip_zero_values = false;
  }
  plan.last_valid = valid;
  plan.have_valid = true;
}

}  // namespace

void interpolate_planned(IdwPlan& plan, const PluvoRun& run, double* values) {
  const int sources = plan.sources;
  const int targets = plan.targets;
  if (targets == 0) return;

  SourceMask valid;
  int raining = 0;
  const double lowest_valid = -run.params.nodata;
  for (int j = 0; j < sources; ++j) {
    const double v = values[plan.first_source + j];
    if (v > lowest_valid) {
      if (!std::isfinite(v)) {
        // An infinite value would turn the zero terms into NaN.
        interpolate_idw(run, values, run.stations.x.data(), run.stations.y.data(), plan.first_source,
                        plan.last_source, plan.first_target, plan.last_target, plan.power, plan.max_distance);
        return;
      }
      valid.set(j);
      plan.source_value[j] = v;
      plan.raining[raining] = j;
      raining += v != 0.0 ? 1 : 0;
    } else {
      plan.source_value[j] = 0.0;
    }
  }
  if (!plan.have_valid || !(plan.last_valid == valid)) follow_valid_sources(plan, valid);

  double* estimate = plan.estimate.data();
  for (int tj = 0; tj < targets; ++tj) estimate[tj] = 0.0;
  const auto add_source = [&](int j) {
    const double v = plan.source_value[j];
    const double* w = &plan.normalised[static_cast<std::size_t>(j) * targets];
    for (int tj = 0; tj < targets; ++tj) estimate[tj] += w[tj] * v;
  };
  if (plan.skip_zero_values) {
    for (int r = 0; r < raining; ++r) add_source(plan.raining[r]);
  } else {
    for (int j = 0; j < sources; ++j) {
      if (valid.test(j)) add_source(j);
    }
  }

  for (int tj : plan.zero_targets) {
    const SourceMask zero = plan.at_zero[tj] & valid;
    double sum = 0.0;
    int count = 0;
    for (int j = 0; j < sources; ++j) {
      if (zero.test(j)) {
        sum += plan.source_value[j];
        ++count;
      }
    }
    estimate[tj] = sum / count;
  }

  const RunParameters& p = run.params;
  for (int tj = 0; tj < targets; ++tj) {
    double e = estimate[tj];
    if (e < p.lower_limit || std::isnan(e)) {
      e = p.lower_replacement;
    } else if (e > p.upper_limit) {
      e = p.upper_replacement;
    }
    values[plan.first_target + tj] = e;
  }
}

}  // namespace pluvo
