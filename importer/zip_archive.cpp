#include "zip_archive.h"

#include <zlib.h>

#include <cstdint>

#include "exit_codes.h"
#include "platform_io.h"

namespace stationfile {
namespace {

constexpr std::uint32_t LOCAL_HEADER = 0x04034b50;
constexpr std::uint32_t CENTRAL_HEADER = 0x02014b50;
constexpr std::uint32_t END_OF_DIRECTORY = 0x06054b50;
constexpr std::size_t END_RECORD_SIZE = 22;
constexpr std::size_t CENTRAL_HEADER_SIZE = 46;
constexpr std::size_t LOCAL_HEADER_SIZE = 30;
// The longest comment an archive can end with.
constexpr std::size_t MAX_COMMENT = 0xFFFF;

std::uint32_t le16(std::string_view b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}
std::uint32_t le32(std::string_view b, std::size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

[[noreturn]] void bad_zip(const std::string& name, const char* why) {
  throw failure(Failure::BAD_ZIP, name + ": " + why);
}

// Offset of the end-of-directory record, searched backwards over a comment.
std::size_t find_end_record(std::string_view b, const std::string& name) {
  if (b.size() < END_RECORD_SIZE) bad_zip(name, "too short for a zip archive");
  const std::size_t lowest = b.size() > END_RECORD_SIZE + MAX_COMMENT ? b.size() - END_RECORD_SIZE - MAX_COMMENT : 0;
  for (std::size_t at = b.size() - END_RECORD_SIZE + 1; at-- > lowest;) {
    if (le32(b, at) == END_OF_DIRECTORY && at + END_RECORD_SIZE + le16(b, at + 20) == b.size()) return at;
  }
  bad_zip(name, "no zip directory at its end");
}

void inflate_member(std::string_view packed, std::size_t size, const std::string& name, std::string& text) {
  text.resize(size);
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) bad_zip(name, "zlib cannot start");
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  z.avail_in = static_cast<uInt>(packed.size());
  z.next_out = reinterpret_cast<Bytef*>(text.data());
  z.avail_out = static_cast<uInt>(text.size());
  const int status = inflate(&z, Z_FINISH);
  const bool whole = status == Z_STREAM_END && z.total_out == size;
  inflateEnd(&z);
  if (!whole) bad_zip(name, "a member does not inflate to its size");
}

}  // namespace

bool read_raw_file(const std::string& path, std::string& bytes) {
  const int fd = textio::platform_open_read(path);
  if (fd < 0) return false;
  bytes.clear();
  char block[1 << 16];
  long long got = 0;
  while ((got = textio::platform_read(fd, block, sizeof block)) > 0) bytes.append(block, static_cast<std::size_t>(got));
  const bool closed = textio::platform_close(fd);
  return got == 0 && closed;
}

bool looks_like_zip(const std::string& path) {
  const int fd = textio::platform_open_read(path);
  if (fd < 0) return false;
  char head[4] = {};
  std::size_t have = 0;
  long long got = 0;
  while (have < sizeof head && (got = textio::platform_read(fd, head + have, sizeof head - have)) > 0) {
    have += static_cast<std::size_t>(got);
  }
  textio::platform_close(fd);
  return have == sizeof head && le32(std::string_view(head, sizeof head), 0) == LOCAL_HEADER;
}

bool unpack_zip_member(std::string_view b, const std::string& name, std::string_view prefix, std::string& member,
                       std::string& text) {
  const std::size_t end = find_end_record(b, name);
  if (le16(b, end + 4) != 0 || le16(b, end + 6) != 0) bad_zip(name, "an archive split over several files");
  const std::size_t entries = le16(b, end + 10);
  std::size_t at = le32(b, end + 16);
  if (entries == 0xFFFF || at == 0xFFFFFFFF) bad_zip(name, "a ZIP64 archive");
  for (std::size_t i = 0; i < entries; ++i) {
    if (at + CENTRAL_HEADER_SIZE > end || le32(b, at) != CENTRAL_HEADER) bad_zip(name, "a damaged zip directory");
    const std::uint32_t flags = le16(b, at + 8);
    const std::uint32_t method = le16(b, at + 10);
    const std::uint32_t crc = le32(b, at + 16);
    const std::size_t packed_size = le32(b, at + 20);
    const std::size_t size = le32(b, at + 24);
    const std::size_t name_length = le16(b, at + 28);
    const std::size_t skip = name_length + le16(b, at + 30) + le16(b, at + 32);
    const std::size_t local = le32(b, at + 42);
    if (at + CENTRAL_HEADER_SIZE + name_length > end) bad_zip(name, "a damaged zip directory");
    const std::string_view path = b.substr(at + CENTRAL_HEADER_SIZE, name_length);
    at += CENTRAL_HEADER_SIZE + skip;
    const std::size_t slash = path.find_last_of('/');
    const std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (!base.starts_with(prefix)) continue;
    if (flags & 1) bad_zip(name, "an encrypted member");
    if (local + LOCAL_HEADER_SIZE > b.size() || le32(b, local) != LOCAL_HEADER) bad_zip(name, "a damaged member");
    const std::size_t data = local + LOCAL_HEADER_SIZE + le16(b, local + 26) + le16(b, local + 28);
    if (data > b.size() || packed_size > b.size() - data) bad_zip(name, "a member cut short");
    // Deflate packs at most 1032 bytes into one: a member said to be larger
    // is damaged, and is refused before its room is obtained.
    if (size / 1032 > packed_size + 1) bad_zip(name, "a member larger than its packed size allows");
    const std::string_view packed = b.substr(data, packed_size);
    if (method == 0 && packed_size == size) {
      text.assign(packed);
    } else if (method == 8) {
      inflate_member(packed, size, name, text);
    } else {
      bad_zip(name, "a member packed by a method other than deflate");
    }
    const uLong sum = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(text.data()),
                            static_cast<uInt>(text.size()));
    if (sum != crc) bad_zip(name, "a member whose check sum is wrong");
    member.assign(base);
    return true;
  }
  return false;
}

}  // namespace stationfile
