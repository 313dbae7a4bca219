#include "station_header.h"

#include <cstring>

#include "fatal_errors.h"
#include "number_scan.h"

namespace pluvo {
namespace {

constexpr int LABEL_WIDTH = 11;  // "YY\tMM\tDD\tHH"

// A line read that finds nothing leaves the buffer as it was; a failed read
// ends the run with `code`.
void read_line_keep(HeaderBuffers& buffers, textio::TextReader& file, ExitCode code) {
  std::string& scratch = buffers.words[3];
  const bool got_line = file.read_line(scratch);
  if (file.read_failed()) fatal_read_error(code);
  if (got_line) buffers.line.swap(scratch);
}

double word_value(const std::string& word) { return textio::decimal_prefix_value(word); }

void read_labels(HeaderBuffers& buffers, textio::TextReader& file, ExitCode code) {
  for (std::string& word : buffers.words) {
    if (file.scan_word(word) != textio::SCAN_OK || file.read_failed()) fatal_read_error(code);
  }
}

// Reads one word per station of the group.
template <class Store>
void read_station_words(HeaderBuffers& buffers, StationGroup& group, ExitCode code, Store&& store) {
  textio::TextReader& file = group.file;
  std::string& word = buffers.words[0];
  for (int i = group.first; i <= group.last; ++i) {
    if (file.scan_word(word) != textio::SCAN_OK || file.read_failed()) fatal_read_error(code);
    store(i, word);
  }
}

// The words of the height line: blank-separated runs, from `at` on; each
// call gives the next one, or false when there is none.
bool next_height_word(const std::string& line, std::size_t& at, std::size_t& word_end) {
  at = line.find_first_not_of(' ', at);
  if (at == std::string::npos) return false;
  word_end = line.find(' ', at);
  return true;
}

}  // namespace

int substring_index(const std::string& s, const std::string& sub) {
  const std::size_t at = std::string_view(s.c_str()).find(sub);
  return at == std::string_view::npos ? 0 : static_cast<int>(at);
}

std::string& substring_in_place(std::string& s, int start, int n) {
  if (start < 0 || n < 0) return s;
  const std::size_t length = std::strlen(s.c_str());
  const std::size_t from = std::min<std::size_t>(static_cast<std::size_t>(start), length);
  const std::size_t to = std::min<std::size_t>(static_cast<std::size_t>(start) + static_cast<std::size_t>(n) + 1, length);
  s = s.substr(from, to > from ? to - from : 0);
  return s;
}

void ensure_station_room(PluvoRun& run, int last) {
  StationTable& t = run.stations;
  if (last <= t.room()) return;
  const auto slots = static_cast<std::size_t>(last) + 1;
  obtain_storage(run.seam, ALLOC_HEADER_WORK, [&] {
    t.height.resize(slots, 0.0);
    t.x.resize(slots, 0.0);
    t.y.resize(slots, 0.0);
    t.name.resize(slots - 1);
  });
}

void read_station_header(PluvoRun& run, HeaderBuffers& buffers, StationGroup& group, const std::string& file_name) {
  textio::TextReader& file = group.file;
  const int first = group.first;
  std::string work;
  obtain_storage(run.seam, ALLOC_HEADER_WORK, [&] { work.reserve(FIRST_ROOM_STATIONS * NAME_CELL); });
  // Lines are counted for the messages that say where a read failed.
  file.count_lines();
  run.notes.header_group = &group;
  run.notes.header_file_name = &file_name;
  if (!file.open(file_name)) fatal_stop(OPEN_STATION_FILE, {.name = file_name});

  // Lines 1 and 2 are not checked; only a failed read ends the run there,
  // with the code of the header's first checked read.
  read_line_keep(buffers, file, READ_X_LABELS);  // the title
  read_line_keep(buffers, file, READ_X_LABELS);
  std::string line = buffers.line.c_str();
  substring_in_place(line, 0, substring_index(line, "\n") - 1);
  line += ' ';
  substring_in_place(line, LABEL_WIDTH, static_cast<int>(line.size()) - LABEL_WIDTH - 1);
  for (char& c : line) {
    if (c == '\t') c = ' ';
  }

  // The heights: words separated by blanks. They are counted first, so
  // that the table's room is obtained once for the whole header.
  int count = 0;
  std::size_t at = 0;
  std::size_t word_end = 0;
  for (; next_height_word(line, at, word_end); at = word_end) ++count;
  ensure_station_room(run, first + count - 1);
  count = 0;
  for (at = 0; next_height_word(line, at, word_end); at = word_end) {
    work.assign(line, at, word_end - at);
    const double height = word_value(work);
    run.stations.height[first + count] = height;
    run.console.put("Station ");
    run.console.put_int(count, 2);
    run.console.put(", Hoehe ");
    run.console.put_fixed(height, 4, 10);
    run.console.put('\n');
    ++count;
  }
  // The split consumes the height line: the line buffer is left empty, and
  // that is what a later header takes for its height line when its file
  // ends within its first two lines.
  buffers.line.clear();
  group.last = first + count - 1;
  run.console.put("*anzahl ");
  run.console.put_int(count);
  run.console.put('\n');

  read_labels(buffers, file, READ_X_LABELS);
  read_station_words(buffers, group, READ_X,
                     [&](int i, const std::string& w) { run.stations.x[i] = word_value(w); });
  read_labels(buffers, file, READ_Y_LABELS);
  read_station_words(buffers, group, READ_Y,
                     [&](int i, const std::string& w) { run.stations.y[i] = word_value(w); });
  read_labels(buffers, file, READ_NAME_LABELS);
  read_station_words(buffers, group, READ_NAME, [&](int i, const std::string& w) {
    std::array<char, NAME_CELL>& cell = run.stations.name[i - 1];
    cell.fill('\0');
    std::memcpy(cell.data(), w.c_str(), std::min<std::size_t>(std::strlen(w.c_str()), NAME_CELL - 1));
  });
  read_line_keep(buffers, file, READ_NAME);  // the rest of line 5
  if (!file.rewind()) fatal_read_error(READ_NAME);
}

}  // namespace pluvo
