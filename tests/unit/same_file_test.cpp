// The same-file check of both tools: one existing file under every spelling
// a user may type, and no match for a different file of the same content or
// for a name that does not exist.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform_io.h"

namespace {

namespace fs = std::filesystem;

class SameFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / "same_file_test";
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "sub");
    write(dir_ / "data.txt");
    write(dir_ / "other.txt");  // the same content, another file
    fs::create_hard_link(dir_ / "data.txt", dir_ / "hard.txt");
    saved_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(saved_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  static void write(const fs::path& path) {
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("2019 1 1 0 1.0\n", f);
    std::fclose(f);
  }

  fs::path dir_;
  fs::path saved_;
};

TEST_F(SameFile, EverySpellingOfOneFileMatches) {
  const std::string absolute = (dir_ / "data.txt").string();
  const std::string parent = "../" + dir_.filename().string() + "/data.txt";
  std::vector<std::string> spellings = {
      "data.txt", "./data.txt", ".//data.txt", "sub/../data.txt", parent, absolute, "hard.txt",
  };
#ifdef _WIN32
  // Names are not case-sensitive, both separators count, and a full path
  // carries its drive letter.
  const std::string windows_absolute = fs::absolute("data.txt").make_preferred().string();
  ASSERT_EQ(windows_absolute[1], ':');
  spellings.insert(spellings.end(), {"DATA.TXT", "Data.Txt", ".\\data.txt", ".\\\\data.txt", "sub\\..\\DATA.txt",
                                     "..\\" + dir_.filename().string() + "\\data.txt", windows_absolute,
                                     windows_absolute.substr(0, 3) + "\\" + windows_absolute.substr(3), "HARD.TXT"});
#else
  fs::create_symlink("data.txt", "symlink.txt");
  spellings.push_back("symlink.txt");
#endif
  for (const std::string& a : spellings) {
    for (const std::string& b : spellings) {
      EXPECT_TRUE(textio::same_existing_file(a, b)) << a << " and " << b;
    }
  }
}

TEST_F(SameFile, OtherAndMissingFilesDoNotMatch) {
  const struct {
    const char* a;
    const char* b;
  } cases[] = {
      {"data.txt", "other.txt"},      // equal content is not the same file
      {"hard.txt", "other.txt"},
      {"data.txt", "missing.txt"},    // an output that does not exist yet
      {"missing.txt", "missing.txt"}, // a name that does not exist is no file
      {"data.txt", "sub"},            // a directory
      {"data.txt", ""},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(textio::same_existing_file(c.a, c.b)) << c.a << " and " << c.b;
    EXPECT_FALSE(textio::same_existing_file(c.b, c.a)) << c.b << " and " << c.a;
  }
}

TEST(Terminal, AFileIsNoTerminal) {
  const std::string name = ::testing::TempDir() + "terminal_test.txt";
  std::FILE* f = std::fopen(name.c_str(), "w");
  ASSERT_NE(f, nullptr);
  EXPECT_FALSE(textio::is_terminal(f));
  std::fclose(f);
  std::remove(name.c_str());
}

}  // namespace
