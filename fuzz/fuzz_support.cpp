#include "fuzz_support.h"

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace fuzz {
namespace {

std::string make_private_dir() {
  std::error_code ec;
  std::filesystem::path base = "/dev/shm";
  if (!std::filesystem::is_directory(base, ec)) base = std::filesystem::temp_directory_path();
  std::string pattern = (base / "hydro-fuzz-XXXXXX").string();
  if (!mkdtemp(pattern.data())) finding("cannot create a private directory under " + base.string());
  return pattern;
}

std::string dir_to_remove;

void remove_private_dir() {
  std::error_code ec;
  if (!dir_to_remove.empty()) std::filesystem::remove_all(dir_to_remove, ec);
}

}  // namespace

const std::string& private_dir() {
  static const std::string dir = [] {
    std::string d = make_private_dir();
    dir_to_remove = d;
    std::atexit(remove_private_dir);
    return d;
  }();
  return dir;
}

std::string private_path(std::string_view name) { return private_dir() + "/" + std::string(name); }

void write_file(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) finding("cannot create " + path);
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) finding("cannot write " + path);
}

std::string read_file(const std::string& path) {
  std::string s;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return s;
  char buf[1 << 16];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
  std::fclose(f);
  return s;
}

void limit_file_size(std::size_t bytes) {
  rlimit limit{};
  limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(bytes);
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) finding("cannot limit the file size");
}

std::string escaped(std::string_view s, std::size_t limit) {
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size() && i < limit; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
  if (s.size() > limit) out += "... (" + std::to_string(s.size()) + " bytes)";
  return out;
}

}  // namespace fuzz
