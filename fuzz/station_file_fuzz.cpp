// pluvo's station header and record reader on one station file.
//
// Layout of the input: a byte that chooses the first station index of the
// file, the factor of the values and whether the white space behind a
// record is skipped; the rest is the file. The header must take every
// station it lists from that index on, write nothing outside them, and end
// only with its read-error codes; the records are read up to the end of
// the file and may only end with theirs. A file without CR and 0x1A bytes
// is read a second time with CR LF line ends and a 0x1A followed by more
// text: text mode must give the same stations, records and messages.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "exit_codes.h"
#include "fatal_error.h"
#include "fuzz_support.h"
#include "record_reader.h"
#include "run_state.h"
#include "station_header.h"

namespace {

constexpr double CANARY = -12345.678;
constexpr char NAME_CANARY = '#';
// The codes of the hourly advance's ANETZ reads.
constexpr pluvo::ExitCode STAMP_CODE = pluvo::READ_ANETZ_STAMP;
constexpr pluvo::ExitCode VALUE_CODE = pluvo::READ_ANETZ_VALUE;

void fill_canaries(pluvo::StationTable& t) {
  std::fill(t.height.begin(), t.height.end(), CANARY);
  std::fill(t.x.begin(), t.x.end(), CANARY);
  std::fill(t.y.begin(), t.y.end(), CANARY);
  for (auto& cell : t.name) cell.fill(NAME_CANARY);
}

// Only the stations first..first + count - 1 may have been written.
void check_untouched_outside(const pluvo::StationTable& t, int first, int count) {
  for (int i = 0; i <= t.room(); ++i) {
    if (i >= first && i < first + count) continue;
    if (t.height[i] != CANARY || t.x[i] != CANARY || t.y[i] != CANARY) {
      fuzz::finding("station " + std::to_string(i) + " written, outside stations " + std::to_string(first) + ".." +
                    std::to_string(first + count - 1));
    }
    if (i >= 1) {
      for (char c : t.name[i - 1]) {
        if (c != NAME_CANARY) fuzz::finding("name of station " + std::to_string(i) + " written outside the file's");
      }
    }
  }
}

// A failure must be a read error between the two codes, with its row's
// message and stream.
void check_read_error(const textio::FatalError& e, pluvo::ExitCode lowest, pluvo::ExitCode highest) {
  const pluvo::CodeRow* row = pluvo::code_row(e.code);
  if (e.code < lowest || e.code > highest || row == nullptr || row->message != pluvo::Message::READ ||
      e.to_stderr != row->to_stderr || e.message != pluvo::failure(row->code).message) {
    fuzz::finding("unexpected end: code " + std::to_string(e.code) + ", " + fuzz::escaped(e.message));
  }
}

void put_bits(std::string& s, double v) {
  s += std::to_string(std::bit_cast<std::uint64_t>(v));
  s += ' ';
}

// Everything one reading of the file gives, as text that two readings can
// compare: console, header code, stations, records and the final code.
std::string read_station_file(const std::string& text, int first, double factor, bool skip, std::size_t size) {
  // Kept from one input to the next, with everything the header reader
  // reads set back: readers obtained afresh for every input make the page
  // faults of their blocks cost more than the reading.
  static textio::OutputBuffer console(nullptr, 1 << 12);
  static textio::TextReader dialogue;
  static pluvo::PluvoRun run(console, dialogue);
  static pluvo::HeaderBuffers buffers;
  static pluvo::StationGroup group;
  textio::TextReader& file = group.file;
  console.take_captured();
  buffers.line.clear();
  for (std::string& word : buffers.words) word.clear();
  fill_canaries(run.stations);

  const std::string name = fuzz::private_path("station.txt");
  fuzz::write_file(name, text);
  std::string seen;
  // Counts that no header gives, so that one left unset is seen.
  group.first = first;
  group.last = first - 2;
  try {
    pluvo::read_station_header(run, buffers, group, name);
  } catch (const textio::FatalError& e) {
    check_read_error(e, pluvo::READ_X_LABELS, pluvo::READ_NAME);
    check_untouched_outside(run.stations, first, run.stations.room() - first + 1);
    return console.take_captured() + "\nheader code " + std::to_string(e.code);
  }
  const int count = group.count();
  if (count < 0 || group.last > run.stations.room()) {
    fuzz::finding("header from index " + std::to_string(first) + " took " + std::to_string(count) +
                  " stations in a table of " + std::to_string(run.stations.room()));
  }
  check_untouched_outside(run.stations, first, count);
  seen = console.take_captured() + "\n" + std::to_string(count) + " stations\n";
  const int last = first + count - 1;
  for (int i = first; i <= last; ++i) {
    put_bits(seen, run.stations.height[i]);
    put_bits(seen, run.stations.x[i]);
    put_bits(seen, run.stations.y[i]);
    seen.append(run.stations.name[i - 1].data(), pluvo::NAME_CELL);
    seen += '\n';
  }

  // The records, as the start synchronisation reads them.
  file.rewind();
  for (int i = 0; i < pluvo::HEADER_LINES; ++i) file.skip_line();
  // Exactly as long as the stations need, so that a write beyond is seen.
  std::vector<double> values(static_cast<std::size_t>(last + 1));
  pluvo::DateHour stamp{};
  try {
    for (std::size_t records = 0; !file.eof(); ++records) {
      if (records > size) fuzz::finding("more records than bytes");
      pluvo::read_record(file, pluvo::RecordTarget{&stamp, values.data(), first, last}, factor,
                         {STAMP_CODE, VALUE_CODE}, skip);
      seen += std::to_string(stamp.year) + " " + std::to_string(stamp.month) + " " + std::to_string(stamp.day) + " " +
              std::to_string(stamp.hour) + ": ";
      for (int i = first; i <= last; ++i) put_bits(seen, values[static_cast<std::size_t>(i)]);
      seen += '\n';
    }
    seen += "end of file";
  } catch (const textio::FatalError& e) {
    check_read_error(e, STAMP_CODE, VALUE_CODE);
    seen += "record code " + std::to_string(e.code);
  }
  return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ByteSource in(data, size);
  const unsigned choice = in.byte();
  static const int FIRST_INDEX[] = {1, 1, 2, 5, 50, 96, 100, 101};
  const int first = FIRST_INDEX[choice & 7];
  const double factor = (choice & 8) ? 10.0 : 1.0;
  const bool skip = choice & 16;
  const std::string text(in.rest());

  const std::string seen = read_station_file(text, first, factor, skip, size);
  if (text.find_first_of("\r\x1a") == std::string::npos) {
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    crlf += "\x1a" "1990 1 1 1 5 5 5\r\n";
    const std::string again = read_station_file(crlf, first, factor, skip, size);
    if (again != seen) {
      fuzz::finding("CR LF and 0x1A change the reading:\n" + fuzz::escaped(seen, 400) + "\n" +
                    fuzz::escaped(again, 400));
    }
  }
  return 0;
}
