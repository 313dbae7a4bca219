// Fields of the services' delimited rows (semicolons, commas): each cut at
// its separator and trimmed of the blanks that pad the columns.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace stationfile {

// Without the blanks and tabs in front and behind, and the line end.
inline std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// Splits a row at `separator` into at most N trimmed fields; the count.
template <std::size_t N>
std::size_t split_fields(std::string_view row, char separator, std::array<std::string_view, N>& fields) {
  std::size_t n = 0;
  while (n < N) {
    const std::size_t end = row.find(separator);
    fields[n++] = trim(row.substr(0, end));
    if (end == std::string_view::npos) break;
    row.remove_prefix(end + 1);
  }
  return n;
}

}  // namespace stationfile
