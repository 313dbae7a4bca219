#include "command_line.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "number_scan.h"

namespace tabsum {

int convert_int_argument(const char* text) {
  const char* p = text;
  while (textio::is_c_space(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long long magnitude = 0;
  for (; textio::is_c_digit(static_cast<unsigned char>(*p)); ++p) {
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > 1LL << 32) magnitude = 1LL << 32;  // far beyond int either way
  }
  const long long v = negative ? -magnitude : magnitude;
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

int convert_intervals_argument(const char* text) {
  const double v = std::trunc(std::strtod(text, nullptr));
  if (std::isnan(v)) return 0;
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

InfoRequest info_request(int argc, const char* const* argv) {
  if (argc != 2) return InfoRequest::none;
  const char* arg = argv[1];
  if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) return InfoRequest::help;
  if (std::strcmp(arg, "--version") == 0) return InfoRequest::version;
  return InfoRequest::none;
}

bool parse_command_line(int argc, const char* const* argv, AggregationSettings& settings) {
  const int given = argc - 1;
  if (given < 3) return false;
  settings.in_name = argv[1];
  settings.out_name = argv[2];
  settings.intervals = convert_intervals_argument(argv[3]);
  settings.headrows = given >= 4 ? convert_int_argument(argv[4]) : -1;
  if (settings.headrows < 0) settings.headrows = -1;
  settings.data_columns_given = given >= 5;
  settings.data_columns = given >= 5 ? convert_int_argument(argv[5]) : 0;
  settings.additional_columns = given >= 6 ? convert_int_argument(argv[6]) : 0;
  return true;
}

}  // namespace tabsum
