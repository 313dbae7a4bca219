// tabsum's whole run in process, as its main runs it.
//
// Layout of the input: the first line holds the arguments after the two
// file names, separated by tabs (an empty line: none, so the run shows its
// usage); the rest is the input table. A failure must be a row of tabsum's
// code table, "ready.." must end the console exactly when the run
// succeeds, and the output can have no more lines than the input has plus
// its totals row.
// A table without CR and 0x1A bytes is run a second time with CR LF line
// ends and a 0x1A followed by more rows: text mode must give the same run.
// Every table is also run with the row values read the plain way, one
// "%lf" of the reader per field: the run must be the same as with the fast
// way, straight from the reader's buffer.
// A fifth field on the first line, digits k below 4096, puts a header
// row in front of the table that ends k characters before the end of the
// reader's first block, so that the rows stand across the block's edge
// (a given headrows grows by one). An input cut to a fuzzer's few KB could
// not reach it otherwise.
// A table whose numbers are short is run once more by the calendar (--by),
// with the arguments behind the number of intervals and options drawn from
// the input's bytes; the same checks apply, but for the count of output
// lines (a period without rows has a row too), and the plain reading and
// the CR LF form must again give the same run.

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "command_line.h"
#include "exit_codes.h"
#include "fatal_error.h"
#include "fuzz_support.h"
#include "tabsum_run.h"
#include "text_reader.h"

