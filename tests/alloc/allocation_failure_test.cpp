// Storage that cannot be obtained, at every point of a whole run: the
// program's own entry is run in this process with its console on files,
// once for each allocation it makes, with exactly that allocation failing.
// Every run must end with the message and code of the failure table, never
// with an uncaught exception or a crash. A seam of pluvo fails each of its
// storage blocks by code.
//
// This binary replaces the global operator new, so it stands apart from the
// other unit tests.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../../aggregator/program_exit.h"
#include "../../interpolator/program_exit.h"

namespace {

// Allocations left before the one that fails; negative: none fails.
long g_countdown = -1;
bool g_failed = false;
// Bytes obtained and not yet released, and the most there were at once.
std::size_t g_live = 0;
std::size_t g_peak = 0;

// Each block carries its size in front of it, so that releasing it can
// count it off.
constexpr std::size_t HEADER = alignof(std::max_align_t) > sizeof(std::size_t) ? alignof(std::max_align_t)
                                                                               : sizeof(std::size_t);

void* allocate(std::size_t n) {
  if (g_countdown >= 0 && g_countdown-- == 0) {
    g_failed = true;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(HEADER + (n == 0 ? 1 : n))) {
    *static_cast<std::size_t*>(p) = n;
    g_live += n;
    g_peak = std::max(g_peak, g_live);
    return static_cast<char*>(p) + HEADER;
  }
  throw std::bad_alloc();
}

void release(void* p) {
  if (!p) return;
  void* block = static_cast<char*>(p) - HEADER;
  g_live -= *static_cast<std::size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return allocate(n);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }

namespace {

namespace fs = std::filesystem;

// pluvo without arguments: the dialogue on standard input.
const char* const PLUVO_ARGV[] = {"pluvo", nullptr};

std::string read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// What a run wrote, with the line ends it meant: text mode writes CR LF on
// Windows, where the expected texts of the cases hold LF.
std::string read_output(const fs::path& path) {
  std::string text = read_all(path);
#ifdef _WIN32
  std::string meant;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) meant += text[i];
  }
  text.swap(meant);
#endif
  return text;
}

struct Outcome {
  int code = 0;
  std::string out;
  std::string err;
  bool injected = false;  // the chosen allocation was reached and failed
};

