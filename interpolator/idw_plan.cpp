#include "idw_plan.h"

#include <cmath>

#include "fatal_errors.h"
#include "source_scan.h"
#include "target_lanes.h"

namespace pluvo {

void build_idw_plan(IdwPlan& plan, const PluvoRun& run, const StationGroup& sources, const StationGroup& targets) {
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
  const auto cells = static_cast<std::size_t>(plan.sources) * static_cast<std::size_t>(plan.targets);
  const auto target_count = static_cast<std::size_t>(plan.targets);
  const auto source_count = static_cast<std::size_t>(plan.sources);
  obtain_storage(run.seam, ALLOC_WEIGHTS, [&] {
    plan.weight.assign(cells, 0.0);
    plan.reaches.assign(cells, 0);
    plan.in_range.assign(target_count, SourceMask{});
    plan.at_zero.assign(target_count, SourceMask{});
    for (IdwPlan::ValidSet& set : plan.kept) {
      set.used = false;
      set.last_use = 0;
      set.weight_sum.assign(target_count, 0.0);
      set.zero_targets.clear();
      set.zero_targets.reserve(target_count);
      set.normalised.assign(cells, 0.0);
      set.row_made.assign(source_count, 0);
    }
    plan.estimate.assign(target_count, 0.0);
  });
  plan.current = -1;
  plan.switches = 0;

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
      plan.reaches[j * plan.targets + tj] = ~std::uint64_t{0};
    }
  }
}

namespace {

// A new set of valid sources: every target's sum of weights over its valid
// sources in range, in ascending source order; no normalised row made yet.
void follow_valid_sources(const IdwPlan& plan, IdwPlan::ValidSet& set, const SourceMask& valid) {
  const int targets = plan.targets;
  double* sum = set.weight_sum.data();
  for (int tj = 0; tj < targets; ++tj) sum[tj] = 0.0;
  for (int j = 0; j < plan.sources; ++j) {
    if (valid.test(j)) lanes::add_row(sum, &plan.weight[static_cast<std::size_t>(j) * targets], targets);
  }
  set.skip_zero_values = true;
  set.zero_targets.clear();
  for (int tj = 0; tj < targets; ++tj) {
    if ((plan.at_zero[tj] & valid).any()) {
      set.zero_targets.push_back(tj);
      continue;
    }
    // Zero values add nothing to a sum of finite terms, so their sources
    // can be passed over unless a target's normalised weights may not be
    // finite: with a sum that is positive and finite each weight divided
    // by it is at most 1.
    const bool finite_weights = sum[tj] > 0.0 && sum[tj] <= 1.7976931348623157e308;
    if (!finite_weights && (plan.in_range[tj] & valid).any()) set.skip_zero_values = false;
  }
  for (char& made : set.row_made) made = 0;
  set.valid = valid;
  set.used = true;
}

// The kept set for these valid sources, made in place of the one used
// longest ago when it is not kept.
IdwPlan::ValidSet& valid_set(IdwPlan& plan, const SourceMask& valid) {
  if (plan.current >= 0 && plan.kept[plan.current].valid == valid) return plan.kept[plan.current];
  int chosen = -1;
  for (int k = 0; k < IdwPlan::KEPT_SETS && chosen < 0; ++k) {
    if (plan.kept[k].used && plan.kept[k].valid == valid) chosen = k;
  }
  if (chosen < 0) {
    chosen = 0;
    for (int k = 1; k < IdwPlan::KEPT_SETS; ++k) {
      if (plan.kept[k].last_use < plan.kept[chosen].last_use) chosen = k;
    }
    follow_valid_sources(plan, plan.kept[chosen], valid);
  }
  plan.current = chosen;
  plan.kept[chosen].last_use = ++plan.switches;
  return plan.kept[chosen];
}

// The normalised weights of source j for a set of valid sources.
const double* normalised_row(const IdwPlan& plan, IdwPlan::ValidSet& set, int j) {
  const auto at = static_cast<std::size_t>(j) * static_cast<std::size_t>(plan.targets);
  double* row = &set.normalised[at];
  if (!set.row_made[j]) {
    lanes::divide_kept(row, &plan.weight[at], set.weight_sum.data(), &plan.reaches[at], plan.targets);
    set.row_made[j] = 1;
  }
  return row;
}

}  // namespace

void interpolate_planned(IdwPlan& plan, const PluvoRun& run, double* values) {
  const int sources = plan.sources;
  const int targets = plan.targets;
  if (targets == 0) return;

  const double* source = values + plan.first_source;
  const SourceScan scan = scan_sources(source, sources, -run.params.nodata);
  if (scan.infinite) {
    // An infinite value would turn the zero terms into NaN.
    interpolate_idw(run, values, {plan.first_source, plan.last_source}, {plan.first_target, plan.last_target});
    return;
  }
  const SourceMask& valid = scan.valid;
  IdwPlan::ValidSet& set = valid_set(plan, valid);

  double* estimate = plan.estimate.data();
  for (int tj = 0; tj < targets; ++tj) estimate[tj] = 0.0;
  // Zero values are passed over where they add nothing (see follow_valid_sources).
  for_each_source(set.skip_zero_values ? scan.raining : valid, [&](int j) {
    lanes::add_scaled_row(estimate, normalised_row(plan, set, j), source[j], targets);
  });

  for (int tj : set.zero_targets) {
    const SourceMask zero = plan.at_zero[tj] & valid;
    double sum = 0.0;
    int count = 0;
    for_each_source(zero, [&](int j) {
      sum += source[j];
      ++count;
    });
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
