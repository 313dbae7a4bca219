#include "transverse_mercator.h"

#include <cmath>
#include <numbers>

namespace stationfile {

PlanePoint transverse_mercator(const Ellipsoid& ellipsoid, double latitude, double longitude,
                               double central_meridian, double scale, double false_easting,
                               double false_northing) {
  const double n = ellipsoid.f / (2.0 - ellipsoid.f);
  const double n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n, n6 = n5 * n;
  // Rectifying radius: the meridian arc from the equator to latitude mu
  // is A * mu.
  const double rectifying_radius = ellipsoid.a / (1.0 + n) * (1.0 + n2 / 4.0 + n4 / 64.0 + n6 / 256.0);
  const double alpha[6] = {
      n / 2.0 - 2.0 * n2 / 3.0 + 5.0 * n3 / 16.0 + 41.0 * n4 / 180.0 - 127.0 * n5 / 288.0 + 7891.0 * n6 / 37800.0,
      13.0 * n2 / 48.0 - 3.0 * n3 / 5.0 + 557.0 * n4 / 1440.0 + 281.0 * n5 / 630.0 - 1983433.0 * n6 / 1935360.0,
      61.0 * n3 / 240.0 - 103.0 * n4 / 140.0 + 15061.0 * n5 / 26880.0 + 167603.0 * n6 / 181440.0,
      49561.0 * n4 / 161280.0 - 179.0 * n5 / 168.0 + 6601661.0 * n6 / 7257600.0,
      34729.0 * n5 / 80640.0 - 3418889.0 * n6 / 1995840.0,
      212378941.0 * n6 / 319334400.0,
  };
  constexpr double DEGREE = std::numbers::pi / 180.0;
  const double phi = latitude * DEGREE;
  const double lambda = (longitude - central_meridian) * DEGREE;
  // Conformal latitude, through its tangent.
  const double e = 2.0 * std::sqrt(n) / (1.0 + n);
  const double sin_phi = std::sin(phi);
  const double t = std::sinh(std::atanh(sin_phi) - e * std::atanh(e * sin_phi));
  const double xi_prime = std::atan2(t, std::cos(lambda));
  const double eta_prime = std::atanh(std::sin(lambda) / std::sqrt(1.0 + t * t));
  double xi = xi_prime;
  double eta = eta_prime;
  for (int j = 1; j <= 6; ++j) {
    const double a = alpha[j - 1];
    xi += a * std::sin(2.0 * j * xi_prime) * std::cosh(2.0 * j * eta_prime);
    eta += a * std::cos(2.0 * j * xi_prime) * std::sinh(2.0 * j * eta_prime);
  }
  return PlanePoint{false_easting + scale * rectifying_radius * eta, false_northing + scale * rectifying_radius * xi};
}

double utm_central_meridian(int zone) { return 6.0 * zone - 183.0; }

PlanePoint utm_north(double latitude, double longitude, int zone) {
  return transverse_mercator(GRS80, latitude, longitude, utm_central_meridian(zone), 0.9996, 500000.0, 0.0);
}

}  // namespace stationfile
