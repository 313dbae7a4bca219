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
void collect_candidates(const SourceOrder& order, const double* x, int t, double max_d2, const ReachPlan& plan,
                        std::vector<int>& out) {
  out.clear();
  const double xt = x[t];
  if (!std::isfinite(xt) || !std::isfinite(max_d2)) {
    for (int i = plan.first_source; i <= plan.last_source; ++i) out.push_back(i);
    return;
  }
  const auto below = std::partition_point(order.by_x.begin(), order.by_x.end(), [&](int i) { return x[i] < xt; });
  // Left of the target: beyond, then within; right of it: within, then beyond.
  const auto from = std::partition_point(order.by_x.begin(), below, [&](int i) { return x_beyond(x[i], xt, max_d2); });
  const auto to = std::partition_point(below, order.by_x.end(), [&](int i) { return !x_beyond(x[i], xt, max_d2); });
  out.insert(out.end(), from, to);
  out.insert(out.end(), order.unordered.begin(), order.unordered.end());
}

}  // namespace

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

  SourceOrder order;
  std::vector<int> candidates;
  obtain_storage(run.seam, ALLOC_WEIGHTS, [&] {
    const auto source_count = static_cast<std::size_t>(std::max(0, sources.last - sources.first + 1));
    order.by_x.reserve(source_count);
    candidates.reserve(source_count);
    plan.start.assign(static_cast<std::size_t>(target_count) + 1, 0);
    plan.has_zero.assign(static_cast<std::size_t>(target_count), 0);
    plan.member.clear();
    plan.weight.clear();
    plan.share.clear();
  });
  for (int i = sources.first; i <= sources.last; ++i) {
    (std::isfinite(x[i]) && std::isfinite(y[i]) ? order.by_x : order.unordered).push_back(i);
  }
  std::stable_sort(order.by_x.begin(), order.by_x.end(), [&](int a, int b) { return x[a] < x[b]; });

  for (int tj = 0; tj < target_count; ++tj) {
    const int t = targets.first + tj;
    collect_candidates(order, x, t, max_d2, plan, candidates);
    std::sort(candidates.begin(), candidates.end());
    double sum = 0.0;
    const std::size_t first_member = plan.member.size();
    for (int i : candidates) {
      const double d2 = squared_distance(x[i] - x[t], y[i] - y[t]);
      if (d2 > max_d2) continue;
      if (d2 == 0.0) plan.has_zero[tj] = 1;
      const double w = idw_weight(form, d2);
      obtain_storage(run.seam, ALLOC_WEIGHTS, [&] {
        plan.member.push_back(i);
        plan.weight.push_back(w);
      });
      sum += w;
    }
    obtain_storage(run.seam, ALLOC_WEIGHTS, [&] { plan.share.resize(plan.member.size()); });
    for (std::size_t m = first_member; m < plan.member.size(); ++m) plan.share[m] = plan.weight[m] / sum;
    plan.start[tj + 1] = plan.member.size();
  }
}

void interpolate_in_reach(const ReachPlan& plan, const PluvoRun& run, double* values, int first, int last) {
  const double lowest = plan.lowest_valid;
  const double* x = run.stations.x.data();
  const double* y = run.stations.y.data();
  const int* member = plan.member.data();
  for (int t = first; t <= last; ++t) {
    const int tj = t - plan.first_target;
    const std::size_t from = plan.start[tj];
    const std::size_t to = plan.start[tj + 1];
    double estimate = 0.0;
    bool all_valid = !plan.has_zero[tj];
    if (all_valid) {
      const double* share = plan.share.data();
      for (std::size_t m = from; m < to; ++m) {
        const double v = values[member[m]];
        if (!(v > lowest)) {
          all_valid = false;
          break;
        }
        estimate += share[m] * v;
      }
    }
    if (!all_valid) {
      // Some source in reach is missing, or one stands on the target: the
      // sum of weights is that of the valid ones, as the plain form makes it.
      double weight_sum = 0.0;
      double zero_sum = 0.0;
      int zero_count = 0;
      for (std::size_t m = from; m < to; ++m) {
        const int i = member[m];
        if (!(values[i] > lowest)) continue;
        if (plan.has_zero[tj] && squared_distance(x[i] - x[t], y[i] - y[t]) == 0.0) {
          zero_sum += values[i];
          ++zero_count;
        }
        weight_sum += plan.weight[m];
      }
      estimate = 0.0;
      if (zero_count > 0) {
        estimate = zero_sum / zero_count;
      } else {
        for (std::size_t m = from; m < to; ++m) {
          const int i = member[m];
          if (values[i] > lowest) estimate += (plan.weight[m] / weight_sum) * values[i];
        }
      }
    }
    values[t] = limit_estimate(run.params, estimate);
  }
}

}  // namespace pluvo
