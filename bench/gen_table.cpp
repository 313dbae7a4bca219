// gen_table: writes a large hourly table for timing tabsum.
//
//   gen_table [--seed N] [--rows N] [--columns N] [--start-year Y] [OUTPUT]
//
// Without OUTPUT (or with "-") the table goes to standard output. The same
// options give the same bytes.
#include <cstdio>
#include <cstring>
#include <string>

#include "generator_support.h"

namespace {

struct Options {
  long long seed = 1;
  long long rows = 200000;
  long long columns = 100;
  long long start_year = 1990;
  std::string output = "-";
};

[[noreturn]] void usage() {
  std::fputs(
      "usage: gen_table [--seed N] [--rows N] [--columns N] [--start-year Y] [OUTPUT]\n"
      "  defaults: seed 1, 200000 rows, 100 value columns, start year 1990, standard output\n",
      stderr);
  std::exit(2);
}

Options parse_options(int argc, char** argv) {
  Options o;
  bool output_given = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const auto value = [&]() -> const char* {
      if (i + 1 >= argc) usage();
      return argv[++i];
    };
    if (std::strcmp(arg, "--seed") == 0) {
      o.seed = benchgen::parse_count(arg, value(), 0, 1LL << 62);
    } else if (std::strcmp(arg, "--rows") == 0) {
      o.rows = benchgen::parse_count(arg, value(), 0, 100000000);
    } else if (std::strcmp(arg, "--columns") == 0) {
      o.columns = benchgen::parse_count(arg, value(), 1, 100000);
    } else if (std::strcmp(arg, "--start-year") == 0) {
      o.start_year = benchgen::parse_count(arg, value(), 1000, 9000);
    } else if (std::strcmp(arg, "--help") == 0 || (arg[0] == '-' && arg[1] == '-') || output_given) {
      usage();
    } else {
      o.output = arg;
      output_given = true;
    }
  }
  return o;
}

// A wet spell covers the whole table at once and lasts some hours, so
// that, like real precipitation, most values are 0.0 and the rest cluster.
class Weather {
 public:
  explicit Weather(benchgen::Random& random) : random_(random) {}

  void next_hour() {
    if (wet_) {
      if (random_.chance(0.15)) wet_ = false;
    } else if (random_.chance(0.04)) {
      wet_ = true;
      spell_mean_ = random_.uniform(0.3, 3.0);
    }
  }

  // One value field, written straight into the sink.
  void put_value(benchgen::TextSink& out) {
    if (random_.chance(0.02)) {
      // Most loggers write -999 for a gap; some older series use -9999.
      out.put(random_.chance(0.9) ? "-999" : "-9999");
      return;
    }
    if (!wet_ || !random_.chance(0.6)) {
      out.put("0.0");
      return;
    }
    const double amount = random_.exponential(spell_mean_);
    // Some sources keep hundredths; the reader must take both.
    if (random_.chance(0.3)) {
      out.put_hundredths(std::llround(amount * 100.0));
    } else {
      out.put_tenths(benchgen::to_tenths(amount));
    }
  }

 private:
  benchgen::Random& random_;
  bool wet_ = false;
  double spell_mean_ = 1.0;
};

}  // namespace

int main(int argc, char** argv) {
  const Options o = parse_options(argc, argv);

  std::FILE* stream = stdout;
  if (o.output != "-") {
    stream = std::fopen(o.output.c_str(), "wb");
    if (!stream) {
      std::fprintf(stderr, "cannot open %s for writing\n", o.output.c_str());
      return 1;
    }
  }
  benchgen::TextSink out(stream, o.output == "-" ? "standard output" : o.output);
  benchgen::Random random(static_cast<std::uint64_t>(o.seed));
  Weather weather(random);

  out.put("YY\tMM\tDD\tHH");
  for (long long c = 1; c <= o.columns; ++c) {
    out.put("\tst");
    out.put_int(c);
  }
  out.end_line();

  benchgen::Date date{static_cast<int>(o.start_year), 1, 1};
  int hour = 0;
  for (long long r = 0; r < o.rows; ++r) {
    weather.next_hour();
    out.put_int(date.year);
    out.put('\t');
    out.put_int(date.month);
    out.put('\t');
    out.put_int(date.day);
    out.put('\t');
    out.put_int(hour);
    for (long long c = 0; c < o.columns; ++c) {
      out.put('\t');
      weather.put_value(out);
    }
    out.end_line();
    if (++hour == 24) {
      hour = 0;
      date.advance();
    }
  }
  return out.close() ? 0 : 1;
}
