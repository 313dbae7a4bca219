// Dates in console messages: "%2d.%2d.%<year width>d".
#pragma once

#include "output_buffer.h"

namespace pluvo {

inline void put_date(textio::OutputBuffer& out, int day, int month, int year, int year_width) {
  out.put_int(day, 2);
  out.put('.');
  out.put_int(month, 2);
  out.put('.');
  out.put_int(year, year_width);
}

}  // namespace pluvo
