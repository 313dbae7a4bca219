// The prompts of the parameter dialogue, in the order they are asked.
#pragma once

namespace pluvo {

inline constexpr const char* PROMPT_ANETZ = "hourly data         : ";
inline constexpr const char* PROMPT_KLIMA = "konventional data (2 or 3 values a day): ";
inline constexpr const char* PROMPT_SAMMLER = "daily sums (e.g. of prec.): ";
inline constexpr const char* PROMPT_OUTPUT = "output file: ";
inline constexpr const char* PROMPT_NODATA =
    " nodata value (e.g. 998: all values <-998 or > 998 will be interpreted as nodata values)\n";
inline constexpr const char* PROMPT_START_DAY = "starting day   : ";
inline constexpr const char* PROMPT_START_MONTH = "staring month  : ";
inline constexpr const char* PROMPT_START_YEAR = "staring year   : ";
inline constexpr const char* PROMPT_END_DAY = "end day   : ";
inline constexpr const char* PROMPT_END_MONTH = "end month : ";
inline constexpr const char* PROMPT_END_YEAR = "end year  : ";
inline constexpr const char* PROMPT_POWER = "weighting of the inverse distance (power) : ";
inline constexpr const char* PROMPT_MAX_DISTANCE = "maximum distance of e station to the interpolation cell: ";
inline constexpr const char* PROMPT_LOWER_LIMIT = "lower limit of values: ";
inline constexpr const char* PROMPT_LOWER_REPLACEMENT = "values below replacing with...: ";
inline constexpr const char* PROMPT_UPPER_LIMIT = "upper limit: ";
inline constexpr const char* PROMPT_UPPER_REPLACEMENT = "values grater than upper limit replacing with: ";

}  // namespace pluvo
