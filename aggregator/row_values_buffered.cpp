// The values of a row parsed straight from the reader's buffer.
//
// The reader's own "%lf" (TextReader::scan_double: white space skipped,
// then the padded-decimal fast path, else the general conversion) taken
// apart, so that the position stays in a register from one field to the
// next, with faster steps in front of it. Rows of the commonest form,
// "0.0" and other values of a digit, a point and a digit, go through
// steps made for them: runs of dry fields ("0.0\t") counted sixteen
// characters at a time, and then, in one step without a branch on the
// fields' forms, up to four such fields recognised at once and the field
// behind them read as one word. Rows of other forms (more digits, signs,
// exponents, right-aligned fields behind runs of blanks) are read a block
// of 64 characters at a time: the fields' starts and ends come from the
// block's separators, and each field from the word scan of
// decimal_field_scan.h. Each way gives the same value and takes the same
// characters as the reader would, but for the blanks and tabs around a
// field, which the next field would skip anyway; a line end is never
// taken. Where they decline (a field of another form, one that reaches the
// end of what is buffered), the reader converts that field itself. For
// --stat min and max, another instantiation of the same step keeps each
// column's extreme too; its runs of dry fields only mark their columns
// (left_out_zeros.h).

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

#include "decimal_field_scan.h"
#include "field_separators.h"
#include "left_out_zeros.h"
#include "one_decimal_fields.h"
#include "row_values.h"
#include "short_decimal_scan.h"

