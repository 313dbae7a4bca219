#include "run_notes.h"

#include <cmath>

#include "idw.h"
#include "run_state.h"

namespace pluvo {
namespace {

void put_line(const PluvoRun& run, const std::string& line) {
  std::fputs(line.c_str(), run.notes.stream);
  std::fflush(run.notes.stream);
}

void hour_zero_warning(const PluvoRun& run, const StationGroup& group, const std::string& file_name) {
  const HourZeroNote& z = group.hour_zero;
  if (!z.seen) return;
  warn(run, file_name + ", line " + std::to_string(z.line) + ": record stamped " + std::to_string(z.year) + " " +
                std::to_string(z.month) + " " + std::to_string(z.day) +
                " 0; pluvo's hours run from 1 to 24, hour 24 ending the day, so hour 0 of a day is hour 24 of "
                "the day before");
}

std::string station_name(const PluvoRun& run, int k) { return run.stations.name[k - 1].data(); }

// Targets that no source can reach: every hour of theirs is interpolated
// from nothing.
void unreachable_warnings(const PluvoRun& run, const StationGroup& targets, const char* group_name) {
  const StationTable& s = run.stations;
  const double max_d2 = run.params.max_distance * run.params.max_distance;
  for (int t = targets.first; t <= targets.last; ++t) {
    bool reached = false;
    for (int i = run.anetz.first; i <= run.anetz.last && !reached; ++i) {
      reached = squared_distance(s.x[i] - s.x[t], s.y[i] - s.y[t]) <= max_d2;
    }
    if (reached) continue;
    warn(run, std::string(group_name) + " station " + station_name(run, t) + " at x " + short_number(s.x[t]) +
                  ", y " + short_number(s.y[t]) + " has no ANETZ station within the maximum distance " +
                  short_number(run.params.max_distance) + "; it gets no interpolated rain");
  }
}

// A target whose sources in reach (none on the target itself) have weights
// that all underflow to 0, or that overflow: the power is too large for
// the distances, and the target's hours are 0.0 or not a number.
struct WeightTrouble {
  int station = 0;
  bool overflow = false;
  int count = 0;
};

void find_weight_trouble(const PluvoRun& run, const StationGroup& targets, WeightTrouble& trouble) {
  const StationTable& s = run.stations;
  const double max_d2 = run.params.max_distance * run.params.max_distance;
  const WeightForm form = weight_form(run.params.power);
  for (int t = targets.first; t <= targets.last; ++t) {
    double sum = 0.0;
    bool any = false;
    bool on_target = false;
    for (int i = run.anetz.first; i <= run.anetz.last; ++i) {
      const double d2 = squared_distance(s.x[i] - s.x[t], s.y[i] - s.y[t]);
      if (d2 > max_d2) continue;
      if (d2 == 0.0) on_target = true;
      any = true;
      sum += idw_weight(form, d2);
    }
    if (!any || on_target || (sum > 0.0 && std::isfinite(sum))) continue;
    if (trouble.count++ == 0) {
      trouble.station = t;
      trouble.overflow = !(sum == 0.0);
    }
  }
}

}  // namespace

void warn(const PluvoRun& run, const std::string& text) { put_line(run, "pluvo: warning: " + text + "\n"); }

std::string short_number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

void write_kept_notes(PluvoRun& run, bool complete) {
  const RunParameters& p = run.params;
  hour_zero_warning(run, run.anetz, p.anetz_file_name);
  hour_zero_warning(run, run.klima, p.klima_file_name);
  hour_zero_warning(run, run.sammler, p.sammler_file_name);
  if (complete) {
    unreachable_warnings(run, run.klima, "Klima");
    unreachable_warnings(run, run.sammler, "Sammler");
    const RunNotes& n = run.notes;
    if (n.unmatched_windows > 0) {
      const std::string windows = "reading windows with measured rain but no interpolated rain: " +
                                  std::to_string(n.unmatched_windows) + ", ";
      warn(run, windows + (run.keep_unmatched_rain
                               ? "filled by --keep-unmatched-rain with " + short_number(n.unmatched_rain) + " of rain"
                               : "with " + short_number(n.unmatched_rain) +
                                     " of rain lost (--keep-unmatched-rain keeps it)"));
    }
    WeightTrouble trouble;
    find_weight_trouble(run, run.klima, trouble);
    find_weight_trouble(run, run.sammler, trouble);
    if (trouble.count > 0) {
      warn(run, "power " + short_number(p.power) + " is too large for the distances: the weights of the sources of " +
                    station_name(run, trouble.station) + (trouble.overflow ? " overflow" : " underflow to 0") +
                    " (" + std::to_string(trouble.count) + " station" + (trouble.count == 1 ? "" : "s") +
                    " so), and its interpolated hours are lost");
    }
  }
  if (!run.notes.failure_place.empty()) put_line(run, run.notes.failure_place);
}

}  // namespace pluvo
