// The fast paths of "%lf" against the general scanner: scan_short_decimal,
// scan_padded_decimal and scan_decimal_field must give the same double,
// bit for bit, and take the same characters as scan_double_at wherever
// they accept a field.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "decimal_field_scan.h"
#include "number_scan.h"
#include "padded_number_scan.h"
#include "short_decimal_scan.h"

namespace {

struct Scan {
  std::size_t taken = 0;
  std::uint64_t bits = 0;
};

// The text with the NUL the reader keeps behind its buffered input and
// room that a fast path may read behind it, filled with digits, points and
// blanks that must not be taken for part of the field.
std::string padded(const std::string& field) {
  return field + '\0' + std::string("9.9 9.9 9.9 9.9 12345678901234\t");
}

Scan general(const std::string& field) {
  double value = 0.0;
  const textio::NumberScan r = textio::scan_double_at(field.data(), field.size(), true, value);
  if (r.status != textio::SCAN_OK) return {};
  return {r.consumed, std::bit_cast<std::uint64_t>(value)};
}

template <std::size_t (*SCAN)(const char*, double&)>
Scan fast(const std::string& field) {
  const std::string text = padded(field);
  double value = 0.0;
  const std::size_t taken = SCAN(text.data(), value);
  return {taken, taken ? std::bit_cast<std::uint64_t>(value) : 0};
}

std::string shown(const std::string& s) {
  std::string out;
  for (const char c : s) {
    if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

// Where a fast path accepts, it agrees with the general scanner.
void expect_agreement(const std::string& field, bool short_must_accept, bool any_must_accept = false) {
  SCOPED_TRACE("field \"" + shown(field) + "\"");
  const Scan g = general(field);
  const Scan s = fast<textio::scan_short_decimal>(field);
  const Scan p = fast<textio::scan_padded_decimal>(field);
  const Scan a = fast<textio::scan_decimal_field>(field);
  if (a.taken) {
    EXPECT_EQ(a.taken, g.taken);
    EXPECT_EQ(a.bits, g.bits);
  }
  // It takes every field that the narrower paths take.
  if (s.taken || p.taken || any_must_accept) {
    EXPECT_NE(a.taken, 0u);
  }
  if (s.taken) {
    EXPECT_EQ(s.taken, g.taken);
    EXPECT_EQ(s.bits, g.bits);
    // The short path accepts only what the padded path accepts.
    EXPECT_EQ(s.taken, p.taken);
    // The character it reports behind the field is the one there.
    const std::string text = padded(field);
    double value = 0.0;
    unsigned terminator = 0;
    ASSERT_EQ(textio::scan_short_decimal(text.data(), value, terminator), s.taken);
    EXPECT_EQ(terminator, static_cast<unsigned char>(text[s.taken]));
  }
  if (p.taken) {
    EXPECT_EQ(p.taken, g.taken);
    EXPECT_EQ(p.bits, g.bits);
  }
  if (short_must_accept) {
    EXPECT_NE(s.taken, 0u);
  }
}

TEST(DecimalFastScan, ChosenFields) {
  struct Case {
    const char* field;
    bool short_accepts;
  };
  const Case cases[] = {
      {"0.0\t", true},      {"2.5 ", true},       {"-999\t", true},   {"-9999\n", true},  {"12.34\t", true},
      {"-0.0\t", true},     {"7\t", true},        {"5.\t", true},     {".5\t", true},     {"-.5\t", true},
      {"1234567\t", true},  {"123456.7\t", false}, {"-123456\t", true}, {"0.000001\t", false}, {"1.2\r", true},
      {"1.5\v", true},      {"12345.6\t", true},  {"0.00001\t", true},      {"3\f", true},        {"+1.5\t", false},  {"12345678\t", false}, {"1234567.8\t", false},
      {"-1234567\t", false}, {".\t", false},      {"-\t", false},     {"-.\t", false},    {"1.2.3\t", false},
      {"1e5\t", false},     {"1.5E-2\t", false},  {"0x1p3\t", false}, {"inf\t", false},   {"nan\t", false},
      {"abc\t", false},     {"1,5\t", false},     {"--1\t", false},   {"1-\t", false},    {"1.5", false},
      {"1.5x", false},      {"9007199254740993\t", false},
      {"123456789012345\t", false}, {"1234567890123456\t", false}, {"0.30000000000000004\t", false},
  };
  for (const Case& c : cases) expect_agreement(c.field, c.short_accepts);
}

// The forms of every kind of table, and the edges of the exact fast way
// (15 and 16 digits in a word's reach, 19 and 20 digits, exponents of 22
// and 23), which the field scanner must take, with the value strtod gives.
TEST(DecimalFastScan, FieldScannerTakesEveryCommonForm) {
  const char* const fields[] = {
      "0.0\t", "11.5\t", "287.053\t", "-999.000\t", "-999\t", "-9999\t", "4394\t", "0\t", "-0\t", "-0.0\t",
      "7.74941\t", "-5.2828e-05\t", "1.35451e-06\t", "25458.3\t", "306632\t", "0.000926293\t", "0.00085503\t",
      "8.85191e-05\n", "1e+06\t", "1E5 ", "1.5E-2\t", "2e0\t", "42.68 ", "-998\t", "-998.0\t", "-997.999\t",
      "-998.001\t", "-998.0000001\t", "12345.67 ", "99999.99 ", "+1.5\t", "5.\t", ".5\t", "-.5\t", "00000000012\t",
      "0.30000000000000004\t", "123456789012345\t", "1234567890123456\t", "9007199254740993\t",
      "1234567890123456789\t", "12345678901234567890\t", "0.1234567890123456789\t", "1.2345678901234567890\t",
      "1e22\t", "1e23\t", "1e-22\t", "1e-23\t", "123456789012345e-22\t", "9e22\t", "4.9e-324\t",
      "1.7976931348623157e308\t", "12345678.5\t", "1234567.25\t", "123.45678901\t", "0.0000000000000000001\t",
      "1e0000000000000000005\t",
  };
  for (const char* field : fields) expect_agreement(field, false, true);
  // Very long fields: digits far beyond the words.
  expect_agreement(std::string(300, '7') + "\t", false, true);
  expect_agreement("0." + std::string(300, '0') + "1e300\t", false, true);
  expect_agreement(std::string(40, '1') + "." + std::string(40, '2') + "\t", false, true);
}

// Every power of ten the one-word way scales by, from both sides of the
// point and by an exponent, on mantissas of one to eight digits whose
// quotients are not exact: each as the general scanner gives it.
TEST(DecimalFastScan, FieldScannerEveryExactScale) {
  const char* const mantissas[] = {"1", "3", "7", "9", "17", "333", "12345", "999999", "4398047", "16777217", "87654321", "99999999"};
  for (const char* m : mantissas) {
    const std::string digits = m;
    for (std::size_t point = 0; point <= digits.size(); ++point) {
      const std::string decimal = digits.substr(0, point) + "." + digits.substr(point);
      expect_agreement(decimal + "\t", false, true);
      expect_agreement("-" + decimal + " ", false, true);
      for (int e = -22; e <= 22; ++e) {
        expect_agreement(decimal + "e" + std::to_string(e) + "\t", false, true);
        expect_agreement("-" + digits + "E" + (e >= 0 ? "+" : "") + std::to_string(e) + "\n", false, true);
      }
    }
  }
}

// The lookup for the character behind a number's digits against the
// character classes it stands for.
TEST(DecimalFastScan, BehindDigitsKinds) {
  for (int c = 0; c < 256; ++c) {
    SCOPED_TRACE(c);
    const std::uint8_t kind = textio::decimal_field::BEHIND_DIGITS.kind[c];
    const std::uint8_t expected = textio::is_c_space(c)          ? textio::decimal_field::BEHIND_SPACE
                                  : (c == 'e' || c == 'E') ? textio::decimal_field::BEHIND_EXPONENT
                                                           : textio::decimal_field::BEHIND_OTHER;
    EXPECT_EQ(kind, expected);
  }
}

// Fields it leaves to the general scanner: the general scanner decides
// those, and may take part of them.
TEST(DecimalFastScan, FieldScannerDeclinesOtherForms) {
  const char* const fields[] = {"1e\t", "1e+\t", "1E-\t", "1.5e\n", "1e5x\t", "1.5.\t", "0x1p3\t", "inf\t", "nan\t",
                                "-\t",  ".\t",  "-.\t",  "+\t",    "1,5\t", "--1\t",  "1.5",     "1e999\t", "-1e999\t", "1e-400\t"};
  for (const char* field : fields) {
    SCOPED_TRACE(field);
    const std::string text = padded(field);
    double value = 0.0;
    EXPECT_EQ(textio::scan_decimal_field(text.data(), value), 0u);
  }
}

TEST(DecimalFastScan, GeneratedFields) {
  std::mt19937 rng(1234);
  auto below = [&](unsigned n) { return static_cast<unsigned>(rng() % n); };
  const char* const ends[] = {"\t", " ", "\n", "\r", "\v", "\f", "", "x", ".", "e", "-", "+", "0"};
  const char alphabet[] = "0123456789012345678901234567890123456789..-+eE x\t";
  for (int n = 0; n < 300000; ++n) {
    std::string field;
    if (n % 2 == 0) {
      // A well-formed decimal of up to ten digits.
      if (below(4) == 0) field += '-';
      const unsigned int_digits = below(n % 4 == 0 ? 22 : 8);
      for (unsigned i = 0; i < int_digits; ++i) field += static_cast<char>('0' + below(10));
      if (below(3) != 0) {
        field += '.';
        const unsigned frac_digits = below(n % 8 == 0 ? 22 : 7);
        for (unsigned i = 0; i < frac_digits; ++i) field += static_cast<char>('0' + below(10));
      }
      if (below(5) == 0) {
        // An exponent around the edges of the exact fast way.
        field += below(2) ? 'e' : 'E';
        if (below(2)) field += below(2) ? '-' : '+';
        field += std::to_string(below(30));
      }
    } else {
      // Anything from the characters a number is made of.
      const unsigned length = 1 + below(9);
      for (unsigned i = 0; i < length; ++i) field += alphabet[below(sizeof alphabet - 1)];
    }
    field += ends[below(sizeof ends / sizeof ends[0])];
    expect_agreement(field, false);
    if (HasFailure()) return;
  }
}

// A NUL behind the field ends it as the end of the buffered input does:
// no fast path takes a field that runs into it.
TEST(DecimalFastScan, NulEndsTheField) {
  for (const char* field : {"1.5", "-999", "7", "12.34", "", "12345678", "1.2e-05", "1e", "123.45678901"}) {
    std::string text = std::string(field) + '\0' + "\t5.5\t" + std::string(32, '5');
    double value = 0.0;
    EXPECT_EQ(textio::scan_short_decimal(text.data(), value), 0u) << field;
    EXPECT_EQ(textio::scan_padded_decimal(text.data(), value), 0u) << field;
    EXPECT_EQ(textio::scan_decimal_field(text.data(), value), 0u) << field;
  }
}

}  // namespace
