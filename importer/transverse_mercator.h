// Latitude and longitude on an ellipsoid to the plane of a transverse
// Mercator projection, by Krueger's series in the third flattening n to
// the sixth order (as given by Karney, "Transverse Mercator with an
// accuracy of a few nanometres", J. Geodesy 85, 2011). Within a UTM zone
// the series is exact to far below a millimetre.
#pragma once

namespace stationfile {

struct Ellipsoid {
  double a;  // semi-major axis, m
  double f;  // flattening
};

// ETRS89, which the German stations' coordinates are given in; WGS84
// (f = 1/298.257223563) differs from it by a tenth of a millimetre here.
inline constexpr Ellipsoid GRS80{6378137.0, 1.0 / 298.257222101};

struct PlanePoint {
  double easting;   // m
  double northing;  // m
};

// The projection with the given central meridian (degrees), scale on it
// and false easting and northing (m). Latitude and longitude in degrees;
// the longitude must lie within 90 degrees of the central meridian.
PlanePoint transverse_mercator(const Ellipsoid& ellipsoid, double latitude, double longitude,
                               double central_meridian, double scale, double false_easting,
                               double false_northing);

// Central meridian of a UTM zone (1 to 60), degrees.
double utm_central_meridian(int zone);

// UTM of the northern hemisphere (false northing 0) on GRS80.
PlanePoint utm_north(double latitude, double longitude, int zone);

}  // namespace stationfile
