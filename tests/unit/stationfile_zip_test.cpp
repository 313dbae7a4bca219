// Unpacking the service's zips: a fixture zipped as the service ships its
// files (tests/fixtures/dwd-ruhr, Datenbasis: Deutscher Wetterdienst), a
// stored member built here, and damaged archives.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "importer/exit_codes.h"
#include "importer/zip_archive.h"

namespace stationfile {
namespace {

const std::string FIXTURES = std::string(E2E_CASES_DIR) + "/../../fixtures/dwd-ruhr/";
const std::string ZIP = FIXTURES + "stundenwerte_RR_01303_20100605_20100610_hist.zip";

std::string raw(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(read_raw_file(path, bytes)) << path;
  return bytes;
}

void put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8 & 0xFF);
}
void put32(std::string& s, unsigned long v) {
  put16(s, static_cast<unsigned>(v & 0xFFFF));
  put16(s, static_cast<unsigned>(v >> 16 & 0xFFFF));
}

// A zip of one stored member, laid out as the format describes it.
std::string stored_zip(const std::string& name, const std::string& text) {
  const unsigned long crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(text.data()),
                                  static_cast<uInt>(text.size()));
  std::string z;
  put32(z, 0x04034b50);
  put16(z, 20), put16(z, 0), put16(z, 0), put16(z, 0), put16(z, 0);
  put32(z, crc), put32(z, text.size()), put32(z, text.size());
  put16(z, static_cast<unsigned>(name.size())), put16(z, 0);
  z += name + text;
  const std::size_t directory = z.size();
  put32(z, 0x02014b50);
  put16(z, 20), put16(z, 20), put16(z, 0), put16(z, 0), put16(z, 0), put16(z, 0);
  put32(z, crc), put32(z, text.size()), put32(z, text.size());
  put16(z, static_cast<unsigned>(name.size())), put16(z, 0), put16(z, 0), put16(z, 0), put16(z, 0);
  put32(z, 0), put32(z, 0);
  z += name;
  const std::size_t directory_size = z.size() - directory;
  put32(z, 0x06054b50);
  put16(z, 0), put16(z, 0), put16(z, 1), put16(z, 1);
  put32(z, directory_size), put32(z, directory);
  put16(z, 0);
  return z;
}

std::string unpack_failure(const std::string& archive) {
  std::string member, text;
  try {
    unpack_zip_member(archive, "a.zip", "produkt_", member, text);
  } catch (const textio::FatalError& f) {
    return f.message;
  }
  return "no failure";
}

TEST(ZipArchive, DeflatedMemberOfTheServicesZip) {
  EXPECT_TRUE(looks_like_zip(ZIP));
  EXPECT_FALSE(looks_like_zip(FIXTURES + "produkt_rr_stunde_19950901_20191231_01303.txt"));
  std::string member, text;
  ASSERT_TRUE(unpack_zip_member(raw(ZIP), "z.zip", "produkt_", member, text));
  EXPECT_EQ(member, "produkt_rr_stunde_19950901_20191231_01303.txt");
  EXPECT_EQ(text, raw(FIXTURES + member));
  ASSERT_TRUE(unpack_zip_member(raw(ZIP), "z.zip", "Metadaten_Geographie_", member, text));
  EXPECT_TRUE(text.starts_with("Stations_id;Stationshoehe;"));
  EXPECT_FALSE(unpack_zip_member(raw(ZIP), "z.zip", "Metadaten_Geraete_", member, text));
}

TEST(ZipArchive, StoredMemberInAFolder) {
  std::string member, text;
  ASSERT_TRUE(unpack_zip_member(stored_zip("sub/produkt_x.txt", "stored text\r\n"), "s.zip", "produkt_", member, text));
  EXPECT_EQ(member, "produkt_x.txt");
  EXPECT_EQ(text, "stored text\r\n");
}

TEST(ZipArchive, DamagedArchivesAreNamed) {
  const std::string good = raw(ZIP);
  std::string cut = good.substr(0, good.size() - 1);
  std::string flipped = good;
  flipped[good.find("produkt_") + 50] ^= 0x55;  // inside the deflated data of the member after its name
  std::string bad_sum = stored_zip("produkt_x.txt", "text");
  bad_sum[bad_sum.find("produkt_x.txt") + 13] = 'T';
  EXPECT_EQ(unpack_failure(cut), "stationfile: cannot unpack a.zip: no zip directory at its end\n");
  EXPECT_EQ(unpack_failure("PK"), "stationfile: cannot unpack a.zip: too short for a zip archive\n");
  EXPECT_EQ(unpack_failure(bad_sum), "stationfile: cannot unpack a.zip: a member whose check sum is wrong\n");
  const std::string damaged = unpack_failure(flipped);
  EXPECT_TRUE(damaged == "stationfile: cannot unpack a.zip: a member does not inflate to its size\n" ||
              damaged == "stationfile: cannot unpack a.zip: a member whose check sum is wrong\n")
      << damaged;
}

}  // namespace
}  // namespace stationfile