namespace tabsum {

static_assert(textio::TextReader::READ_SLACK >= FOUR_FIELDS_CHARS &&
                  textio::TextReader::READ_SLACK >= END_SEARCH_CHARS &&
                  textio::TextReader::READ_SLACK >= textio::SHORT_DECIMAL_CHARS &&
                  textio::TextReader::READ_SLACK >= textio::DECIMAL_FIELD_CHARS &&
                  textio::TextReader::READ_SLACK >= SEPARATOR_CHARS &&
                  textio::TextReader::READ_SLACK >= BLOCK_CHARS,
              "the fast paths look at more characters than the reader keeps readable");

namespace {

constexpr double INFINITE_VALUE = std::numeric_limits<double>::infinity();

// One field as the reader's "%lf" reads it, from `p` on, for the fields
// the fast paths decline: a line end or other white space in front, the
// end of what is buffered, a form of the general conversion, a failure.
// Returns 1 with the value, 0 for a field that did not convert but after
// which the row is read on, -1 when the row ends there. Not inlined: rare,
// and the loop keeps its state in registers when this is a call away.
#if defined(__GNUC__)
[[gnu::noinline]]
#endif
int read_field(TabsumRun& run, const char*& p, double& value, std::uint64_t& failed_at) {
  while (textio::is_c_space(static_cast<unsigned char>(*p))) ++p;
  if (const std::size_t taken = textio::scan_decimal_field(p, value)) {
    p += taken;
    return 1;
  }
  textio::TextReader& in = run.input;
  in.consume_to(p);
  const int got = in.scan_double(value);
  p = in.unread();
  if (got == textio::SCAN_OK) return 1;
  return read_on_after_failure(run, got, failed_at) ? 0 : -1;
}

// How many of the (at most four) fields whose ends lie within the
// END_SEARCH_CHARS characters at `p` have one decimal ("0.0", "11.5"), each
// followed by a tab.
std::size_t one_decimal_fields_ahead(const char* p) {
  std::size_t count = 0;
  std::size_t start = 0;
  for (int f = 0; f < 4 && start < END_SEARCH_CHARS; ++f) {
    const std::size_t end = tab_from(p, start);
    if (end == END_SEARCH_CHARS) break;
    count += end >= start + 3 && p[end - 2] == '.';
    start = end + 1;
  }
  return count;
}

// Which extreme of each column the row step keeps besides the sums: none,
// or the one that --stat min or max asks for.
enum class Extreme { NONE, MINIMUM, MAXIMUM };

// A valid value's part in its column's extreme, as the plain reading
// enters it (of equal values the first stays), without a branch.
template <Extreme E>
inline void keep_extreme(ColumnSums& c, double value) {
  if constexpr (E == Extreme::MINIMUM) c.minimum = value < c.minimum ? value : c.minimum;
  if constexpr (E == Extreme::MAXIMUM) c.maximum = value > c.maximum ? value : c.maximum;
}

// The same for a value that counts only where `counts` is set: the others
// compare as an infinity, which changes nothing, chosen without a branch.
template <Extreme E>
inline void keep_extreme_if(ColumnSums& c, double value, bool counts) {
  constexpr double NEUTRAL = E == Extreme::MINIMUM ? INFINITE_VALUE : -INFINITE_VALUE;
  keep_extreme<E>(c, counts ? value : NEUTRAL);
}

// The values of one decimal behind a neutral one: field f at `p` of those
// counted there, its value, else the neutral infinity, from one look-up.
template <Extreme E>
struct OneDecimalExtremes {
  double value[101];
  constexpr OneDecimalExtremes() : value() {
    value[0] = E == Extreme::MINIMUM ? INFINITE_VALUE : -INFINITE_VALUE;
    for (std::size_t m = 0; m < 100; ++m) value[m + 1] = textio::ONE_DECIMAL.value[m];
  }
};

template <Extreme E>
inline constexpr OneDecimalExtremes<E> ONE_DECIMAL_EXTREMES{};

template <Extreme E>
inline double one_decimal_extreme_or_neutral(const char* p, std::size_t f, std::size_t counted) {
  const unsigned keep = 0u - static_cast<unsigned>(f < counted);
  return ONE_DECIMAL_EXTREMES<E>.value[(one_decimal_index(p, f) + 1) & keep];
}

// A value that may be -0.0 (a field of one decimal has no sign): the 0.0
// of the dry fields earlier in the group enters first (left_out_zeros.h).
template <Extreme E>
inline void keep_signed_extreme_if(TabsumRun& run, ColumnSums& c, double value, bool counts) {
  if (counts && std::bit_cast<std::uint64_t>(value) == std::bit_cast<std::uint64_t>(-0.0)) [[unlikely]] {
    enter_left_out_zero(c, run.period_state.left_out_zeros.data(), static_cast<std::size_t>(&c - run.sums.get()));
  }
  keep_extreme_if<E>(c, value, counts);
}

// The row step, in three instantiations: for the sums alone, and with each
// column's smallest or largest valid value besides (the runs of dry fields
// left out, see left_out_zeros.h). The sums' step does no work for them.
template <Extreme E>
void add_values(TabsumRun& run, RunTotals& totals) {
  const long long additional = run.settings.additional_columns;
  const long long positions = additional + run.settings.data_columns;
  std::uint64_t failed_at = UINT64_MAX;
  // A local copy: the column sums could alias the totals, which would then
  // go through memory for every value.
  RunTotals t = totals;
  // The valid values of the row. Counted here as a whole number and added
  // once: the counts are whole numbers far below 2^53, so the sums of 1.0
  // are the same doubles.
  long long counted = 0;
  // Behind the buffered characters stands a NUL, which ends the white space
  // and which the fast paths decline.
  const char* p = run.input.unread();

  long long k = 1;
  int got = 1;
  // The additional columns are read, and left out of every sum.
  for (; k <= additional && got >= 0; ++k) {
    double value = 0.0;
    got = read_field(run, p, value, failed_at);
  }
  ColumnSums* column = run.sums.get();
  std::uint64_t* const left_out_zeros = run.period_state.left_out_zeros.data();

  // The steps for fields of one decimal pay off only where such fields are
  // many; in a table of other forms they would only add work to every
  // field. The row's first four fields decide, once per row, so that the
  // choice is well predicted: the rows of a table look alike. Two of them
  // suffice: on rainy rows of precipitation, with some values of two
  // decimals, these steps are still the faster ones.
  // Rows that start with two fields of a digit, a point and a digit, the
  // dry ones above all, are known from one look at 16 characters.
  const char* const first = p + (*p == '\t');
  const bool one_decimal_row = leading_one_decimal_fields(first) >= 2 || one_decimal_fields_ahead(first) >= 2;

  while (k <= positions && got >= 0) {
    if (one_decimal_row) {
      // A tab in front of the field, as behind the date fields: every way
      // below would pass over it, but only the reader's own would take it.
      p += *p == '\t';
      // Runs of dry fields, most of a table, change no sum (see below):
      // they are only counted.
      const auto dry_fields =
          4 * static_cast<long long>(leading_dry_groups(p, static_cast<std::size_t>((positions - k + 1) / 4)));
      counted += dry_fields;
      if constexpr (E != Extreme::NONE) {
        if (dry_fields != 0) {
          mark_left_out_zeros(left_out_zeros, static_cast<std::size_t>(k - additional - 1),
                              static_cast<std::size_t>(dry_fields));
        }
      }
      column += dry_fields;
      k += dry_fields;
      p += dry_fields * 4;
      if (k > positions) break;
      // The fields of the commonest form, up to four at a time, and the
      // field behind them, whatever its form: one step for all, so that no
      // branch depends on how many there were, which varies from group to
      // group where it rains.
      if (positions - k >= 4) {
        const std::size_t good = leading_one_decimal_fields(p);
        // Behind the fields taken, +0.0 is added, which changes no sum:
        // none of the sums can be -0.0 (they start at +0.0, and a sum is
        // -0.0 only when both terms are).
        for (std::size_t f = 0; f < 4; ++f) {
          const double v = one_decimal_value_or_zero(p, f, good);
          column[f].interval_sum += v;
          t.row_sum += v;
          t.run_sum += v;
          if constexpr (E != Extreme::NONE) keep_extreme<E>(column[f], one_decimal_extreme_or_neutral<E>(p, f, good));
        }
        const char* const behind_good = p + 4 * good;
        // Where the next field ends, from the tabs: known before the scan
        // of the field is done, so that the next step need not wait for
        // it. The scan must end there.
        const std::size_t end = tab_from(p, 4 * good);
        double value = 0.0;
        if (const std::size_t taken = textio::scan_short_decimal(behind_good, value);
            taken != 0 && 4 * good + taken == end) {
          const bool counts = value > NODATA_LIMIT;
          const double added = counts ? value : 0.0;
          column[good].interval_sum += added;
          if (!counts) column[good].missing += 1.0;
          if constexpr (E != Extreme::NONE) keep_signed_extreme_if<E>(run, column[good], value, counts);
          t.row_sum += added;
          t.run_sum += added;
          const auto fields = static_cast<long long>(good) + 1;
          counted += fields - !counts;
          column += fields;
          k += fields;
          p += end + 1;
          continue;
        }
        counted += static_cast<long long>(good);
        column += good;
        k += static_cast<long long>(good);
        p = behind_good;
        if (good == 4) continue;
      } else {
        // Near the row's end, the fields of the commonest form as far as
        // the row's columns go.
        const std::size_t good = leading_one_decimal_fields(p);
        const long long take = std::min(static_cast<long long>(good), positions - k + 1);
        for (long long f = 0; f < take; ++f) {
          const double v = one_decimal_value(p, static_cast<std::size_t>(f));
          column[f].interval_sum += v;
          t.row_sum += v;
          t.run_sum += v;
          if constexpr (E != Extreme::NONE) keep_extreme<E>(column[f], v);
        }
        counted += take;
        column += take;
        k += take;
        p += 4 * take;
        if (k > positions) continue;
      }
      // Fewer than four fields of one decimal, so one of another form
      // follows, most often short ("12.5", "-999"): read as one word. A
      // tab or a blank behind it is taken too (the next field would skip
      // it); a line end is not.
      double value = 0.0;
      unsigned behind = 0;
      while (textio::is_c_space(static_cast<unsigned char>(*p))) ++p;
      if (const std::size_t taken = textio::scan_short_decimal(p, value, behind)) {
        p += taken + ((behind == '\t') | (behind == ' '));
      } else {
        got = read_field(run, p, value, failed_at);
        if (got <= 0) value = NODATA_LIMIT;
      }
      if (value > NODATA_LIMIT) {
        column->interval_sum += value;
        t.row_sum += value;
        t.run_sum += value;
        ++counted;
        if constexpr (E != Extreme::NONE) keep_signed_extreme_if<E>(run, *column, value, true);
      } else {
        column->missing += 1.0;
      }
      ++k;
      ++column;
      continue;
    } else {
      // Fields of any form, a block of 64 characters at a time: where each
      // starts and ends is read from the block's blanks and tabs, so that
      // the next field need not wait for the scan of this one, and the
      // fields of a block are converted side by side. Only the fields that
      // end within the block are taken; the next block starts behind its
      // last separator.
      if (const std::uint64_t separators = separator_mask(p); separators != 0) {
        const int last = 63 - std::countl_zero(separators);
        std::uint64_t starts = ~separators & ((separators << 1) | 1u) & ((std::uint64_t{1} << last) - 1u);
        const char* next = p + last + 1;
        bool declined = false;
        while (starts != 0) {
          const char* const f = p + std::countr_zero(starts);
          starts &= starts - 1;
          double value = 0.0;
          const std::size_t taken = textio::scan_decimal_field(f, value);
          if (taken == 0) {
            // Not of these forms, or it runs into the NUL behind the
            // buffered text: taken below, one field at a time.
            next = f;
            declined = true;
            break;
          }
          // A missing value adds +0.0, which changes no sum (see above),
          // chosen by a mask, so that no branch depends on it.
          const bool counts = value > NODATA_LIMIT;
          const double added = std::bit_cast<double>(std::bit_cast<std::uint64_t>(value) & (0 - std::uint64_t{counts}));
          column->interval_sum += added;
          column->missing += counts ? 0.0 : 1.0;
          t.row_sum += added;
          t.run_sum += added;
          counted += counts;
          if constexpr (E != Extreme::NONE) keep_signed_extreme_if<E>(run, *column, value, counts);
          ++k;
          ++column;
          // The field must end at the separator that ends its run of
          // characters; behind a line end, the reader's way goes on.
          const char behind = f[taken];
          if (k > positions || (behind != ' ' && behind != '\t')) {
            next = f + taken;
            break;
          }
        }
        p = next;
        if (!declined) continue;
      }
    }
    // A field of any form, the blanks and tabs in front of it passed over
    // (the reader's "%lf" would skip them); a line end is not passed over:
    // the reader takes what follows it.
    p = skip_separators(p);
    double value = 0.0;
    if (const std::size_t taken = textio::scan_decimal_field(p, value)) {
      p += taken;
      // A missing value adds +0.0, which changes no sum (see above), so
      // that no branch depends on it.
      const bool counts = value > NODATA_LIMIT;
      const double added = counts ? value : 0.0;
      column->interval_sum += added;
      column->missing += counts ? 0.0 : 1.0;
      t.row_sum += added;
      t.run_sum += added;
      counted += counts;
      if constexpr (E != Extreme::NONE) keep_signed_extreme_if<E>(run, *column, value, counts);
    } else {
      got = read_field(run, p, value, failed_at);
      if (got > 0 && value > NODATA_LIMIT) {
        column->interval_sum += value;
        t.row_sum += value;
        t.run_sum += value;
        ++counted;
        if constexpr (E != Extreme::NONE) keep_signed_extreme_if<E>(run, *column, value, true);
      } else {
        column->missing += 1.0;
      }
    }
    ++k;
    ++column;
  }
  if (got < 0) note_unread_columns(run, k);
  t.row_count += static_cast<double>(counted);
  t.run_count += static_cast<double>(counted);
  run.input.consume_to(p);
  totals = t;
}

}  // namespace

void add_row_values_buffered(TabsumRun& run, RunTotals& totals) { add_values<Extreme::NONE>(run, totals); }

void add_row_values_buffered_extreme(TabsumRun& run, RunTotals& totals) {
  if (run.settings.periods.statistic == Statistic::MIN) {
    add_values<Extreme::MINIMUM>(run, totals);
  } else {
    add_values<Extreme::MAXIMUM>(run, totals);
  }
}

}  // namespace tabsum
