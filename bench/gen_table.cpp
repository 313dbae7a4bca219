// gen_table: writes a large hourly table for timing tabsum.
//
//   gen_table [--seed N] [--rows N] [--columns N] [--start-year Y]
//             [--shape SHAPE] [OUTPUT]
//
// SHAPE is the form of the values (see usage() below); the default, rain,
// is the hourly precipitation table the timings have always used.
//
// Without OUTPUT (or with "-") the table goes to standard output. The same
// options give the same bytes.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "generator_support.h"

namespace {

// The forms of the values a table can be given in.
enum class Shape { RAIN, ONE_DECIMAL, THREE_DECIMALS, SIX_DIGITS, INTEGERS, RIGHT_ALIGNED, MIXED };

struct ShapeName {
  const char* name;
  Shape shape;
};

constexpr ShapeName SHAPES[] = {
    {"rain", Shape::RAIN},         {"one-decimal", Shape::ONE_DECIMAL},     {"three-decimals", Shape::THREE_DECIMALS},
    {"six-digits", Shape::SIX_DIGITS}, {"integers", Shape::INTEGERS},       {"right-aligned", Shape::RIGHT_ALIGNED},
    {"mixed", Shape::MIXED},
};

struct Options {
  Shape shape = Shape::RAIN;
  long long seed = 1;
  long long rows = 200000;
  long long columns = 100;
  long long start_year = 1990;
  std::string output = "-";
};

[[noreturn]] void usage() {
  std::fputs(
      "usage: gen_table [--seed N] [--rows N] [--columns N] [--start-year Y] [--shape SHAPE] [OUTPUT]\n"
      "  defaults: seed 1, 200000 rows, 100 value columns, start year 1990, shape rain, standard output\n"
      "  shapes (about 2 %% of the values missing in each):\n"
      "    rain            precipitation, mostly 0.0, some with two decimals, -999 and -9999 missing\n"
      "    one-decimal     %%.1f of 0 to 20\n"
      "    three-decimals  %%.3f of 0 to 500\n"
      "    six-digits      %%.6g of sums of many sizes (1.2e-05 among them)\n"
      "    integers        counts 0 to 5000\n"
      "    right-aligned   %%8.2f, blank-separated, date stamp as \"1990  1  1  1\"\n"
      "    mixed           each column one of the forms above but the last, tab-separated\n",
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
    } else if (std::strcmp(arg, "--shape") == 0) {
      const char* name = value();
      bool known = false;
      for (const ShapeName& n : SHAPES) {
        if (std::strcmp(n.name, name) == 0) {
          o.shape = n.shape;
          known = true;
        }
      }
      if (!known) usage();
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

// One value of a shape other than rain, written with printf's formats as
// other programs write them; about 2 % are missing (-999 in the shape's
// own format).
void put_shaped_value(benchgen::TextSink& out, benchgen::Random& random, Shape shape) {
  char text[64];
  const bool missing = random.chance(0.02);
  int n = 0;
  switch (shape) {
    case Shape::ONE_DECIMAL:
      n = std::snprintf(text, sizeof text, "%.1f", missing ? -999.0 : random.uniform(0.0, 20.0));
      break;
    case Shape::THREE_DECIMALS:
      n = std::snprintf(text, sizeof text, "%.3f", missing ? -999.0 : random.uniform(0.0, 500.0));
      break;
    case Shape::SIX_DIGITS: {
      // Sums of every size, from a few hundredths of a millimetre to large
      // discharges, so that "%g" writes fixed and exponent forms.
      const double v = random.log_uniform(1e-6, 1e6) * (random.chance(0.1) ? -1.0 : 1.0);
      n = std::snprintf(text, sizeof text, "%.6g", missing ? -999.0 : v);
      break;
    }
    case Shape::INTEGERS:
      n = std::snprintf(text, sizeof text, "%d", missing ? -999 : random.below(5001));
      break;
    case Shape::RIGHT_ALIGNED:
      n = std::snprintf(text, sizeof text, "%8.2f", missing ? -999.0 : random.exponential(50.0));
      break;
    case Shape::RAIN:
    case Shape::MIXED:
      break;
  }
  out.put(std::string_view(text, static_cast<std::size_t>(n)));
}

// The shape of column c of a mixed table.
Shape mixed_column_shape(long long c) {
  constexpr Shape CYCLE[] = {Shape::ONE_DECIMAL, Shape::THREE_DECIMALS, Shape::SIX_DIGITS, Shape::INTEGERS};
  return CYCLE[c % 4];
}

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

  const bool aligned = o.shape == Shape::RIGHT_ALIGNED;
  out.put(aligned ? "  YY MM DD HH" : "YY\tMM\tDD\tHH");
  for (long long c = 1; c <= o.columns; ++c) {
    if (aligned) {
      char name[32];
      out.put(std::string_view(name, static_cast<std::size_t>(std::snprintf(name, sizeof name, " %8s",
                                                                              ("st" + std::to_string(c)).c_str()))));
    } else {
      out.put("\tst");
      out.put_int(c);
    }
  }
  out.end_line();

  benchgen::Date date{static_cast<int>(o.start_year), 1, 1};
  int hour = 0;
  for (long long r = 0; r < o.rows; ++r) {
    weather.next_hour();
    if (aligned) {
      char stamp[64];
      const int n = std::snprintf(stamp, sizeof stamp, "%4d%3d%3d%3d", date.year, date.month, date.day, hour);
      out.put(std::string_view(stamp, static_cast<std::size_t>(n)));
    } else {
      out.put_int(date.year);
      out.put('\t');
      out.put_int(date.month);
      out.put('\t');
      out.put_int(date.day);
      out.put('\t');
      out.put_int(hour);
    }
    for (long long c = 0; c < o.columns; ++c) {
      switch (o.shape) {
        case Shape::RAIN:
          out.put('\t');
          weather.put_value(out);
          break;
        case Shape::RIGHT_ALIGNED:
          // "%8.2f" pads to eight characters; the blank in front keeps
          // wider values apart.
          out.put(' ');
          put_shaped_value(out, random, o.shape);
          break;
        case Shape::MIXED:
          out.put('\t');
          put_shaped_value(out, random, mixed_column_shape(c));
          break;
        default:
          out.put('\t');
          put_shaped_value(out, random, o.shape);
          break;
      }
    }
    out.end_line();
    if (++hour == 24) {
      hour = 0;
      date.advance();
    }
  }
  return out.close() ? 0 : 1;
}
