// The transverse Mercator projection against published figures and against
// what defines it: on the central meridian the northing is the meridian arc
// times the scale, and the map is conformal. A map with both properties is
// the transverse Mercator projection, so the two checks below pin it down
// everywhere, not only at the published points.
#include "importer/transverse_mercator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace stationfile {
namespace {

constexpr Ellipsoid WGS84{6378137.0, 1.0 / 298.257223563};
constexpr double DEGREE = std::numbers::pi / 180.0;

// Meridian arc from the equator, by Simpson's rule on the radius of
// curvature of the meridian: a method independent of the series.
double meridian_arc(const Ellipsoid& el, double latitude_deg) {
  const double e2 = el.f * (2.0 - el.f);
  const int steps = 4000;
  const double h = latitude_deg * DEGREE / steps;
  auto radius = [&](double phi) {
    const double s = std::sin(phi);
    return el.a * (1.0 - e2) / std::pow(1.0 - e2 * s * s, 1.5);
  };
  double sum = radius(0.0) + radius(steps * h);
  for (int i = 1; i < steps; ++i) sum += (i % 2 ? 4.0 : 2.0) * radius(i * h);
  return sum * h / 3.0;
}

TEST(TransverseMercator, SnyderWorkedExampleOfUtm) {
  // USGS Professional Paper 1395 (Snyder, Map Projections: A Working
  // Manual), worked example of the ellipsoidal transverse Mercator:
  // Clarke 1866 (a = 6378206.4 m, b = 6356583.8 m), central meridian 75 W,
  // k0 = 0.9996, point 40 30' N 73 30' W: x = 127106.5 m, y = 4484124.4 m.
  const double a = 6378206.4, b = 6356583.8;
  const PlanePoint p = transverse_mercator(Ellipsoid{a, (a - b) / a}, 40.5, -73.5, -75.0, 0.9996, 0.0, 0.0);
  EXPECT_NEAR(p.easting, 127106.5, 0.05);
  EXPECT_NEAR(p.northing, 4484124.4, 0.05);
}

TEST(TransverseMercator, UtmZone32AgreesWithProjToACentimetre) {
  // ETRS89 / UTM zone 32N (EPSG:25832) from ETRS89 latitude and longitude
  // (EPSG:4258), as PROJ 9.1.1's cs2cs gives them to 0.1 mm: a station at
  // Essen, one at Berlin, the zone's central meridian, points 6 degrees
  // either side of it, one near the equator and one in the far north.
  const struct {
    double latitude, longitude, easting, northing;
  } points[] = {
      {51.4041, 6.9677, 358643.1708, 5696723.6360}, {52.5200, 13.4050, 798812.8026, 5827999.9000},
      {47.5000, 3.0000, 48191.6792, 5278201.9262},  {54.9000, 15.0000, 884526.3072, 6100161.1536},
      {50.0000, 9.0000, 500000.0000, 5538630.7027}, {0.5000, 8.5000, 444363.9120, 55267.1556},
      {70.0000, 14.0000, 690670.6937, 7773697.1114},
  };
  for (const auto& q : points) {
    const PlanePoint p = utm_north(q.latitude, q.longitude, 32);
    EXPECT_NEAR(p.easting, q.easting, 0.01) << q.latitude << " " << q.longitude;
    EXPECT_NEAR(p.northing, q.northing, 0.01) << q.latitude << " " << q.longitude;
  }
}

TEST(TransverseMercator, QuarterMeridianOfWgs84) {
  // The meridian quadrant of WGS84 is 10001965.729 m; the series' arc is the
  // rectifying radius times the rectifying latitude, so at 90 degrees the
  // northing is the scale times the quadrant. 89.9999 degrees is used (the
  // conformal latitude is infinite at the pole) with the arc of the last
  // 0.0001 degree, 11.1694 m at the pole's radius of curvature, taken off.
  const PlanePoint p = transverse_mercator(WGS84, 89.9999, 0.0, 0.0, 1.0, 0.0, 0.0);
  const double polar_radius_of_curvature = WGS84.a / (1.0 - WGS84.f);
  EXPECT_NEAR(p.northing, 10001965.729 - polar_radius_of_curvature * 0.0001 * DEGREE, 0.001);
}

TEST(TransverseMercator, CentralMeridianNorthingIsTheScaledMeridianArc) {
  for (double latitude : {0.5, 10.0, 30.0, 47.3, 51.4041, 55.1, 70.0, 84.0}) {
    const PlanePoint p = transverse_mercator(WGS84, latitude, 9.0, 9.0, 0.9996, 500000.0, 0.0);
    EXPECT_NEAR(p.northing, 0.9996 * meridian_arc(WGS84, latitude), 0.001) << latitude;
    EXPECT_NEAR(p.easting, 500000.0, 1e-9) << latitude;
  }
}

TEST(TransverseMercator, MapIsConformalAcrossTheZone) {
  // Conformal: a step north and a step east of the same length on the
  // ellipsoid become steps of equal length at right angles on the plane.
  const double e2 = WGS84.f * (2.0 - WGS84.f);
  for (double latitude : {20.0, 47.5, 51.4, 54.9, 70.0}) {
    for (double offset : {-3.5, -1.0, 2.0, 3.5}) {
      const double lon = 9.0 + offset;
      const double d = 1e-5;  // degrees
      auto at = [&](double lat, double lo) { return transverse_mercator(WGS84, lat, lo, 9.0, 0.9996, 5e5, 0.0); };
      const PlanePoint n1 = at(latitude + d, lon), n0 = at(latitude - d, lon);
      const PlanePoint e1 = at(latitude, lon + d), e0 = at(latitude, lon - d);
      const double s = std::sin(latitude * DEGREE);
      const double meridian_radius = WGS84.a * (1.0 - e2) / std::pow(1.0 - e2 * s * s, 1.5);
      const double parallel_radius = WGS84.a / std::sqrt(1.0 - e2 * s * s) * std::cos(latitude * DEGREE);
      const double step = 2.0 * d * DEGREE;
      const double north_e = (n1.easting - n0.easting) / (meridian_radius * step);
      const double north_n = (n1.northing - n0.northing) / (meridian_radius * step);
      const double east_e = (e1.easting - e0.easting) / (parallel_radius * step);
      const double east_n = (e1.northing - e0.northing) / (parallel_radius * step);
      EXPECT_NEAR(east_e, north_n, 1e-8) << latitude << " " << offset;
      EXPECT_NEAR(east_n, -north_e, 1e-8) << latitude << " " << offset;
    }
  }
}

TEST(TransverseMercator, BerlinStationsOfTheDataSetInUtm33) {
  // The Berlin data set of the examples lists latitude, longitude and UTM
  // zone 33 coordinates in km to three decimals (examples/berlin,
  // Datenbasis: Deutscher Wetterdienst): they must agree to that rounding.
  struct Row {
    double lat, lon, x_km, y_km;
  };
  const Row rows[] = {
      {52.6309, 13.5022, 398.630, 5832.266}, {52.4537, 13.3017, 384.597, 5812.858},
      {52.4040, 13.7309, 413.664, 5806.731}, {52.5447, 13.5598, 402.337, 5822.599},
      {52.3807, 13.5306, 399.986, 5804.398}, {52.5644, 13.3088, 385.368, 5825.159},
      {52.4675, 13.4021, 391.453, 5814.237},
  };
  for (const Row& r : rows) {
    const PlanePoint p = utm_north(r.lat, r.lon, 33);
    EXPECT_NEAR(p.easting / 1000.0, r.x_km, 0.0005) << r.lat;
    EXPECT_NEAR(p.northing / 1000.0, r.y_km, 0.0005) << r.lat;
  }
}

TEST(TransverseMercator, UtmZonesCentralMeridians) {
  EXPECT_EQ(utm_central_meridian(1), -177.0);
  EXPECT_EQ(utm_central_meridian(31), 3.0);
  EXPECT_EQ(utm_central_meridian(32), 9.0);
  EXPECT_EQ(utm_central_meridian(60), 177.0);
}

}  // namespace
}  // namespace stationfile