// Runs `entry` in `dir` with standard input from `stdin_path` and standard
// output and error on files, the allocation number `fail_at` failing.
template <class Entry>
Outcome run_in(const fs::path& dir, const fs::path& stdin_path, long fail_at, Entry&& entry) {
  const fs::path out_path = dir / "stdout.txt";
  const fs::path err_path = dir / "stderr.txt";
  std::fflush(stdout);
  std::fflush(stderr);
  const int saved[3] = {dup(0), dup(1), dup(2)};
  const int in = open(stdin_path.string().c_str(), O_RDONLY);
  const int out = open(out_path.string().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = open(err_path.string().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(in, 0);
  dup2(out, 1);
  dup2(err, 2);
  close(in);
  close(out);
  close(err);
  const fs::path cwd = fs::current_path();
  fs::current_path(dir);

  Outcome o;
  g_failed = false;
  g_countdown = fail_at;
  o.code = entry();
  g_countdown = -1;
  o.injected = g_failed;

  fs::current_path(cwd);
  std::fflush(stdout);
  std::fflush(stderr);
  for (int fd = 0; fd < 3; ++fd) {
    dup2(saved[fd], fd);
    close(saved[fd]);
  }
  o.out = read_output(out_path);
  o.err = read_output(err_path);
  return o;
}

// A fresh working directory holding the input files of an e2e case.
fs::path working_copy(const std::string& name, const fs::path& case_dir) {
  const fs::path dir = fs::path(::testing::TempDir()) / ("alloc-" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy(case_dir / "in", dir, fs::copy_options::recursive);
  return dir;
}

const fs::path CASES = fs::path(E2E_CASES_DIR);
constexpr long MAX_ALLOCATIONS = 200000;  // far more than a small run makes

TEST(AllocationFailures, TabsumEndsWithNotEnoughMemory) {
  const fs::path case_dir = CASES / "tabsum" / "worked-example";
  const fs::path dir = working_copy("tabsum", case_dir);
  const std::string complete = read_all(case_dir / "expect" / "stdout");
  const char* argv[] = {"tabsum", "in.txt", "out.txt", "3"};
  long k = 0;
  for (; k < MAX_ALLOCATIONS; ++k) {
    const Outcome o = run_in(dir, "/dev/null", k, [&] { return tabsum::run_program(4, argv); });
    if (!o.injected) {
      EXPECT_EQ(o.code, 0);
      EXPECT_EQ(o.out, complete);
      break;
    }
    ASSERT_EQ(o.code, 1) << "allocation " << k;
    ASSERT_TRUE(o.out.ends_with("not enough memory\n")) << "allocation " << k << ":\n" << o.out;
    // The banner comes first unless the console itself could not be made.
    if (!o.out.starts_with("aggregating korin table-files\n")) {
      EXPECT_EQ(o.out, "not enough memory\n");
    }
    ASSERT_EQ(o.err, "") << "allocation " << k;
  }
  EXPECT_GT(k, 0);
  EXPECT_LT(k, MAX_ALLOCATIONS);
}

TEST(AllocationFailures, PluvoEndsWithTheCodeOfTheStorage) {
  const fs::path case_dir = CASES / "pluvo" / "three-groups-two-days";
  const fs::path dir = working_copy("pluvo", case_dir);
  const std::string complete = read_all(case_dir / "expect" / "stdout");
  // Codes in the order in which the run first meets them.
  std::vector<int> first_met;
  long k = 0;
  for (; k < MAX_ALLOCATIONS; ++k) {
    const Outcome o = run_in(dir, case_dir / "stdin", k, [] { return pluvo::run_program(1, PLUVO_ARGV); });
    if (!o.injected) {
      EXPECT_EQ(o.code, 0);
      EXPECT_EQ(o.out, complete);
      break;
    }
    ASSERT_EQ(o.err, "Speicherbelegungsfehler ! (" + std::to_string(o.code) + ")\n") << "allocation " << k;
    if (std::find(first_met.begin(), first_met.end(), o.code) == first_met.end()) first_met.push_back(o.code);
  }
  EXPECT_LT(k, MAX_ALLOCATIONS);
  // The buffers of the console and the files, the start-up storage in its
  // order, the first station header's work buffer, the interpolation.
  EXPECT_EQ(first_met, (std::vector<int>{18, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 1, 2}));
}

// Each block that the run obtains under its own code, failed by the seam.
TEST(AllocationCodes, EachStorageEndsWithItsCode) {
  const fs::path case_dir = CASES / "pluvo" / "three-groups-two-days";
  const fs::path dir = working_copy("pluvo-codes", case_dir);
  const std::string complete = read_all(case_dir / "expect" / "stdout");
  const std::string banner_and_init = complete.substr(0, complete.find("Parametereingabe ...\n"));
  const struct {
    int code;
    std::string stdout_is;  // the console up to the failure
  } cases[] = {
      {18, ""},
      {3, ""},
      {4, ""},
      {5, ""},
      {6, ""},
      {7, ""},
      {8, ""},
      {9, ""},
      {10, ""},
      {11, ""},
      {16, banner_and_init},
      {17, banner_and_init},
      {1, complete.substr(0, complete.find("Station  0"))},
      {2, complete.substr(0, complete.size() - 2)},  // all but the progress mark and the closing line
  };
  for (const auto& c : cases) {
    const auto code = static_cast<pluvo::ExitCode>(c.code);
    const Outcome o = run_in(dir, case_dir / "stdin", -1, [&] { return pluvo::run_program(1, PLUVO_ARGV, code); });
    EXPECT_EQ(o.code, c.code);
    EXPECT_EQ(o.err, "Speicherbelegungsfehler ! (" + std::to_string(c.code) + ")\n");
    EXPECT_EQ(o.out, c.stdout_is) << c.code;
  }
  // The storage of the interpolation is met after the first six rows.
  const std::string rows = read_output(dir / "out.txt");
  const std::string expected_rows = read_all(case_dir / "expect" / "files" / "out.txt");
  std::size_t eleven_lines = 0;
  for (int i = 0; i < 11; ++i) eleven_lines = expected_rows.find('\n', eleven_lines) + 1;
  EXPECT_EQ(rows, expected_rows.substr(0, eleven_lines));
}

// Memory bounded by the work, not by a line: lines of 32 MB (a file
// without a line end, a header row, a text behind the first data line's
// value) are read, copied and shown in pieces.
TEST(MemoryBound, LongLinesTakeLittleMemory) {
  const fs::path dir = fs::path(::testing::TempDir()) / "alloc-long-lines";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string long_text(32u << 20, 'x');
  const struct {
    const char* what;
    std::string input;
    int code;
  } cases[] = {
      {"no line end", long_text, 1},
      {"a long header row", long_text + "\n2019 1 1 1 1.0\n2019 1 1 2 2.0\n", 0},
      {"a long text behind the value", "2019 1 1 1 1.0 " + long_text + "\n2019 1 1 2 2.0\n", 0},
  };
  for (const auto& c : cases) {
    {
      std::ofstream in(dir / "in.txt", std::ios::binary);
      in << c.input;
    }
    const char* argv[] = {"tabsum", "in.txt", "out.txt", "24"};
    g_peak = g_live;
    const std::size_t before = g_live;
    const Outcome o = run_in(dir, "/dev/null", -1, [&] { return tabsum::run_program(4, argv); });
    EXPECT_EQ(o.code, c.code) << c.what;
    EXPECT_LT(g_peak - before, std::size_t{4} << 20) << c.what << ": " << (g_peak - before) << " bytes at once";
  }
  fs::remove_all(dir);
}

#ifndef _WIN32
// From a pipe, whose start is kept for the header copy: beyond a megabyte
// it is kept in a temporary file, not in memory.
TEST(MemoryBound, LongLinesFromAPipeTakeLittleMemory) {
  const fs::path dir = fs::path(::testing::TempDir()) / "alloc-long-lines-fifo";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string long_text(32u << 20, 'x');
  const struct {
    const char* what;
    std::string input;
    int code;
    const char* last_line;
  } cases[] = {
      {"no line end", long_text, 1, "no valid row found for analysing the columns (first row that starts with a number)\n"},
      {"a long header row", long_text + "\n2019 1 1 1 1.0\n2019 1 1 2 2.0\n", 0, "ready..\n"},
  };
  for (const auto& c : cases) {
    const fs::path fifo = dir / "in.txt";
    fs::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.string().c_str(), 0600), 0);
    std::thread writer([&] {
      std::ofstream out(fifo, std::ios::binary);
      out << c.input;
    });
    const char* argv[] = {"tabsum", "in.txt", "out.txt", "24"};
    g_peak = g_live;
    const std::size_t before = g_live;
    const Outcome o = run_in(dir, "/dev/null", -1, [&] { return tabsum::run_program(4, argv); });
    writer.join();
    EXPECT_EQ(o.code, c.code) << c.what;
    EXPECT_TRUE(o.out.ends_with(c.last_line)) << c.what;
    EXPECT_LT(g_peak - before, std::size_t{4} << 20) << c.what << ": " << (g_peak - before) << " bytes at once";
  }
  fs::remove_all(dir);
}
#endif

}  // namespace
