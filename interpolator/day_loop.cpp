#include "day_loop.h"

#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "hourly_advance.h"
#include "idw.h"
#include "idw_plan.h"
#include "output_table.h"
#include "reach_plan.h"
#include "source_mask.h"
#include "worker_team.h"

namespace pluvo {
namespace {

constexpr int HOURS_PER_DAY = 24;

// A window whose measured rain m found no estimate: counted for the
// warning after the run, and as kept where the keep rule kept it.
void count_unmatched_window(PluvoRun& run, double m) {
  ++run.notes.unmatched_windows;
  run.notes.unmatched_rain += m;
  if (!run.keep_unmatched_rain) return;
  ++run.kept_rain_windows;
  run.kept_rain_total += m;
}

enum class WeightingForm { plain, lanes, in_reach };

// How one group's targets are interpolated from the ANETZ stations. The
// planned lanes hold one bit per source and a row per source and target,
// so they serve the small networks; larger ones visit the sources in reach.
struct GroupWeighting {
  WeightingForm form = WeightingForm::plain;
  const StationGroup* targets = nullptr;
  IdwPlan lanes;
  ReachPlan reach;
};

constexpr int LANE_CELLS = 128 * 128;

// When most pairs are in reach the plan saves nothing: an hour with a
// missing value weighs most targets in the plain form anyway, reading
// stored weights where the plain form computes them from coordinates that
// stay in the cache.
WeightingForm choose_form(const PluvoRun& run, const StationGroup& targets) {
  if (run.weighting == Weighting::plain) return WeightingForm::plain;
  const long long sources = run.anetz.count();
  const long long pairs = sources * targets.count();
  if (sources <= SourceMask::CAPACITY && pairs <= LANE_CELLS) return WeightingForm::lanes;
  if (count_pairs_in_reach(run, run.anetz, targets) * 4 > pairs) return WeightingForm::plain;
  return WeightingForm::in_reach;
}

void prepare_weighting(GroupWeighting& g, PluvoRun& run, const StationGroup& targets) {
  g.targets = &targets;
  g.form = choose_form(run, targets);
  if (g.form == WeightingForm::lanes) build_idw_plan(g.lanes, run, run.anetz, targets);
  if (g.form == WeightingForm::in_reach) build_reach_plan(g.reach, run, run.anetz, targets);
}

// What the daily loop keeps from day to day, obtained once.
struct DayWork {
  GroupWeighting klima;
  GroupWeighting sammler;
  std::vector<double> hour_sum;  // per station index
  std::vector<double> measured[3];  // per window of the day, per station index
  std::vector<int> unmatched;       // per station index: one bit per window whose rain found no estimate
  WorkerTeam team;
  std::vector<ReachScratch> scratch;  // per thread
  std::vector<std::string> rows;      // the composed rows of slots 1..24
};

// The scaling of scale_window_hours, here so that the daily loop has it
// inline: true when the window's measured rain found no interpolated rain
// (which the keep rule then keeps). The threshold is read once: the values written could otherwise
// be the run's own doubles, for all the compiler knows.
inline bool scale_hours(PluvoRun& run, int k, double m, double sum, int first_slot, int last_slot) {
  const double lowest = -run.params.nodata;
  const double missing = run.missing_value();
  const bool keep_rule = run.keep_unmatched_rain;
  const bool m_valid = m > lowest;
  if (sum > 0.0) {
    const double factor = m / sum;
    for (int s = first_slot; s <= last_slot; ++s) {
      double& v = run.ring[s].values[k];
      v = (v > lowest && m_valid) ? v * factor : missing;
    }
    return false;
  }
  if (sum == 0.0 || std::isnan(sum)) {
    // The hours that stay valid get 0.0, or with the opt-in rule an even
    // share of rain that was measured but not interpolated.
    int valid_hours = 0;
    for (int s = first_slot; s <= last_slot; ++s) valid_hours += run.ring[s].values[k] > lowest ? 1 : 0;
    const bool unmatched = sum == 0.0 && m_valid && m > 0.0 && valid_hours > 0;
    const bool keep = keep_rule && unmatched;
    const double share = keep ? m / valid_hours : 0.0;
    for (int s = first_slot; s <= last_slot; ++s) {
      double& v = run.ring[s].values[k];
      v = (v > lowest && m_valid) ? share : missing;
    }
    return unmatched;
  }
  for (int s = first_slot; s <= last_slot; ++s) run.ring[s].values[k] = missing;
  return false;
}

// Interpolates slots first_slot..last_slot for the group's targets; the
// weighting over the sources in reach writes only the slots it is given
// and the part's scratch.
void interpolate_slots(PluvoRun& run, DayWork& work, GroupWeighting& g, int first_slot, int last_slot, int part) {
  for (int s = first_slot; s <= last_slot; ++s) {
    double* values = run.ring[s].values;
    switch (g.form) {
      case WeightingForm::plain:
        interpolate_idw(run, values, run.anetz.span(), g.targets->span());
        break;
      case WeightingForm::lanes:
        interpolate_planned(g.lanes, run, values);
        break;
      case WeightingForm::in_reach:
        interpolate_in_reach(g.reach, run, values, work.scratch[static_cast<std::size_t>(part)]);
        break;
    }
  }
}

// A reading window of a group: its slots, and the measured totals of its
// stations, taken before the interpolation overwrites them.
struct Window {
  GroupWeighting* g;
  int first_slot;
  int last_slot;
  double* measured;  // per station index
};

// Sums the window's hours of targets first..last (each station's in slot
// order from 0.0) and scales them; writes only these targets' entries and
// marks the windows whose measured rain found no estimate with `bit`.
void sum_and_scale(PluvoRun& run, DayWork& work, const Window& w, int first, int last, int bit) {
  double* hour_sum = work.hour_sum.data();
  for (int k = first; k <= last; ++k) hour_sum[k] = 0.0;
  for (int s = w.first_slot; s <= w.last_slot; ++s) {
    const double* values = run.ring[s].values;
    for (int k = first; k <= last; ++k) hour_sum[k] += values[k];
  }
  for (int k = first; k <= last; ++k) {
    const bool unmatched = scale_hours(run, k, w.measured[k], hour_sum[k], w.first_slot, w.last_slot);
    work.unmatched[k] = unmatched ? work.unmatched[k] | bit : work.unmatched[k] & ~bit;
  }
}

// The day's reading windows: the Klima morning (slots 1..12) and evening
// (13..24) windows, the Sammler window (1..24). Their measured totals are
// taken first; then every hour is interpolated, then every window scaled.
// With the weighting over the sources in reach the hours are shared among
// the threads, then the stations; the lanes keep state from hour to hour
// and the plain form obtains its storage per call, so they run on this
// thread.
void process_day(PluvoRun& run, DayWork& work) {
  Window windows[3];
  int count = 0;
  if (work.klima.targets != nullptr) {
    windows[count++] = {&work.klima, 1, 12, work.measured[0].data()};
    windows[count++] = {&work.klima, 13, 24, work.measured[1].data()};
  }
  if (work.sammler.targets != nullptr) windows[count++] = {&work.sammler, 1, 24, work.measured[2].data()};
  bool shared = false;
  for (int i = 0; i < count; ++i) {
    const Window& w = windows[i];
    for (int k = w.g->targets->first; k <= w.g->targets->last; ++k) w.measured[k] = run.ring[w.first_slot].values[k];
    if (w.g->form == WeightingForm::in_reach) {
      shared = true;
    } else {
      interpolate_slots(run, work, *w.g, w.first_slot, w.last_slot, 0);
    }
  }
  const int parts = shared ? work.team.size() : 1;
  auto hours = [&](int part) {
    for (int i = 0; i < count; ++i) {
      const Window& w = windows[i];
      if (w.g->form != WeightingForm::in_reach) continue;
      const PartRange r = part_range(w.first_slot, w.last_slot, part, parts);
      interpolate_slots(run, work, *w.g, r.first, r.last, part);
    }
  };
  auto stations = [&](int part) {
    for (int i = 0; i < count; ++i) {
      const Window& w = windows[i];
      const PartRange r = part_range(w.g->targets->first, w.g->targets->last, part, parts);
      sum_and_scale(run, work, w, r.first, r.last, 1 << i);
    }
  };
  if (parts > 1) {
    work.team.run(hours);
    work.team.run(stations);
  } else {
    hours(0);
    stations(0);
  }
  // The rain lost or kept is added window by window in station order,
  // whatever the threads; slot 0 is left with each station's last measured total.
  double* slot0 = run.ring[0].values;
  for (int i = 0; i < count; ++i) {
    const Window& w = windows[i];
    for (int k = w.g->targets->first; k <= w.g->targets->last; ++k) {
      slot0[k] = w.measured[k];
      if (!(work.unmatched[k] & (1 << i))) continue;
      count_unmatched_window(run, w.measured[k]);
    }
  }
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

// Writes the rows of slots 1.. up to the one that ends the run; true when
// that one came. With more than one thread the rows are composed side by
// side and written in their order.
bool write_rows(PluvoRun& run, DayWork& work) {
  int rows = 0;
  bool done = false;
  while (rows < HOURS_PER_DAY && !done) done = ends_run(run, *run.ring[++rows].stamp);
  if (work.team.size() == 1) {
    for (int s = 1; s <= rows; ++s) write_output_row(run, *run.ring[s].stamp, run.ring[s].values);
    return done;
  }
  bool short_of_memory = false;
  std::vector<char> failed(static_cast<std::size_t>(work.team.size()), 0);
  auto task = [&](int part) {
    const PartRange r = part_range(1, rows, part, work.team.size());
    try {
      for (int s = r.first; s <= r.last; ++s) {
        std::string& text = work.rows[static_cast<std::size_t>(s)];
        text.clear();
        compose_output_row(run, *run.ring[s].stamp, run.ring[s].values, text);
      }
    } catch (const std::bad_alloc&) {
      failed[static_cast<std::size_t>(part)] = 1;
    }
  };
  work.team.run(task);
  for (char f : failed) short_of_memory = short_of_memory || f != 0;
  if (short_of_memory) fatal_alloc_error(ALLOC_IO_BUFFERS);
  for (int s = 1; s <= rows; ++s) run.output_file.put(work.rows[static_cast<std::size_t>(s)]);
  return done;
}

// Below this many stations a day's work is too small to share: waking the
// threads would cost more than they save.
constexpr int SIDE_BY_SIDE_STATIONS = 500;

void obtain_day_work(PluvoRun& run, DayWork& work) {
  const auto slots = static_cast<std::size_t>(run.total_stations) + 1;
  obtain_storage(run.seam, ALLOC_WEIGHTS, [&] {
    work.hour_sum.assign(slots, 0.0);
    work.unmatched.assign(slots, 0);
    for (std::vector<double>& m : work.measured) m.assign(slots, 0.0);
    work.team.start(run.total_stations >= SIDE_BY_SIDE_STATIONS ? run.threads : 1);
    work.scratch.resize(static_cast<std::size_t>(work.team.size()));
  });
  for (GroupWeighting* g : {&work.klima, &work.sammler}) {
    if (g->form != WeightingForm::in_reach) continue;
    // One scratch serves both groups: it is made for the larger.
    for (ReachScratch& scratch : work.scratch) {
      if (scratch.sum.size() < static_cast<std::size_t>(g->targets->count())) obtain_reach_scratch(scratch, g->reach, run);
    }
  }
  if (work.team.size() > 1) {
    // A row's text: about five characters a value; more is obtained when needed.
    obtain_storage(run.seam, ALLOC_IO_BUFFERS, [&] {
      work.rows.resize(HOURS_PER_DAY + 1);
      for (std::string& r : work.rows) r.reserve(64 + 6 * slots);
    });
  }
}

}  // namespace

bool scale_window_hours(PluvoRun& run, int k, double sum, int first_slot, int last_slot) {
  return scale_hours(run, k, run.ring[0].values[k], sum, first_slot, last_slot);
}

void scale_window(PluvoRun& run, int k, double sum, int first_slot, int last_slot) {
  if (scale_window_hours(run, k, sum, first_slot, last_slot)) count_unmatched_window(run, run.ring[0].values[k]);
}

void run_day_loop(PluvoRun& run) {
  const bool with_klima = run.klima.count() > 0;
  const bool with_sammler = run.sammler.count() > 0;
  DayWork work;
  if (with_klima) prepare_weighting(work.klima, run, run.klima);
  if (with_sammler) prepare_weighting(work.sammler, run, run.sammler);
  obtain_day_work(run, work);

  bool done = false;
  while (!done) {
    process_day(run, work);
    done = write_rows(run, work);
    if (!done) {
      for (int h = 0; h < HOURS_PER_DAY; ++h) advance_hour(run);
    }
  }
}

}  // namespace pluvo
