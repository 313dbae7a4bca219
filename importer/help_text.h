// What "stationfile --help" prints.
#pragma once

#include <string>

namespace stationfile {

std::string help_text();

}  // namespace stationfile