namespace {

// Data column counts beyond this make every output row longer than the
// fuzzer can use; the storage of many columns is tested on its own.
constexpr int COLUMN_LIMIT = 4096;

// Writes beyond this end the run with SIGXFSZ: no small table gives so much.
constexpr std::size_t FILE_SIZE_LIMIT = 64u << 20;

std::vector<std::string> split_tabs(std::string_view line) {
  std::vector<std::string> fields;
  if (line.empty()) return fields;
  for (std::size_t from = 0;;) {
    const std::size_t tab = line.find('\t', from);
    fields.emplace_back(line.substr(from, tab == std::string_view::npos ? std::string_view::npos : tab - from));
    if (tab == std::string_view::npos) return fields;
    from = tab + 1;
  }
}

std::size_t count_lines(std::string_view s) {
  return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n')) + (s.empty() || s.back() == '\n' ? 0 : 1);
}

bool ends_with(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && std::string_view(s).substr(s.size() - tail.size()) == tail;
}

struct Run {
  int code = -1;
  std::string console;
  std::string output;
};

// A failure must be one of the code table's rows: its code, its stream and
// its message around the name or number it reports.
void check_failure(const textio::FatalError& f) {
  for (const tabsum::FailureRow& row : tabsum::FAILURE_TABLE) {
    const std::string_view before(row.before);
    const std::string_view after(row.after);
    const std::string_view m(f.message);
    if (row.code == f.code && row.to_stderr == f.to_stderr && m.size() >= before.size() + after.size() &&
        m.substr(0, before.size()) == before && m.substr(m.size() - after.size()) == after) {
      return;
    }
  }
  fuzz::finding("a failure that is not in the code table: code " + std::to_string(f.code) + ", " +
                fuzz::escaped(f.message));
}

Run run_tabsum_on(std::string_view table, const std::vector<std::string>& args,
                  tabsum::RowReading reading = tabsum::RowReading::BUFFERED,
                  const std::vector<std::string>& options = {}) {
  const std::string in_name = fuzz::private_path("table.txt");
  const std::string out_name = fuzz::private_path("sums.txt");
  fuzz::write_file(in_name, table);
  std::remove(out_name.c_str());
  std::vector<const char*> argv = {"tabsum"};
  for (const std::string& o : options) argv.push_back(o.c_str());
  argv.insert(argv.end(), {in_name.c_str(), out_name.c_str()});
  for (const std::string& a : args) argv.push_back(a.c_str());

  Run result;
  textio::OutputBuffer console(nullptr, 1 << 16);
  tabsum::TabsumRun run(console);
  run.row_reading = reading;
  try {
    result.code = tabsum::run_tabsum(run, static_cast<int>(argv.size()), argv.data());
  } catch (const textio::FatalError& failure) {
    check_failure(failure);
    console.put(failure.message);
    result.code = failure.code;
  } catch (const std::bad_alloc&) {
    console.put("not enough memory\n");
    result.code = 1;
  }
  result.console = console.take_captured();
  run.output.close_file();
  result.output = fuzz::read_file(out_name);
  return result;
}

// The calendar writes a row for every period between the first row's and
// the last one's: a year of many digits would ask for millions of rows. The
// longer the numbers of a table, the longer the periods it is run with.
std::size_t longest_digit_run(std::string_view table) {
  std::size_t longest = 0;
  std::size_t run = 0;
  for (const char c : table) {
    run = c >= '0' && c <= '9' ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

// The most fields of any line: at least the columns the layout detects.
std::size_t most_fields(std::string_view table) {
  std::size_t most = 0;
  std::size_t fields = 0;
  bool in_field = false;
  for (const char c : table) {
    const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    if (!blank && !in_field) ++fields;
    in_field = !blank;
    if (c == '\n') fields = 0;
    most = std::max(most, fields);
  }
  return most;
}

// Options of the calendar mode drawn from the input, or none when its
// numbers are too long for any period, or its rows too wide for so many
// periods. `data_columns` is the count given, or -1.
std::vector<std::string> calendar_options(std::string_view input, std::string_view table, long long data_columns) {
  const std::size_t digits = longest_digit_run(table);
  if (digits > 4) return {};
  // Years of two digits span 1801 to 1999, of three 901 to 2899, of four
  // -8099 to 9999: at most this many periods of each kind.
  const long long day_periods = 200 * 366;
  const long long month_periods = digits <= 2 ? 200 * 12 : 2000 * 12;
  const long long year_periods = digits <= 2 ? 200 : digits == 3 ? 2000 : 18100;
  const long long columns = data_columns >= 0 ? data_columns : static_cast<long long>(most_fields(table));
  // Twelve characters at most for each value and date field.
  auto fits = [&](long long periods) { return periods * (columns + 4) * 12 <= (16LL << 20); };
  if (!fits(year_periods)) return {};
  std::uint64_t h = 1469598103934665603ull;
  for (const char c : input) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  auto draw = [&h](std::uint64_t n) {
    const std::uint64_t v = h % n;
    h /= n;
    return v;
  };
  // Days only for years of two digits (1900 + year), months up to three.
  static const char* const PERIODS[] = {"year", "water-year", "month", "day"};
  std::uint64_t periods = 2;
  if (digits <= 3 && fits(month_periods)) periods = 3;
  if (digits <= 2 && fits(day_periods)) periods = 4;
  std::vector<std::string> o = {"--by", PERIODS[draw(periods)]};
  if (draw(2)) o.insert(o.end(), {"--stamps", "start"});
  if (draw(2)) o.insert(o.end(), {"--day-start", std::to_string(draw(24))});
  if (draw(2)) o.insert(o.end(), {"--water-year-start", std::to_string(1 + draw(12))});
  static const char* const STATS[] = {"sum", "mean", "min", "max", "count"};
  if (draw(2)) o.insert(o.end(), {"--stat", STATS[draw(5)]});
  static const char* const SHARES[] = {"0.5", "1", "0.01"};
  if (draw(2)) o.insert(o.end(), {"--min-valid", SHARES[draw(3)]});
  if (draw(3) == 0) o.insert(o.end(), {"--step", std::to_string(1 + draw(24))});
  return o;
}

void check(const Run& run, std::string_view table, bool by_calendar = false) {
  if (run.code != 0 && run.code != 1 && run.code != 2) fuzz::finding("tabsum ended with code " + std::to_string(run.code));
  if ((run.code == 0) != ends_with(run.console, "ready..\n")) {
    fuzz::finding("exit code " + std::to_string(run.code) + " with the console ending " +
                  fuzz::escaped(run.console.substr(run.console.size() > 80 ? run.console.size() - 80 : 0)));
  }
  if (run.code == 0 && !by_calendar) {
    // Header rows and interval rows come from input lines; one totals row is added.
    const std::size_t out_lines = count_lines(run.output);
    const std::size_t in_lines = count_lines(table);
    if (out_lines > in_lines + 1) {
      fuzz::finding(std::to_string(out_lines) + " output lines from " + std::to_string(in_lines) + " input lines");
    }
  }
}

// Runs the table, checks the run, and runs it again with the values read
// the plain way and in the CR LF form, which must give the same run.
void run_and_compare(std::string_view table, const std::vector<std::string>& args,
                     const std::vector<std::string>& options) {
  const Run run = run_tabsum_on(table, args, tabsum::RowReading::BUFFERED, options);
  check(run, table, !options.empty());
  const Run plain = run_tabsum_on(table, args, tabsum::RowReading::PLAIN, options);
  if (plain.code != run.code || plain.console != run.console || plain.output != run.output) {
    fuzz::finding("the plain reading of the row values changes the run: code " + std::to_string(run.code) + " -> " +
                  std::to_string(plain.code) + ", console " + fuzz::escaped(run.console, 120) + " -> " +
                  fuzz::escaped(plain.console, 120) + ", output " + fuzz::escaped(run.output, 120) + " -> " +
                  fuzz::escaped(plain.output, 120));
  }
  if (table.find_first_of("\r\x1a") == std::string_view::npos) {
    std::string crlf;
    for (char c : table) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    crlf += "\x1a" "1990 1 1 1 5 5 5\r\n";
    const Run again = run_tabsum_on(crlf, args, tabsum::RowReading::BUFFERED, options);
    if (again.code != run.code || again.console != run.console || again.output != run.output) {
      fuzz::finding("CR LF and 0x1A change the run: code " + std::to_string(run.code) + " -> " +
                    std::to_string(again.code) + ", console " + fuzz::escaped(run.console, 120) + " -> " +
                    fuzz::escaped(again.console, 120) + ", output " + fuzz::escaped(run.output, 120) + " -> " +
                    fuzz::escaped(again.output, 120));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::limit_file_size(FILE_SIZE_LIMIT);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t line_end = input.find('\n');
  const std::string_view arg_line = input.substr(0, line_end);
  const std::string_view given_table =
      line_end == std::string_view::npos ? std::string_view() : input.substr(line_end + 1);

  std::vector<std::string> args = split_tabs(arg_line);
  std::string padded;
  if (args.size() > 4 && !args[4].empty() && args[4][0] >= '0' && args[4][0] <= '9') {
    const int before_edge = tabsum::convert_int_argument(args[4].c_str());
    if (before_edge >= 0 && before_edge < 4096) {
      padded.assign(textio::READ_BLOCK_SIZE - static_cast<std::size_t>(before_edge) - 1, 'x');
      padded += '\n';
      padded += given_table;
      // The headrows given, which a fifth field implies, count the new row.
      if (const int headrows = tabsum::convert_int_argument(args[1].c_str()); headrows >= 0) {
        args[1] = std::to_string(static_cast<long long>(headrows) + 1);
      }
    }
  }
  if (args.size() > 4) args.resize(4);
  // Arguments are C strings.
  for (std::string& a : args) a.resize(std::min(a.size(), a.find('\0')));
  // Additional columns cost nothing once a row's reading has stopped, so
  // their count is left as it is, up to INT_MAX.
  if (args.size() > 2 && tabsum::convert_int_argument(args[2].c_str()) > COLUMN_LIMIT) return 0;

  const std::string_view table = padded.empty() ? given_table : std::string_view(padded);
  run_and_compare(table, args, {});
  // By the calendar: the same arguments but the number of intervals.
  const long long given_columns = args.size() > 2 ? tabsum::convert_int_argument(args[2].c_str()) : -1;
  const std::vector<std::string> options = calendar_options(input, table, given_columns);
  if (!options.empty()) {
    const std::vector<std::string> rest(args.begin() + std::min<std::size_t>(args.size(), 1), args.end());
    run_and_compare(table, rest, options);
  }
  return 0;
}
