// Where a failure in a station file happened, in one line on standard
// error before its message: the file, the line, what was sought there and
// what was found. The message and the code stay those of the code table.
#pragma once

#include "run_state.h"

namespace pluvo {

// For a read failure of a station file (301 to 322): the file and line the
// group's reader stands on, the fields that did not convert and the text
// found instead; for an ANETZ search that ran to the end of the file, also
// the stamps of its first and last record.
void note_read_failure(PluvoRun& run, int code);

// For a Klima or Sammler record whose stamp is not the ANETZ hour's (105,
// 106): the record's line, the stamp sought and the stamp found.
void note_time_mismatch(PluvoRun& run, const StationGroup& group, std::uint64_t line, const DateHour& sought,
                        const DateHour& found);

// "D.M.YYYY hour H".
std::string date_and_hour(int day, int month, int year, int hour);

}  // namespace pluvo
