#include "day_loop.h"

#include <array>
#include <cmath>

#include "hourly_advance.h"
#include "idw_plan.h"
#include "output_table.h"

namespace pluvo {
namespace {

constexpr int HOURS_PER_DAY = 24;

// One reading window of a group: measured totals to slot 0, interpolation
// of every hour, sums, and the scaling.
void process_window(PluvoRun& run, IdwPlan& plan, int first_slot, int last_slot) {
  const int first = plan.first_target;
  const int last = plan.last_target;
  double* measured = run.ring[0].values;
  std::array<double, STATION_SLOTS> hour_sum;
  for (int k = first; k <= last; ++k) {
    measured[k] = run.ring[first_slot].values[k];
    hour_sum[k] = 0.0;
  }
  for (int s = first_slot; s <= last_slot; ++s) interpolate_planned(plan, run, run.ring[s].values);
  for (int s = first_slot; s <= last_slot; ++s) {
    const double* values = run.ring[s].values;
    for (int k = first; k <= last; ++k) hour_sum[k] += values[k];
  }
  for (int k = first; k <= last; ++k) scale_window(run, k, hour_sum[k], first_slot, last_slot);
}

// The table ends with hour 24 of the end date, or, once the hourly data
// have ended, with hour 24 of the day of their last record, whichever comes
// first: beyond that there are no data to interpolate, and an end date
// far ahead (a year typed as 9999) must not fill the disk with missing
// values.
bool ends_run(const PluvoRun& run, const DateHour& s) {
  if (s.hour != 24) return false;
  const RunParameters& p = run.params;
  if (!stamp_before(s, DateHour{.day = p.end_day, .hour = 24, .month = p.end_month, .year = p.end_year})) return true;
  const DateHour& last = run.last_anetz_stamp;
  return run.anetz.file.eof() &&
         !stamp_before(s, DateHour{.day = last.day, .hour = 24, .month = last.month, .year = last.year});
}

}  // namespace

void scale_window(PluvoRun& run, int k, double sum, int first_slot, int last_slot) {
  const double missing = run.missing_value();
  const double m = run.ring[0].values[k];
  const bool m_valid = run.is_valid(m);
  if (sum > 0.0) {
    const double factor = m / sum;
    for (int s = first_slot; s <= last_slot; ++s) {
      double& v = run.ring[s].values[k];
      v = (run.is_valid(v) && m_valid) ? v * factor : missing;
    }
  } else if (sum == 0.0 || std::isnan(sum)) {
    // The hours that stay valid get 0.0, or with the opt-in rule an even
    // share of rain that was measured but not interpolated.
    int valid_hours = 0;
    for (int s = first_slot; s <= last_slot; ++s) valid_hours += run.is_valid(run.ring[s].values[k]) ? 1 : 0;
    const bool unmatched = sum == 0.0 && m_valid && m > 0.0 && valid_hours > 0;
    const bool keep = run.keep_unmatched_rain && unmatched;
    const double share = keep ? m / valid_hours : 0.0;
    for (int s = first_slot; s <= last_slot; ++s) {
      double& v = run.ring[s].values[k];
      v = (run.is_valid(v) && m_valid) ? share : missing;
    }
    if (unmatched) {
      ++run.notes.unmatched_windows;
      run.notes.unmatched_rain += m;
    }
    if (keep) {
      ++run.kept_rain_windows;
      run.kept_rain_total += m;
    }
  } else {
    for (int s = first_slot; s <= last_slot; ++s) run.ring[s].values[k] = missing;
  }
}

void run_day_loop(PluvoRun& run, const AllocationSeam& seam) {
  const bool with_klima = run.klima.count() > 0;
  const bool with_sammler = run.sammler.count() > 0;
  IdwPlan klima;
  IdwPlan sammler;
  if (with_klima) build_idw_plan(klima, run, run.anetz, run.klima, seam);
  if (with_sammler) build_idw_plan(sammler, run, run.anetz, run.sammler, seam);

  bool done = false;
  while (!done) {
    if (with_klima) {
      process_window(run, klima, 1, 12);
      process_window(run, klima, 13, 24);
    }
    if (with_sammler) process_window(run, sammler, 1, 24);

    for (int s = 1; s <= HOURS_PER_DAY && !done; ++s) {
      const DateHour& stamp = *run.ring[s].stamp;
      write_output_row(run, stamp, run.ring[s].values);
      done = ends_run(run, stamp);
    }
    if (!done) {
      for (int h = 0; h < HOURS_PER_DAY; ++h) advance_hour(run);
    }
  }
}

}  // namespace pluvo
