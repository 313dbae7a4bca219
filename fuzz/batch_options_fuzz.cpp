// pluvo's command line for scripts: every argument that can be used sets a
// run parameter that the run can use, and every other one is refused with
// one line. The strict conversion of a number must agree with strtod, its
// plain twin, wherever the text is wholly a decimal number, bit for bit.
//
// Input: the arguments, one per line.

#include <cerrno>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "batch_options.h"
#include "fuzz_support.h"

namespace {

bool is_leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int month_length(int month, int year) {
  static const int LENGTH[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && is_leap(year) ? 29 : LENGTH[month - 1];
}

// Only digits, signs, one decimal point and one exponent: the texts on which
// strtod and the strict conversion mean the same.
bool plain_decimal(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E')) return false;
  }
  return true;
}

void check_number(const std::string& text) {
  double strict = 0.0;
  std::string problem;
  const bool accepted = pluvo::parse_strict_number(text, strict, problem);
  if (!plain_decimal(text)) {
    if (accepted && text.find_first_of("xXpP \t\n") != std::string::npos) {
      fuzz::finding("strict number accepted '" + text + "'");
    }
    return;
  }
  errno = 0;
  char* end = nullptr;
  const double twin = std::strtod(text.c_str(), &end);
  const bool twin_whole = end == text.c_str() + text.size() && end != text.c_str();
  // A double sign is no number for either; strtod takes "+-1" as nothing.
  const bool twin_accepts = twin_whole && errno == 0 && std::isfinite(twin);
  if (accepted && !twin_whole) fuzz::finding("strict number '" + text + "' is not wholly a number to strtod");
  if (accepted && std::memcmp(&twin, &strict, sizeof twin) != 0) {
    fuzz::finding("strict number '" + text + "' differs from strtod");
  }
  if (twin_accepts && !accepted && std::fpclassify(twin) == FP_NORMAL) {
    fuzz::finding("strict number refused '" + text + "' (" + problem + ")");
  }
}

void check_date(const std::string& text) {
  int day = 0;
  int month = 0;
  int year = 0;
  std::string problem;
  if (!pluvo::parse_strict_date(text, day, month, year, problem)) {
    if (problem.find("(D.M.YYYY or YYYY-MM-DD)") == std::string::npos) fuzz::finding("date refusal names no forms");
    return;
  }
  if (year < 100 || month < 1 || month > 12 || day < 1 || day > month_length(month, year)) {
    fuzz::finding("date '" + text + "' accepted as a day that does not exist");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args;
  std::size_t at = 0;
  // A line end ends the last argument; it starts no empty one.
  const std::size_t stop = text.ends_with('\n') ? text.size() - 1 : text.size();
  while (!text.empty() && at <= stop && args.size() < 64) {
    const std::size_t end = std::min(text.find('\n', at), stop);
    args.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  for (const std::string& a : args) {
    check_number(a);
    check_date(a);
    const std::size_t equals = a.find('=');
    if (equals != std::string::npos) {
      check_number(a.substr(equals + 1));
      check_date(a.substr(equals + 1));
    }
  }

  const std::vector<std::string_view> views(args.begin(), args.end());
  pluvo::BatchSettings settings;
  std::string message;
  if (!pluvo::parse_batch_arguments(views, settings, message)) {
    if (!message.starts_with("pluvo: ") || !message.ends_with('\n') || message.find('\n') != message.size() - 1) {
      fuzz::finding("refusal is not one line beginning 'pluvo: ': " + message);
    }
    return 0;
  }
  if (settings.source != pluvo::ParameterSource::options) return 0;
  const pluvo::RunParameters& p = settings.params;
  if (p.anetz_file_name.empty() || p.output_file_name.empty()) fuzz::finding("a run without its files");
  if (!(p.max_distance >= 0.0) || !std::isfinite(p.max_distance)) fuzz::finding("a maximum distance below 0");
  if (!(p.nodata > 0.0) || !std::isfinite(p.nodata)) fuzz::finding("a nodata threshold not above 0");
  if (!std::isfinite(p.power) || !std::isfinite(p.lower_limit) || !std::isfinite(p.lower_replacement)) {
    fuzz::finding("a parameter that is not finite");
  }
  if (std::isinf(p.upper_limit) && p.upper_replacement != 0.0) fuzz::finding("a replacement without an upper limit");
  if ((!p.klima_file_name.empty() || !p.sammler_file_name.empty()) && std::isinf(p.upper_limit) &&
      p.max_distance == 0.0) {
    // Allowed only when given as 0: the text must hold the option.
    if (text.find("--max-distance") == std::string::npos) fuzz::finding("targets without a maximum distance");
  }
  for (int y : {p.start_year, p.end_year}) {
    if (y < 100) fuzz::finding("a two-digit year taken");
  }
  if (p.start_hour != 1) fuzz::finding("a start hour other than 1");
  return 0;
}
