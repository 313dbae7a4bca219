#include "failure_place.h"

namespace pluvo {
namespace {

constexpr std::size_t SHOWN_TEXT = 24;  // characters of the text found that are shown

struct ReadPlace {
  const StationGroup* group = nullptr;
  const std::string* file_name = nullptr;
  std::string sought;
};

const char* header_sought(int code) {
  switch (code) {
    case READ_X_LABELS: return "the four label words before the x coordinates";
    case READ_X: return "an x coordinate for each station";
    case READ_Y_LABELS: return "the four label words before the y coordinates";
    case READ_Y: return "a y coordinate for each station";
    case READ_NAME_LABELS: return "the four label words before the station names";
    default: return "a name for each station";
  }
}

bool is_stamp_code(int code) {
  switch (code) {
    case READ_ANETZ_SEARCH_STAMP:
    case READ_ANETZ_FILL_STAMP:
    case READ_KLIMA_FIRST_STAMP:
    case READ_KLIMA_SECOND_STAMP:
    case READ_SAMMLER_SEARCH_STAMP:
    case READ_ANETZ_STAMP:
    case READ_KLIMA_STAMP:
    case READ_SAMMLER_STAMP: return true;
    default: return false;
  }
}

ReadPlace read_place(const PluvoRun& run, int code) {
  const RunParameters& p = run.params;
  ReadPlace place;
  if (code >= READ_X_LABELS && code <= READ_NAME) {
    place.group = run.notes.header_group;
    place.file_name = run.notes.header_file_name;
    place.sought = header_sought(code);
    return place;
  }
  switch (code) {
    case READ_ANETZ_SEARCH_STAMP:
    case READ_ANETZ_SEARCH_VALUE:
    case READ_ANETZ_FILL_STAMP:
    case READ_ANETZ_FILL_VALUE:
    case READ_ANETZ_STAMP:
    case READ_ANETZ_VALUE:
      place.group = &run.anetz;
      place.file_name = &p.anetz_file_name;
      break;
    case READ_KLIMA_FIRST_STAMP:
    case READ_KLIMA_FIRST_VALUE:
    case READ_KLIMA_SECOND_STAMP:
    case READ_KLIMA_SECOND_VALUE:
    case READ_KLIMA_STAMP:
    case READ_KLIMA_VALUE:
      place.group = &run.klima;
      place.file_name = &p.klima_file_name;
      break;
    default:
      place.group = &run.sammler;
      place.file_name = &p.sammler_file_name;
      break;
  }
  if (is_stamp_code(code)) {
    place.sought = "the date fields of a record (year month day hour)";
  } else {
    const int n = place.group->count();
    place.sought = n == 1 ? "the value of a record (1 station)"
                          : "the values of a record (" + std::to_string(n) + " stations)";
  }
  return place;
}

// The text the reader stands on, as far as it is buffered.
std::string found_text(const textio::TextReader& file, bool& at_end) {
  at_end = false;
  if (file.read_failed()) return "a read error";
  const char* p = file.unread();
  while (*p != '\0' && textio::is_c_space(static_cast<unsigned char>(*p))) ++p;
  if (*p == '\0' && file.eof()) {
    at_end = true;
    return "the end of the file";
  }
  std::string word;
  while (*p != '\0' && !textio::is_c_space(static_cast<unsigned char>(*p)) && word.size() < SHOWN_TEXT) word += *p++;
  if (*p != '\0' && !textio::is_c_space(static_cast<unsigned char>(*p))) word += "...";
  return "'" + word + "'";
}

std::string file_and_line(const std::string& name, std::uint64_t line) {
  return "pluvo: " + name + ", line " + std::to_string(line) + ": ";
}

}  // namespace

std::string date_and_hour(int day, int month, int year, int hour) {
  return std::to_string(day) + "." + std::to_string(month) + "." + std::to_string(year) + " hour " +
         std::to_string(hour);
}

void note_read_failure(PluvoRun& run, int code) {
  if (!run.notes.failure_place.empty()) return;
  const ReadPlace place = read_place(run, code);
  if (place.group == nullptr || place.file_name == nullptr) return;
  const textio::TextReader& file = place.group->file;
  bool at_end = false;
  const std::string found = found_text(file, at_end);
  std::string line = file_and_line(*place.file_name, file.line_number());
  const RunParameters& p = run.params;
  if (code == READ_ANETZ_SEARCH_STAMP || code == READ_ANETZ_SEARCH_VALUE) {
    line += "searching for " + date_and_hour(p.start_day, p.start_month, p.start_year, p.start_hour) + ", ";
  }
  if (code == READ_ANETZ_SEARCH_STAMP && at_end) {
    line += "found the end of the file";
    if (run.notes.anetz_first_read) {
      const int* f = run.notes.anetz_first;
      const DateHour& l = run.last_anetz_stamp;
      line += "; its records run from " + date_and_hour(f[0], f[2], f[3], f[1]) + " to " +
              date_and_hour(l.day, l.month, l.year, l.hour);
    }
  } else {
    line += "expected " + place.sought + ", found " + found;
  }
  run.notes.failure_place = line + "\n";
}

void note_time_mismatch(PluvoRun& run, const StationGroup& group, std::uint64_t line, const DateHour& sought,
                        const DateHour& found) {
  const std::string& name = &group == &run.klima ? run.params.klima_file_name : run.params.sammler_file_name;
  run.notes.failure_place = file_and_line(name, line) + "expected the record of " +
                            date_and_hour(sought.day, sought.month, sought.year, sought.hour) +
                            ", the hour of the hourly data, found " +
                            date_and_hour(found.day, found.month, found.year, found.hour) + "\n";
}

}  // namespace pluvo
