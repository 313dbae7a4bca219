// Comparing what a tool wrote with what a case expects, byte for byte, and
// describing the first difference so that it can be found at a glance.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// Collects mismatch lines; a case passes when nothing was collected.
struct Report {
  std::vector<std::string> problems;
  void add(const std::string& text) { problems.push_back(text); }
};

// Adds a description of the first difference, if any, to the report.
void compare_bytes(const std::string& what, const std::string& expected, const std::string& actual,
                   Report& report);

}  // namespace e2e
