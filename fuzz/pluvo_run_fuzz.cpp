// pluvo's whole run in process, on small station sets made from the input.
//
// The input drives a generator: the number of ANETZ, Klima and Sammler
// stations (now and then more than 100 in all) and their sites, the start and end dates, how many hours of
// data the files hold, the values, the dialogue answers and a few damages
// of the files (CR LF line ends, a missing last line end, two-digit years,
// a missing record, a word in place of a number, a file cut short, a last
// stamp far in the past, a 0x1A inside; a numeric answer made of bytes of
// the input). The run must end with a code of pluvo's code table, on the
// stream its row names, every row of a complete table must hold every
// station, and the table may not outgrow the data:
// it ends at the latest with the day of the last hourly record, so it has
// at most two days of rows more than the ANETZ file has records. A run that
// writes without end is stopped by the limit of the file size. Now and then
// the set is run again with CR LF line ends and a 0x1A followed by more
// text, which must give the same run.

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "exit_codes.h"
#include "fatal_error.h"
#include "fuzz_support.h"
#include "run_sequence.h"
#include "run_state.h"
#include "station_header.h"

namespace {

constexpr std::size_t FILE_SIZE_LIMIT = 16u << 20;
using pluvo::HEADER_LINES;
constexpr int ROWS_BEYOND_DATA = 2 * 24 + 6;

struct Date {
  int year;
  int month;
  int day;
};

int month_length(int year, int month) {
  static const int LENGTH[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : LENGTH[month - 1];
}

Date add_days(Date d, int days) {
  for (; days > 0; --days) {
    if (++d.day > month_length(d.year, d.month)) {
      d.day = 1;
      if (++d.month > 12) {
        d.month = 1;
        ++d.year;
      }
    }
  }
  for (; days < 0; ++days) {
    if (--d.day < 1) {
      if (--d.month < 1) {
        d.month = 12;
        --d.year;
      }
      d.day = month_length(d.year, d.month);
    }
  }
  return d;
}

// Damages of one file, each chosen by a bit.
enum Damage : unsigned {
  CRLF = 1,
  NO_LAST_LINE_END = 2,
  TWO_DIGIT_YEARS = 4,
  RECORD_MISSING = 8,
  WORD_FOR_NUMBER = 16,
  CUT_SHORT = 32,
  LAST_STAMP_IN_PAST = 64,
  CTRL_Z_INSIDE = 128,
};

struct StationFile {
  std::string title;
  int first_index;
  int count;
  std::vector<std::string> lines;  // header and records, without line ends
};

double value_from(fuzz::ByteSource& g) {
  static const double ODD[] = {-998.5, 1e6, 0.05, 999.9, -0.0, 1e-300, -3.5, 250.0};
  const unsigned b = g.byte();
  if (b < 96) return 0.0;
  if (b < 200) return (b - 96) / 10.0;
  if (b < 230) return -999.0;
  return ODD[b % 8];
}

std::string number_text(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

void add_header(StationFile& f, fuzz::ByteSource& g, const char* prefix) {
  f.lines.push_back(f.title);
  std::string heights = "YY\tMM\tDD\tHH";
  std::string xs = heights;
  std::string ys = heights;
  std::string names = heights;
  for (int k = 0; k < f.count; ++k) {
    heights += "\t" + std::to_string(g.below(3000)) + ".5";
    // Sites on a coarse grid, so that some share a place.
    xs += "\t" + std::to_string(600000 + 5000 * g.below(16));
    ys += "\t" + std::to_string(200000 + 5000 * g.below(16));
    names += "\t" + std::string(prefix) + std::to_string(f.first_index + k);
  }
  f.lines.push_back(heights);
  f.lines.push_back(xs);
  f.lines.push_back(ys);
  f.lines.push_back(names);
}

void add_record(StationFile& f, fuzz::ByteSource& g, Date d, int hour, bool two_digit_years) {
  const int year = two_digit_years && d.year >= 1900 && d.year < 2000 ? d.year - 1900 : d.year;
  std::string line = std::to_string(year) + "\t" + std::to_string(d.month) + "\t" + std::to_string(d.day) + "\t" +
                     std::to_string(hour);
  for (int k = 0; k < f.count; ++k) line += "\t" + number_text(value_from(g));
  f.lines.push_back(line);
}

std::string file_text(const StationFile& f, unsigned damage, fuzz::ByteSource& g) {
  std::vector<std::string> lines = f.lines;
  const std::size_t records = lines.size() - HEADER_LINES;
  if ((damage & RECORD_MISSING) && records > 0) lines.erase(lines.begin() + HEADER_LINES + g.below(records));
  if ((damage & WORD_FOR_NUMBER) && lines.size() > HEADER_LINES) {
    std::string& line = lines[HEADER_LINES + g.below(static_cast<unsigned>(lines.size() - HEADER_LINES))];
    const std::size_t tab = line.rfind('\t');
    line.replace(tab + 1, std::string::npos, "x1");
  }
  if ((damage & LAST_STAMP_IN_PAST) && lines.size() > HEADER_LINES) {
    std::string& line = lines.back();
    line.replace(0, line.find('\t'), "1001");
  }
  const char* end = (damage & CRLF) ? "\r\n" : "\n";
  std::string text;
  for (const std::string& line : lines) text += line + end;
  if (damage & NO_LAST_LINE_END) text.resize(text.size() - std::string_view(end).size());
  if ((damage & CUT_SHORT) && !text.empty()) text.resize(g.below(65536) % text.size());
  if ((damage & CTRL_Z_INSIDE) && !text.empty()) text.insert(g.below(65536) % text.size(), 1, '\x1a');
  return text;
}

// Damages are rare: most runs should get far.
unsigned damage_from(fuzz::ByteSource& g) {
  const unsigned choice = g.byte();
  const unsigned bits = g.byte();
  return choice < 48 ? bits : 0;
}

// Replaces answer line `index` (0 is the first) by `text`.
std::string with_damaged_answer(const std::string& answers, unsigned index, std::string_view text) {
  std::size_t from = 0;
  for (unsigned i = 0; i < index && from != std::string::npos; ++i) {
    from = answers.find('\n', from);
    if (from != std::string::npos) ++from;
  }
  if (from == std::string::npos) return answers;
  const std::size_t to = answers.find('\n', from);
  return answers.substr(0, from) + std::string(text) + answers.substr(to);
}

std::size_t count_lines(std::string_view s) {
  return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n')) + (s.empty() || s.back() == '\n' ? 0 : 1);
}

struct Outcome {
  int code = -1;
  bool to_stderr = false;
  std::string message;
  std::string console;
  std::string table;
};

const std::string& anetz_name() {
  static const std::string name = fuzz::private_path("anetz.txt");
  return name;
}
const std::string& klima_name() {
  static const std::string name = fuzz::private_path("klima.txt");
  return name;
}
const std::string& sammler_name() {
  static const std::string name = fuzz::private_path("sammler.txt");
  return name;
}
const std::string& out_name() {
  static const std::string name = fuzz::private_path("out.txt");
  return name;
}

// One run as pluvo's main runs it, with the console kept in memory.
Outcome run_once(const std::string& anetz, const std::string& klima, const std::string& sammler,
                 const std::string& answers) {
  fuzz::write_file(anetz_name(), anetz);
  fuzz::write_file(klima_name(), klima);
  fuzz::write_file(sammler_name(), sammler);
  std::remove(out_name().c_str());
  Outcome o;
  {
    textio::OutputBuffer console(nullptr, 1 << 16);
    textio::TextReader dialogue;
    dialogue.attach_text(answers);
    pluvo::PluvoRun run(console, dialogue);
    // The warnings of a run are not what this target checks.
    static std::FILE* const no_warnings = std::fopen("/dev/null", "w");
    if (no_warnings != nullptr) run.notes.stream = no_warnings;
    try {
      try {
        o.code = pluvo::run_pluvo(run);
      } catch (const std::bad_alloc&) {
        o.code = -2;
      }
    } catch (const textio::FatalError& failure) {
      o.code = failure.code;
      o.to_stderr = failure.to_stderr;
      o.message = failure.message;
    }
    o.console = console.take_captured();
  }
  o.table = fuzz::read_file(out_name());
  return o;
}

std::string crlf_of(const std::string& text) {
  std::string s;
  for (char c : text) s += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return s + "\x1a" "1990 1 1 1 5 5 5\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::limit_file_size(FILE_SIZE_LIMIT);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ByteSource g(data, size);
  // One set in eight goes beyond 100 stations, the ANETZ group alone
  // beyond the 128 sources of the planned lanes.
  const bool large = g.below(8) == 0;
  const int n_anetz = large ? 101 + static_cast<int>(g.below(100)) : 1 + static_cast<int>(g.below(5));
  const int n_klima = static_cast<int>(g.below(large ? 30 : 4));
  const int n_sammler = static_cast<int>(g.below(large ? 30 : 4));
  const Date start{1990 + static_cast<int>(g.below(30)), 1 + static_cast<int>(g.below(12)),
                   1 + static_cast<int>(g.below(31))};
  const Date start_in_range{start.year, start.month, std::min(start.day, month_length(start.year, start.month))};
  const int lead_days = static_cast<int>(g.below(3));
  const int data_days = static_cast<int>(g.below(5));
  const int extra_hours = static_cast<int>(g.below(24));

  StationFile anetz{"ANETZ hourly", 1, n_anetz, {}};
  StationFile klima{"Klima", 1 + n_anetz, n_klima, {}};
  StationFile sammler{"Sammler", 1 + n_anetz + n_klima, n_sammler, {}};
  add_header(anetz, g, "A");
  add_header(klima, g, "K");
  add_header(sammler, g, "S");
  const unsigned anetz_damage = damage_from(g);
  const unsigned klima_damage = damage_from(g);
  const unsigned sammler_damage = damage_from(g);

  const Date first_day = add_days(start_in_range, -lead_days);
  const int anetz_records = (lead_days + data_days) * 24 + extra_hours;
  for (int h = 0; h < anetz_records; ++h) {
    add_record(anetz, g, add_days(first_day, h / 24), h % 24 + 1, anetz_damage & TWO_DIGIT_YEARS);
  }
  const int days = (anetz_records + 23) / 24 + 1;
  for (int d = 0; d < days; ++d) {
    const Date day = add_days(first_day, d);
    if (n_klima > 0) {
      add_record(klima, g, day, 7, klima_damage & TWO_DIGIT_YEARS);
      add_record(klima, g, day, 19, klima_damage & TWO_DIGIT_YEARS);
    }
    if (n_sammler > 0) add_record(sammler, g, day, 7, sammler_damage & TWO_DIGIT_YEARS);
  }

  const bool crlf_again = g.below(4) == 0;
  const std::string anetz_text = file_text(anetz, anetz_damage, g);
  const std::string klima_text = file_text(klima, klima_damage, g);
  const std::string sammler_text = file_text(sammler, sammler_damage, g);

  // The end date: within the data, beyond it, before the start or far away.
  Date end{};
  switch (g.below(6)) {
    case 0: end = add_days(start_in_range, static_cast<int>(g.below(4))); break;
    case 1: end = add_days(start_in_range, data_days + static_cast<int>(g.below(40))); break;
    case 2: end = add_days(start_in_range, -static_cast<int>(g.below(3)) - 1); break;
    case 3: end = Date{9999, 12, 31}; break;
    case 4: end = Date{2147483647, 12, 31}; break;
    default: end = add_days(start_in_range, data_days); break;
  }
  static const char* const NODATA[] = {"998", "998", "998", "0", "-5", "1e300"};
  static const char* const POWER[] = {"2", "1", "2.3", "0.5", "0", "-1", "3", "1.0004"};
  static const char* const DISTANCE[] = {"60000", "1000", "0", "1e9", "-1", "30000"};
  static const char* const LOWER[] = {"0", "0", "-1e9", "0.5"};
  static const char* const UPPER[] = {"200", "200", "1e9", "1"};
  std::string answers = anetz_name() + "\n";
  answers += (n_klima > 0 ? klima_name() : "") + "\n";
  answers += (n_sammler > 0 ? sammler_name() : "") + "\n";
  answers += out_name() + "\n";
  answers += std::string(NODATA[g.below(6)]) + "\n";
  const bool two_digit_years = start.year < 2000 && g.flag();
  answers += std::to_string(start.day) + "\n" + std::to_string(start.month) + "\n" +
             std::to_string(two_digit_years ? start.year - 1900 : start.year) + "\n";
  answers += std::to_string(end.day) + "\n" + std::to_string(end.month) + "\n" + std::to_string(end.year) + "\n";
  answers += std::string(POWER[g.below(8)]) + "\n" + DISTANCE[g.below(6)] + "\n";
  answers += std::string(LOWER[g.below(4)]) + "\n" + (g.flag() ? "-7" : "0") + "\n";
  answers += std::string(UPPER[g.below(4)]) + "\n" + (g.flag() ? "0" : "200") + "\n";
  // Now and then one of the numeric answers is replaced by a few bytes of
  // the input (never a file name: the run must write only where it is told).
  if (g.below(8) == 0) answers = with_damaged_answer(answers, 4 + g.below(13), g.take(g.below(9)));

  const Outcome outcome = run_once(anetz_text, klima_text, sammler_text, answers);
  const int code = outcome.code;
  if (code == -2) fuzz::finding("storage ran out on a small station set");
  const pluvo::CodeRow* row = pluvo::code_row(code);
  if (code != 0 && (row == nullptr || outcome.to_stderr != row->to_stderr)) {
    fuzz::finding("pluvo ended with code " + std::to_string(code) + (outcome.to_stderr ? " on standard error: " : ": ") +
                  fuzz::escaped(outcome.message));
  }

  const std::string& table = outcome.table;
  const std::size_t lines = count_lines(table);
  const std::size_t rows = lines > HEADER_LINES ? lines - HEADER_LINES : 0;
  if (rows > static_cast<std::size_t>(anetz_records + ROWS_BEYOND_DATA)) {
    fuzz::finding(std::to_string(rows) + " rows written from " + std::to_string(anetz_records) +
                  " hourly records (end date " + std::to_string(end.day) + "." + std::to_string(end.month) + "." +
                  std::to_string(end.year) + ", exit code " + std::to_string(code) + ")");
  }
  if (code == 0) {
    const auto fields = static_cast<std::size_t>(4 + n_anetz + n_klima + n_sammler);
    std::size_t at = 0;
    for (std::size_t line = 0; at < table.size(); ++line) {
      std::size_t end_of_line = table.find('\n', at);
      if (end_of_line == std::string::npos) end_of_line = table.size();
      const std::string_view row(table.data() + at, end_of_line - at);
      const auto tabs = static_cast<std::size_t>(std::count(row.begin(), row.end(), '\t'));
      if (line > 0 && tabs + 1 != fields) {
        fuzz::finding("line " + std::to_string(line + 1) + " of the table has " + std::to_string(tabs + 1) +
                      " fields, not " + std::to_string(fields) + ": " + fuzz::escaped(row));
      }
      at = end_of_line + 1;
    }
  }

  // Now and then the same set once more with CR LF line ends and a 0x1A
  // followed by more text: text mode must give the same run.
  if (crlf_again && (anetz_text + klima_text + sammler_text).find_first_of("\r\x1a") == std::string::npos) {
    const Outcome again = run_once(crlf_of(anetz_text), crlf_of(klima_text), crlf_of(sammler_text), answers);
    if (again.code != outcome.code || again.message != outcome.message || again.console != outcome.console ||
        again.table != outcome.table) {
      fuzz::finding("CR LF and 0x1A change the run: code " + std::to_string(outcome.code) + " -> " +
                    std::to_string(again.code) + ", console " + fuzz::escaped(outcome.console, 150) + " -> " +
                    fuzz::escaped(again.console, 150));
    }
  }
  return 0;
}
