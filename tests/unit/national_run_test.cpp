// Whole pluvo runs on generated networks far beyond 100 stations: every
// station of the three files is in the table, and the table is the same
// byte for byte with the plain weighting and with 1, 2 or 3 threads.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "run_sequence.h"
#include "run_state.h"

namespace {

struct Network {
  int anetz;
  int klima;
  int sammler;
};

// Station files for 1 to 5 January 2020 (the run: 2 to 4 January): sites
// on a 200 km square, some Klima and Sammler stations on ANETZ sites, rain
// in patches with outages.
class NetworkFiles {
 public:
  NetworkFiles(const Network& n, const std::string& dir) : n_(n), dir_(dir) {
    std::mt19937_64 rng(1919);
    std::uniform_int_distribution<int> km(0, 200);
    const int total = n.anetz + n.klima + n.sammler;
    for (int i = 0; i < total; ++i) {
      x_.push_back(km(rng) * 1000);
      y_.push_back(km(rng) * 1000);
    }
    for (int i = n.anetz; i < total; i += 17) {
      x_[i] = x_[i % n.anetz];
      y_[i] = y_[i % n.anetz];
    }
    write_file("anetz.txt", 0, n.anetz, [&](int day, std::string& text) {
      std::uniform_int_distribution<int> pick(0, 99);
      for (int hour = 1; hour <= 24; ++hour) {
        text.append("2020 1 ").append(std::to_string(day)).append(" ").append(std::to_string(hour));
        for (int i = 0; i < n.anetz; ++i) {
          const int r = pick(rng);
          const bool wet = (x_[i] / 20000 + hour + day) % 5 == 0;
          if (r < 3) {
            text.append(" -999");
          } else if (wet) {
            text.append(" ").append(std::to_string(r % 40)).append(".").append(std::to_string(r % 10));
          } else {
            text.append(" 0.0");
          }
        }
        text += '\n';
      }
    });
    write_file("klima.txt", n.anetz, n.klima, [&](int day, std::string& text) {
      for (int hour : {7, 19}) text += totals(day, hour, n.klima, rng);
    });
    write_file("sammler.txt", n.anetz + n.klima, n.sammler,
               [&](int day, std::string& text) { text += totals(day, 7, n.sammler, rng); });
  }

  std::string path(const char* name) const { return dir_ + name; }

 private:
  std::string totals(int day, int hour, int count, std::mt19937_64& rng) {
    std::uniform_int_distribution<int> pick(0, 99);
    std::string text = "2020 1 ";
    text.append(std::to_string(day)).append(" ").append(std::to_string(hour));
    for (int i = 0; i < count; ++i) {
      const int r = pick(rng);
      if (r < 4) {
        text.append(" -999");
      } else {
        text.append(" ").append(std::to_string(r / 3)).append(".5");
      }
    }
    return text + '\n';
  }

  template <class Records>
  void write_file(const char* name, int first, int count, Records&& records) {
    std::string text = name;
    text.append("\nYY\tMM\tDD\tHH");
    for (int i = first; i < first + count; ++i) text.append("\t").append(std::to_string(200 + i % 900));
    for (const std::vector<int>* c : {&x_, &y_}) {
      text += "\nYY\tMM\tDD\tHH";
      for (int i = first; i < first + count; ++i) text.append("\t").append(std::to_string((*c)[static_cast<std::size_t>(i)]));
    }
    text += "\nYY\tMM\tDD\tHH";
    for (int i = first; i < first + count; ++i) text.append("\tST").append(std::to_string(i));
    text += '\n';
    for (int day = 1; day <= 5; ++day) records(day, text);
    std::ofstream(path(name), std::ios::binary) << text;
  }

  Network n_;
  std::string dir_;
  std::vector<int> x_;
  std::vector<int> y_;
};

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Outcome {
  int code;
  std::string console;
  std::string table;
};

Outcome run_once(const NetworkFiles& files, pluvo::Weighting weighting, int threads, double max_distance) {
  textio::OutputBuffer console;
  textio::TextReader answers;
  pluvo::PluvoRun run(console, answers);
  pluvo::RunParameters& p = run.params;
  p.anetz_file_name = files.path("anetz.txt");
  p.klima_file_name = files.path("klima.txt");
  p.sammler_file_name = files.path("sammler.txt");
  p.output_file_name = files.path("out.txt");
  p.start_day = 2;
  p.start_month = 1;
  p.start_year = 2020;
  p.start_hour = 1;
  p.end_day = 4;
  p.end_month = 1;
  p.end_year = 2020;
  p.power = 2.0;
  p.max_distance = max_distance;
  p.upper_limit = 200.0;
  p.upper_replacement = 200.0;
  run.parameters_from_options = true;
  run.keep_unmatched_rain = true;
  run.weighting = weighting;
  run.threads = threads;
  const int code = pluvo::run_pluvo(run);
  return {code, console.take_captured(), read_all(p.output_file_name)};
}

TEST(NationalRun, EveryStationIsInTheTableWhateverTheThreadsAndTheWeighting) {
  const Network networks[] = {{150, 1, 1}, {150, 40, 60}, {1000, 500, 1500}};
  for (const Network& n : networks) {
    const int total = n.anetz + n.klima + n.sammler;
    std::string dir = ::testing::TempDir();
    dir.append("national_").append(std::to_string(total)).append("_");
    const NetworkFiles files(n, dir);
    // None in reach but the sites in common, some, all (the largest set only some).
    const std::vector<double> distances = total > 2000 ? std::vector<double>{30000.0} : std::vector<double>{0.0, 30000.0, 1e9};
    for (double max_distance : distances) {
      const Outcome plain = run_once(files, pluvo::Weighting::plain, 1, max_distance);
      ASSERT_EQ(plain.code, 0);
      std::string count_lines = "*anzahl ";
      count_lines.append(std::to_string(n.sammler)).append("\nGesamtzahl der Stationen : ");
      count_lines.append(std::to_string(total)).append("\n");
      EXPECT_NE(plain.console.find(count_lines), std::string::npos);
      // 5 header lines and 72 rows of 4 + total fields.
      std::istringstream lines(plain.table);
      std::string line;
      std::string last_line;
      int rows = 0;
      while (std::getline(lines, line)) {
        last_line = line;
        ++rows;
        if (rows == 1) continue;
        std::size_t tabs = 0;
        for (char c : line) tabs += c == '\t' ? 1 : 0;
        ASSERT_EQ(tabs, static_cast<std::size_t>(3 + total)) << "line " << rows;
      }
      EXPECT_EQ(rows, 5 + 72);
      // The last Sammler station has values of its own in the last row, not
      // only missing ones.
      ASSERT_NE(last_line.rfind('\t'), std::string::npos);
      EXPECT_NE(last_line.substr(last_line.rfind('\t')), "\t-999.0");
      for (int threads : {1, 2, 3}) {
        const Outcome fast = run_once(files, pluvo::Weighting::fastest, threads, max_distance);
        EXPECT_EQ(fast.code, 0);
        EXPECT_EQ(fast.console, plain.console) << threads << " threads, maximum distance " << max_distance;
        EXPECT_TRUE(fast.table == plain.table) << total << " stations, " << threads << " threads, maximum distance "
                                               << max_distance;
      }
    }
    for (const char* name : {"anetz.txt", "klima.txt", "sammler.txt", "out.txt"}) std::remove(files.path(name).c_str());
  }
}

}  // namespace
