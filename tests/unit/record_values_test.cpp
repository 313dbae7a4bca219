// The short form of record values against the reader's general "%lf", and
// whole records read by read_record against plain scan_int / scan_double
// reads of the same text, on inputs delivered in pieces so that numbers
// are split between two fills of the reader's buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "number_scan.h"
#include "record_reader.h"
#include "run_state.h"
#include "short_decimal.h"
#include "text_reader.h"

namespace {

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(ShortDecimal, GivesWhatTheGeneralConversionGives) {
  const char* taken[] = {"0.0 ", "-0.0\t", "12.5\n", "-999.0 ", "9999.9 ", "-9999.9 ", "7 ", "-998 ", "0.1 ",
                         "0.3 ", "1234.7\r", "0001.5 ", "-0 ", "3.0\v", "8.9\f"};
  for (const char* text : taken) {
    double fast = -1.0;
    double general = -2.0;
    const std::size_t n = pluvo::scan_short_decimal(text, fast);
    const textio::NumberScan r = textio::scan_double_at(text, std::strlen(text), true, general);
    ASSERT_EQ(r.status, textio::SCAN_OK) << text;
    EXPECT_EQ(n, r.consumed) << text;
    EXPECT_TRUE(same_bits(fast, general)) << text << ": " << fast << " vs " << general;
  }
  // Forms the general conversion must decide: more digits, exponents, signs,
  // words, and numbers not followed by white space (the end of the buffered
  // text is a NUL).
  const char* left[] = {"12345.0 ", "1.25 ", "5. ", ".5 ", "+1.0 ", "1e5 ", "1.0e1 ", "inf ", "nan ", "0x1p3 ",
                        "- 1 ", "1.0", "12", "1.0x ", "-", ""};
  for (const char* text : left) {
    double v = 42.0;
    EXPECT_EQ(pluvo::scan_short_decimal(text, v), 0u) << text;
    EXPECT_EQ(v, 42.0) << text;
  }
}

TEST(ShortDecimal, AgreesWithTheGeneralConversionOnEveryValueOfItsForm) {
  for (int tenths = -99999; tenths <= 99999; ++tenths) {
    const int units = (tenths < 0 ? -tenths : tenths) / 10;
    const std::string text = std::string(tenths < 0 ? "-" : "") + std::to_string(units) + "." +
                             std::to_string((tenths < 0 ? -tenths : tenths) % 10) + " ";
    double fast = 0.0;
    double general = 0.0;
    ASSERT_EQ(pluvo::scan_short_decimal(text.c_str(), fast), text.size() - 1) << text;
    textio::scan_double_at(text.c_str(), text.size(), true, general);
    ASSERT_TRUE(same_bits(fast, general)) << text;
  }
}

// A record section with values of every kind the files hold and some they
// may hold: short decimals, long ones, exponents, signs, inf and nan.
std::string record_text(std::mt19937_64& rng, int records, int values) {
  const char* odd[] = {"1.25", "+3.5", "1e2", "-1.5E-3", "12345.6", "inf", "-nan", "0.000001", "5.", ".5",
                       "99999999999999999999"};
  const char* spaces[] = {" ", "\t", "\n", "  ", "\r\n", " \t"};
  std::uniform_int_distribution<int> pick(0, 99);
  std::uniform_int_distribution<int> tenths(0, 300);
  std::string s;
  for (int r = 0; r < records; ++r) {
    s += "1998\t6\t" + std::to_string(1 + r % 28) + "\t" + std::to_string(1 + r % 24);
    for (int v = 0; v < values; ++v) {
      s += spaces[pick(rng) % 6];
      const int k = pick(rng);
      if (k < 60) {
        s += "0.0";
      } else if (k < 85) {
        const int t = tenths(rng);
        s += std::to_string(t / 10) + "." + std::to_string(t % 10);
      } else if (k < 90) {
        s += "-999.0";
      } else {
        s += odd[k % 11];
      }
    }
    s += "\n";
  }
  return s;
}

TEST(RecordValues, ReadRecordReadsWhatPlainConversionsRead) {
  std::mt19937_64 rng(3);
  constexpr int VALUES = 23;
  for (std::size_t chunk : {std::size_t{1}, std::size_t{3}, std::size_t{7}, std::size_t{64}, std::size_t{1} << 20}) {
    const std::string text = record_text(rng, 40, VALUES);
    textio::TextReader fast;
    textio::TextReader plain;
    fast.attach_unseekable_text(text, chunk);
    plain.attach_text(text);
    for (int r = 0; r < 40; ++r) {
      pluvo::DateHour stamp{};
      double values[pluvo::FIRST_ROOM_SLOTS] = {};
      pluvo::read_record(fast, pluvo::RecordTarget{&stamp, values, 3, 25}, 10.0,
                         {pluvo::READ_KLIMA_STAMP, pluvo::READ_KLIMA_VALUE}, false);
      int year = 0, month = 0, day = 0, hour = 0;
      ASSERT_EQ(plain.scan_int(year) + plain.scan_int(month) + plain.scan_int(day) + plain.scan_int(hour), 4);
      EXPECT_EQ(stamp.year, year);
      EXPECT_EQ(stamp.month, month);
      EXPECT_EQ(stamp.day, day);
      EXPECT_EQ(stamp.hour, hour);
      for (int i = 3; i <= 25; ++i) {
        double v = 0.0;
        ASSERT_EQ(plain.scan_double(v), textio::SCAN_OK);
        v *= 10.0;
        ASSERT_TRUE(same_bits(values[i], v)) << "chunk " << chunk << " record " << r << " station " << i << ": "
                                             << values[i] << " vs " << v;
      }
      ASSERT_EQ(fast.position(), plain.position()) << "chunk " << chunk << " record " << r;
      ASSERT_EQ(fast.eof(), plain.eof()) << "chunk " << chunk << " record " << r;
    }
  }
}

}  // namespace
