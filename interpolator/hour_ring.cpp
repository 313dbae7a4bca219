#include "hour_ring.h"

#include "fatal_errors.h"

namespace pluvo {

void obtain_ring(PluvoRun& run, const AllocationSeam& seam) {
  obtain_storage(seam, ALLOC_RING_VALUES, [&] { run.ring_values = std::make_unique<std::array<ValueArray, RING_SLOTS>>(); });
  obtain_storage(seam, ALLOC_RING_STAMPS, [&] { run.ring_stamps = std::make_unique<std::array<DateHour, RING_SLOTS>>(); });
  for (int k = 0; k < RING_SLOTS; ++k) {
    ValueArray& values = (*run.ring_values)[k];
    values.fill(-999.0);
    DateHour& stamp = (*run.ring_stamps)[k];
    stamp = MISSING_DATE_HOUR;
    run.ring[k] = HourSlot{&stamp, values.data()};
  }
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
