#include "help_text.h"

#include "version.h"

namespace stationfile {

std::string help_text() {
  std::string text = "stationfile ";
  text += textio::VERSION;
  text +=
      ": weather services' files as pluvo's station files\n"
      "\n"
      "usage: stationfile anetz|klima|sammler|table -o OUT [options] FILE...\n"
      "       stationfile --help | -h | --version\n"
      "\n"
      "Output kinds:\n"
      "  anetz     hourly station file, hours 1 to 24 of every day\n"
      "  klima     readings at 7 h (hours 7 to 18) and 19 h (hours 19 to 6 of\n"
      "            the next day), summed from hourly files or read from a\n"
      "            table of readings stamped 7 and 19\n"
      "  sammler   one reading at 7 h (hours 7 to 6 of the next day) from daily\n"
      "            files, in units of 10 mm as pluvo reads it\n"
      "  table     a table for tabsum: YY MM DD HH <id>..., one row per hour\n"
      "\n"
      "Input: German Weather Service (DWD) product files, one per station:\n"
      "  produkt_rr_stunde_*.txt (hourly, R1) or the zips stundenwerte_RR_*.zip,\n"
      "  produkt_nieder_tag_*.txt (daily, RS), produkt_klima_tag_*.txt (daily, RSK).\n"
      "  Files of one station are merged; where they differ, the later one wins.\n"
      "  KNMI: uurgeg_*.txt (hourly, RH), neerslaggeg_*.txt (daily, RD), in UTC-2,\n"
      "  with the station list knmi_*station.json. MeteoSwiss: ogd-smn_*_h_*.csv\n"
      "  (hourly, rre150h0), ogd-*_d_*.csv (daily, rre150d0), with the station list\n"
      "  ogd-*_meta_stations.csv (x and y in LV95 km).\n"
      "\n"
      "Options, as --name value or --name=value:\n"
      "  -o, --output OUT      the file to write (created or emptied)\n"
      "  --stations LIST       station list RR_*_Beschreibung_Stationen.txt:\n"
      "                        heights, latitudes and longitudes; without it,\n"
      "                        Metadaten_Geographie_<id>.txt in each zip or\n"
      "                        beside each product file, at the period's end\n"
      "  --from YYYY-MM-DD     first day; default: the first day all files cover\n"
      "  --to YYYY-MM-DD       last day; default: the last day all files cover\n"
      "  --source dwd|knmi|meteoswiss|table\n"
      "                        the services' files, or a table YY MM DD HH <id>...\n"
      "                        with a list of id, height_m, x_km, y_km (or lat, lon);\n"
      "                        default: each file's first lines tell\n"
      "  --time-base utc+H     write the services' hourly values H hours after UTC\n"
      "                        (utc-H: before); default utc, for KNMI utc-2. Daily\n"
      "                        totals only in their source's time base.\n"
      "  --projection utm:ZONE transverse Mercator zone of x and y in km\n"
      "                        (default utm:32, for KNMI utm:31; ETRS89/WGS84)\n"
      "  --projection lv95|none x and y in km as the station list gives them:\n"
      "                        MeteoSwiss's LV95 (its default), or a table\n"
      "                        list's x_km and y_km\n"
      "\n"
      "Time base UTC: hour h of day D is the hour that ends at h:00 UTC (the\n"
      "service's hour 00 of D+1 is hour 24 of D); the daily total of D (06:00\n"
      "UTC of D to 06:00 UTC of D+1) is the Sammler reading of D at 7 h.\n"
      "Missing hours and readings are written as -999 and counted per station.\n";
  return text;
}

}  // namespace stationfile
