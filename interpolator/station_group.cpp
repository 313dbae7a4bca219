#include "station_group.h"

#include "record_reader.h"

namespace pluvo {

void place_behind(StationGroup& group, const StationGroup& before) {
  group.first = before.last + 1;
  group.last = before.last;
}

void read_group_record(StationGroup& group, DateHour& stamp, double* values, ReadCodes codes, bool skip) {
  read_record(group.file, RecordTarget{&stamp, values, group.first, group.last}, group.factor, codes, skip,
              &group.hour_zero);
}

}  // namespace pluvo
