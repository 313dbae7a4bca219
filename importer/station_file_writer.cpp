#include "station_file_writer.h"

#include <string>

#include "calendar.h"
#include "reading_period.h"

namespace stationfile {
namespace {

constexpr const char* LABELS = "YY\tMM\tDD\tHH";

// The services' products and columns the values come from: RS and RSK in
// one run are both named.
std::string source_words(const ImportRun& run) {
  bool r1 = false, rs = false, rsk = false, rh = false, rd = false, h0 = false, d0 = false;
  for (const StationSeries& s : run.series) {
    h0 |= s.column == "rre150h0";
    d0 |= s.column == "rre150d0";
    rh |= s.column == "RH";
    rd |= s.column == "RD";
    r1 |= s.column == "R1";
    rs |= s.column == "RS";
    rsk |= s.column == "RSK";
  }
  std::string words;
  auto add = [&words](const char* w) {
    if (!words.empty()) words += ", ";
    words += w;
  };
  if (r1) add("produkt_rr_stunde R1");
  if (rs) add("produkt_nieder_tag RS");
  if (rsk) add("produkt_klima_tag RSK");
  if (rh) add("uurgeg RH");
  if (rd) add("neerslaggeg RD");
  if (h0) add("rre150h0");
  if (d0) add("rre150d0");
  return words;
}

// The tables read, each named once.
std::string table_names(const ImportRun& run) {
  std::string names;
  for (const StationSeries& s : run.series) {
    if (names == s.file || names.ends_with(", " + s.file) || names.starts_with(s.file + ", ")) continue;
    if (!names.empty()) names += ", ";
    names += s.file;
  }
  return names;
}

// Where a Klima file's readings come from: summed from hours, or a table's
// readings as they stand.
const char* klima_origin(const ImportRun& run) {
  bool hourly = false, readings = false;
  for (const StationSeries& s : run.series) (s.resolution == Resolution::TWICE_DAILY ? readings : hourly) = true;
  if (!readings) return "summed from hourly values";
  return hourly ? "summed from hourly values or read at 7 h and 19 h" : "read at 7 h and 19 h";
}

void put_title(ImportRun& run) {
  textio::OutputBuffer& out = run.output;
  switch (run.settings.kind) {
    case OutputKind::ANETZ:
      out.put("ANETZ hourly precipitation [mm], hour h of day D = (h-1):00 to h:00");
      break;
    case OutputKind::KLIMA:
      out.put("Klima 12-hour precipitation totals [mm] at 7 h (hours 7-18) and 19 h (hours 19-24 + 1-6 of next "
              "day), ");
      out.put(klima_origin(run));
      break;
    case OutputKind::SAMMLER:
      out.put("Sammler daily precipitation totals [mm]/10 at 7 h (hours 7-24 + 1-6 of next day, 06:00 to 06:00)");
      break;
    case OutputKind::TABLE:
      return;
  }
  out.put(" ");
  out.put(iso_date(run.from_day));
  out.put("..");
  out.put(iso_date(run.to_day));
  if (run.source == Source::TABLE) {
    out.put("; source: table ");
    out.put(table_names(run));
    out.put("; time base as in the table");
  } else if (run.source == Source::METEOSWISS) {
    out.put("; source: MeteoSwiss ");
    out.put(source_words(run));
    out.put(" (Source: MeteoSwiss, CC BY 4.0); time base ");
    out.put(time_base_name(run.settings.utc_offset_hours));
  } else if (run.source == Source::KNMI) {
    out.put("; source: KNMI ");
    out.put(source_words(run));
    out.put(" (source: Royal Netherlands Meteorological Institute); time base ");
    out.put(time_base_name(run.settings.utc_offset_hours));
  } else {
    out.put("; source: DWD CDC ");
    out.put(source_words(run));
    out.put(" (Datenbasis: Deutscher Wetterdienst, CC BY 4.0); time base ");
    out.put(time_base_name(run.settings.utc_offset_hours));
  }
  if (run.plane_as_listed && run.source == Source::METEOSWISS) {
    out.put("; x/y = Swiss LV95 as in ");
    out.put(run.settings.stations_path);
    out.put(" (km)\n");
  } else if (run.plane_as_listed) {
    out.put("; x/y as in ");
    out.put(run.settings.stations_path);
    out.put(" (km)\n");
  } else {
    out.put("; x/y = UTM zone ");
    out.put_int(run.settings.utm_zone);
    out.put("N (ETRS89) km\n");
  }
}

void put_header(ImportRun& run) {
  textio::OutputBuffer& out = run.output;
  put_title(run);
  if (run.settings.kind != OutputKind::TABLE) {
    out.put(LABELS);
    for (const StationPlace& p : run.places) {
      out.put('\t');
      out.put_general(p.height_m, 10);
    }
    out.put('\n');
    out.put(LABELS);
    for (const StationPlace& p : run.places) {
      out.put('\t');
      out.put_fixed(p.x_km, 3);
    }
    out.put('\n');
    out.put(LABELS);
    for (const StationPlace& p : run.places) {
      out.put('\t');
      out.put_fixed(p.y_km, 3);
    }
    out.put('\n');
  }
  out.put(LABELS);
  for (const StationSeries& s : run.series) {
    out.put('\t');
    out.put(s.id);
  }
  out.put('\n');
}

void put_stamp(textio::OutputBuffer& out, const textio::CivilDate& date, int hour) {
  out.put_int(date.year);
  out.put('\t');
  out.put_int(date.month);
  out.put('\t');
  out.put_int(date.day);
  out.put('\t');
  out.put_int(hour);
}

Tenths value_at(const StationSeries& s, long long count) { return s.values[static_cast<std::size_t>(count - s.first)]; }

// The sum of the hours first..last of a series; MISSING when one is.
Tenths window_sum(const StationSeries& s, long long first, long long last) {
  Tenths sum = 0;
  for (long long h = first; h <= last; ++h) {
    const Tenths v = value_at(s, h);
    if (v == MISSING) return MISSING;
    sum += v;
  }
  return sum;
}

}  // namespace

void put_tenths(textio::OutputBuffer& out, Tenths value) {
  if (value == MISSING) {
    out.put("-999");
    return;
  }
  out.put_int(value / 10);
  out.put('.');
  out.put(static_cast<char>('0' + value % 10));
}

void put_tens_of_mm(textio::OutputBuffer& out, Tenths value) {
  if (value == MISSING) {
    out.put("-999");
    return;
  }
  out.put_int(value / 100);
  out.put('.');
  out.put(static_cast<char>('0' + value / 10 % 10));
  out.put(static_cast<char>('0' + value % 10));
}

long long write_station_file(ImportRun& run, std::vector<long long>& missing) {
  textio::OutputBuffer& out = run.output;
  missing.assign(run.series.size(), 0);
  put_header(run);
  long long records = 0;
  const OutputKind kind = run.settings.kind;
  for (long long day = run.from_day; day <= run.to_day; ++day) {
    const textio::CivilDate date = textio::civil_from_days(day);
    if (kind == OutputKind::SAMMLER) {
      put_stamp(out, date, 7);
      for (std::size_t i = 0; i < run.series.size(); ++i) {
        const Tenths v = value_at(run.series[i], day);
        missing[i] += v == MISSING;
        out.put('\t');
        put_tens_of_mm(out, v);
      }
      out.put('\n');
      ++records;
      continue;
    }
    if (kind == OutputKind::KLIMA) {
      for (int reading_hour : {7, 19}) {
        put_stamp(out, date, reading_hour);
        for (std::size_t i = 0; i < run.series.size(); ++i) {
          const long long first = day * 24 + reading_hour;
          const StationSeries& s = run.series[i];
          const Tenths v = s.resolution == Resolution::TWICE_DAILY ? value_at(s, day * 2 + (reading_hour == 19))
                                                                    : window_sum(s, first, first + 11);
          missing[i] += v == MISSING;
          out.put('\t');
          put_tenths(out, v);
        }
        out.put('\n');
        ++records;
      }
      continue;
    }
    for (int hour = 1; hour <= 24; ++hour) {
      put_stamp(out, date, hour);
      for (std::size_t i = 0; i < run.series.size(); ++i) {
        const Tenths v = value_at(run.series[i], day * 24 + hour);
        missing[i] += v == MISSING;
        out.put('\t');
        put_tenths(out, v);
      }
      out.put('\n');
      ++records;
    }
  }
  return records;
}

}  // namespace stationfile
