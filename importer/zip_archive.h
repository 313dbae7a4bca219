// The zips the German Weather Service ships (stundenwerte_RR_*.zip): one
// product file and its metadata files, each stored or deflated. The
// archive's directory is read here; zlib inflates the members, so no
// compression code of our own stands between the user and the values.
//
// Quirks accepted: members stored or deflated (methods 0 and 8), names
// in any case; refused: ZIP64 archives, encrypted members and archives
// split over several files, none of which the service ships.
#pragma once

#include <string>
#include <string_view>

namespace stationfile {

// True when the file begins with the signature of a zip archive's first
// member ("PK\3\4"). False for a file that cannot be read: its reader
// then names the failure.
bool looks_like_zip(const std::string& path);

// The whole file, raw; false when it cannot be opened or read.
bool read_raw_file(const std::string& path, std::string& bytes);

// Unpacks the first member whose name (after any folder) starts with
// `prefix` into `text` and its name into `member`. Returns false when the
// archive has no such member; throws BAD_ZIP (naming `archive_name`) for
// an archive it cannot read and a member whose check sum is wrong.
bool unpack_zip_member(std::string_view archive, const std::string& archive_name, std::string_view prefix,
                       std::string& member, std::string& text);

}  // namespace stationfile
