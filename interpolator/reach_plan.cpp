#include "reach_plan.h"

#include <algorithm>
#include <cmath>

#include "fatal_errors.h"
#include "idw.h"

namespace pluvo {
namespace {

// The sources sorted by x, and those whose coordinates are not finite: a
// distance from such a source may be NaN, which the weighting counts as in
// reach, so they are tested with every target.
struct SourceOrder {
  std::vector<int> by_x;
  std::vector<int> unordered;
};

// A source whose x alone puts it beyond the maximum distance of the target
// is beyond it: the squared difference of x, rounded, is never more than
// the rounded sum with the square of the y difference. The test is
// monotone in the source's x on either side of the target's x, so the
// sources that pass it are one run of the sorted list.
bool x_beyond(double source_x, double target_x, double max_d2) {
  const double dx = source_x - target_x;
  return dx * dx > max_d2;
}

// The candidates of target t, in no particular order, into `out`.
void collect_candidates(const SourceOrder& order, const double* x, int t, double max_d2, StationSpan sources,
                        std::vector<int>& out) {
  out.clear();
  const double xt = x[t];
  if (!std::isfinite(xt) || !std::isfinite(max_d2)) {
    for (int i = sources.first; i <= sources.last; ++i) out.push_back(i);
    return;
  }
  const auto below = std::partition_point(order.by_x.begin(), order.by_x.end(), [&](int i) { return x[i] < xt; });
  // Left of the target: beyond, then within; right of it: within, then beyond.
  const auto from = std::partition_point(order.by_x.begin(), below, [&](int i) { return x_beyond(x[i], xt, max_d2); });
  const auto to = std::partition_point(below, order.by_x.end(), [&](int i) { return !x_beyond(x[i], xt, max_d2); });
  out.insert(out.end(), from, to);
  out.insert(out.end(), order.unordered.begin(), order.unordered.end());
}

SourceOrder order_sources(const PluvoRun& run, const StationGroup& sources) {
  const double* x = run.stations.x.data();
  const double* y = run.stations.y.data();
  SourceOrder order;
  obtain_storage(run.seam, ALLOC_WEIGHTS, [&] { order.by_x.reserve(static_cast<std::size_t>(sources.count())); });
  for (int i = sources.first; i <= sources.last; ++i) {
    (std::isfinite(x[i]) && std::isfinite(y[i]) ? order.by_x : order.unordered).push_back(i);
  }
  std::stable_sort(order.by_x.begin(), order.by_x.end(), [&](int a, int b) { return x[a] < x[b]; });
  return order;
}

}  // namespace

long long count_pairs_in_reach(const PluvoRun& run, const StationGroup& sources, const StationGroup& targets) {
  const double* x = run.stations.x.data();
  const double* y = run.stations.y.data();
  const double max_d2 = run.params.max_distance * run.params.max_distance;
  const SourceOrder order = order_sources(run, sources);
  std::vector<int> candidates;
  obtain_storage(run.seam, ALLOC_WEIGHTS, [&] { candidates.reserve(static_cast<std::size_t>(sources.count())); });
  long long pairs = 0;
  for (int t = targets.first; t <= targets.last; ++t) {
    collect_candidates(order, x, t, max_d2, sources.span(), candidates);
    for (int i : candidates) pairs += squared_distance(x[i] - x[t], y[i] - y[t]) > max_d2 ? 0 : 1;
  }
  return pairs;
}

void build_reach_plan(ReachPlan& plan, const PluvoRun& run, const StationGroup& sources, const StationGroup& targets) {
  plan.first_source = sources.first;
  plan.last_source = sources.last;
  plan.first_target = targets.first;
  plan.last_target = targets.last;
  plan.lowest_valid = -run.params.nodata;
  const double* x = run.stations.x.data();
  const double* y = run.stations.y.data();
  const double max_d2 = run.params.max_distance * run.params.max_distance;
  const WeightForm form = weight_form(run.params.power);
  const int target_count = std::max(0, targets.last - targets.first + 1);
  const int source_count = std::max(0, sources.last - sources.first + 1);

  const SourceOrder order = order_sources(run, sources);
  std::vector<int> candidates;
  obtain_storage(run.seam, ALLOC_WEIGHTS, [&] {
    candidates.reserve(static_cast<std::size_t>(source_count));
    plan.start.assign(static_cast<std::size_t>(target_count) + 1, 0);
    plan.has_zero.assign(static_cast<std::size_t>(target_count), 0);
    plan.plain_only.assign(static_cast<std::size_t>(target_count), 0);
    plan.reach_start.assign(static_cast<std::size_t>(source_count) + 1, 0);
    plan.member.clear();
    plan.weight.clear();
  });
  for (int tj = 0; tj < target_count; ++tj) {
    const int t = targets.first + tj;
    collect_candidates(order, x, t, max_d2, sources.span(), candidates);
    std::sort(candidates.begin(), candidates.end());
    for (int i : candidates) {
      const double d2 = squared_distance(x[i] - x[t], y[i] - y[t]);
      if (d2 > max_d2) continue;
      if (d2 == 0.0) plan.has_zero[tj] = 1;
      const double w = idw_weight(form, d2);
      obtain_storage(run.seam, ALLOC_WEIGHTS, [&] {
        plan.member.push_back(i);
        plan.weight.push_back(w);
      });
      ++plan.reach_start[static_cast<std::size_t>(i - sources.first) + 1];
    }
    plan.start[tj + 1] = plan.member.size();
  }

  // The pairs by source, each with its share of its target's sum.
  for (int j = 0; j < source_count; ++j) plan.reach_start[j + 1] += plan.reach_start[j];
  obtain_storage(run.seam, ALLOC_WEIGHTS, [&] {
    plan.reached_target.assign(plan.member.size(), 0);
    plan.reached_share.assign(plan.member.size(), 0.0);
  });
  std::vector<std::size_t> next(plan.reach_start.begin(), plan.reach_start.end() - (source_count > 0 ? 1 : 0));
  for (int tj = 0; tj < target_count; ++tj) {
    double sum = 0.0;
    for (std::size_t m = plan.start[tj]; m < plan.start[tj + 1]; ++m) sum += plan.weight[m];
    if (plan.has_zero[tj]) plan.plain_only[tj] = 1;
    for (std::size_t m = plan.start[tj]; m < plan.start[tj + 1]; ++m) {
      const double quotient = plan.weight[m] / sum;
      if (!std::isfinite(quotient)) plan.plain_only[tj] = 1;
      const std::size_t at = next[static_cast<std::size_t>(plan.member[m] - sources.first)]++;
      plan.reached_target[at] = tj;
      plan.reached_share[at] = quotient;
    }
  }
}

void obtain_reach_scratch(ReachScratch& scratch, const ReachPlan& plan, const PluvoRun& run) {
  const auto targets = static_cast<std::size_t>(std::max(0, plan.last_target - plan.first_target + 1));
  obtain_storage(run.seam, ALLOC_WEIGHTS, [&] {
    scratch.sum.assign(targets, 0.0);
    scratch.plain.assign(targets, 0);
  });
}

namespace {

// The plain form over the target's sources in reach.
double plain_estimate(const ReachPlan& plan, const PluvoRun& run, const double* values, int tj) {
  const double lowest = plan.lowest_valid;
  const double* x = run.stations.x.data();
  const double* y = run.stations.y.data();
  const int t = plan.first_target + tj;
  const std::size_t from = plan.start[tj];
  const std::size_t to = plan.start[tj + 1];
  double weight_sum = 0.0;
  double zero_sum = 0.0;
  int zero_count = 0;
  for (std::size_t m = from; m < to; ++m) {
    const int i = plan.member[m];
    if (!(values[i] > lowest)) continue;
    if (plan.has_zero[tj] && squared_distance(x[i] - x[t], y[i] - y[t]) == 0.0) {
      zero_sum += values[i];
      ++zero_count;
    }
    weight_sum += plan.weight[m];
  }
  // A source on the target itself has no finite weight: its value is the estimate.
  if (zero_count > 0) return zero_sum / zero_count;
  double estimate = 0.0;
  for (std::size_t m = from; m < to; ++m) {
    const int i = plan.member[m];
    if (values[i] > lowest) estimate += (plan.weight[m] / weight_sum) * values[i];
  }
  return estimate;
}

}  // namespace

void interpolate_in_reach(const ReachPlan& plan, const PluvoRun& run, double* values, ReachScratch& scratch) {
  const int targets = plan.last_target - plan.first_target + 1;
  if (targets <= 0) return;
  const double lowest = plan.lowest_valid;
  double* sum = scratch.sum.data();
  char* plain = scratch.plain.data();
  for (int tj = 0; tj < targets; ++tj) {
    sum[tj] = 0.0;
    plain[tj] = plan.plain_only[tj];
  }
  const int* target = plan.reached_target.data();
  const double* share = plan.reached_share.data();
  for (int i = plan.first_source; i <= plan.last_source; ++i) {
    const double v = values[i];
    if (v == 0.0) continue;  // zero is valid whenever the threshold is not negative; else see below
    const std::size_t from = plan.reach_start[static_cast<std::size_t>(i - plan.first_source)];
    const std::size_t to = plan.reach_start[static_cast<std::size_t>(i - plan.first_source) + 1];
    if (!(v > lowest)) {
      for (std::size_t e = from; e < to; ++e) plain[target[e]] = 1;
      continue;
    }
    for (std::size_t e = from; e < to; ++e) sum[target[e]] += share[e] * v;
  }
  // With a negative threshold a zero is missing: every target that has a
  // source in reach goes the plain way.
  if (!(0.0 > lowest)) {
    for (int tj = 0; tj < targets; ++tj) plain[tj] = plain[tj] || plan.start[tj + 1] > plan.start[tj];
  }
  const RunParameters& p = run.params;
  for (int tj = 0; tj < targets; ++tj) {
    const double estimate = plain[tj] ? plain_estimate(plan, run, values, tj) : sum[tj];
    values[plan.first_target + tj] = limit_estimate(p, estimate);
  }
}

}  // namespace pluvo
