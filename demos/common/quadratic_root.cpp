#include "quadratic_root.h"

#include <cmath>

namespace demo {

double QuadraticRoot(double qa, double qb, double qc, double D, bool plusRoot) {
  if (qa == 0) return -qc / qb;
  const double sq = std::sqrt(D);
  if (plusRoot) return qb > 0 ? 2 * qc / (-qb - sq) : (-qb + sq) / (2 * qa);
  return qb < 0 ? 2 * qc / (-qb + sq) : (-qb - sq) / (2 * qa);
}

}  // namespace demo
