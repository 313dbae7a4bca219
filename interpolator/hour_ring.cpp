#include "hour_ring.h"

#include "fatal_errors.h"

namespace pluvo {
namespace {

void obtain_values(PluvoRun& run, int width) {
  const auto entries = static_cast<std::size_t>(RING_SLOTS) * static_cast<std::size_t>(width);
  obtain_storage(run.seam, ALLOC_RING_VALUES, [&] {
    // The old arrays are released first: a ring that is widened holds no value yet.
    std::vector<double>().swap(run.ring_values);
    run.ring_values.assign(entries, -999.0);
  });
  run.ring_width = width;
}

void point_slots(PluvoRun& run) {
  for (int k = 0; k < RING_SLOTS; ++k) {
    run.ring[k] = HourSlot{&(*run.ring_stamps)[k], run.ring_values.data() + static_cast<std::size_t>(k) * run.ring_width};
  }
}

}  // namespace

void obtain_ring(PluvoRun& run) {
  obtain_values(run, FIRST_ROOM_SLOTS);
  obtain_storage(run.seam, ALLOC_RING_STAMPS, [&] { run.ring_stamps = std::make_unique<std::array<DateHour, RING_SLOTS>>(); });
  for (DateHour& stamp : *run.ring_stamps) stamp = MISSING_DATE_HOUR;
  point_slots(run);
}

void widen_ring(PluvoRun& run) {
  if (run.total_stations < run.ring_width) return;
  obtain_values(run, run.total_stations + 1);
  point_slots(run);
}

void rotate_ring(PluvoRun& run) {
  run.ring[25] = run.ring[0];
  for (int k = 0; k <= 24; ++k) run.ring[k] = run.ring[k + 1];
}

void set_missing(const PluvoRun& run, double* values, int first, int last) {
  const double missing = run.missing_value();
  for (int i = first; i <= last; ++i) values[i] = missing;
}

}  // namespace pluvo
