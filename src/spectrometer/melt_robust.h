#pragma once
// Statistics that one bad reading cannot sway: the median, the noise of the
// readings from the median absolute deviation, and isolated outliers.

#include <cstddef>
#include <vector>

#include "spectrometer/melt_table.h"

namespace vireo {

double Median(std::vector<double> values);

// 1.4826 times the median absolute deviation: the standard deviation for
// Gaussian noise, unmoved by a few wild values.
double RobustSigma(const std::vector<double>& values);

// Least-squares quadratic y = c0 + c1 u + c2 u^2 from running sums; callers
// keep u within about [-1, 1], so the normal equations are well conditioned.
struct Quadratic {
  double su[5] = {}, sy[3] = {};
  double c[3] = {0, 0, 0};
  double varianceAtZero = 0;  // of c0, in units of the readings' variance

  void Add(double u, double y);
  bool Solve();
};

struct Outliers {
  std::vector<std::size_t> indices;  // into the curve, ascending
  double noise = 0;                  // robust standard deviation of one reading
};

// Readings of `curve` (sorted by temperature, distinct temperatures) that lie
// far from a quadratic through their neighbours while those neighbours, once
// the reading is left out, agree with theirs: a single wild reading, never a
// step or a sharp transition that several readings follow.
Outliers IsolatedOutliers(const std::vector<MeltPoint>& curve);

}  // namespace vireo
