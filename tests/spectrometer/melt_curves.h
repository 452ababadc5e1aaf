#pragma once
// Synthetic melting curves from the two-state model with known parameters,
// with seeded Gaussian noise, and their spectrometer table records.

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "spectrometer/melt_models.h"
#include "spectrometer/melt_table.h"

namespace vireo::testing {

struct TwoState {
  double tm;   // degrees Celsius
  double dh;   // kJ/mol
  double nativeOffset = 0.50, nativeSlope = 0.0008;
  double unfoldedOffset = 0.80, unfoldedSlope = 0.0015;

  double At(double t) const {
    const double k = std::exp(-(dh * 1000 / 8.314462618) * (1 / (t + 273.15) - 1 / (tm + 273.15)));
    const double native = nativeOffset + nativeSlope * t, unfolded = unfoldedOffset + unfoldedSlope * t;
    return native + (unfolded - native) * k / (1 + k);
  }
};

// The curve upside down about 0.65, a transition that lowers the absorbance.
inline TwoState Mirrored(TwoState s) {
  s.nativeOffset = 1.3 - s.nativeOffset;
  s.unfoldedOffset = 1.3 - s.unfoldedOffset;
  s.nativeSlope = -s.nativeSlope;
  s.unfoldedSlope = -s.unfoldedSlope;
  return s;
}


// The folded fraction solved numerically from the mass balance, with the
// association constant k (1/M) and the total strand concentration ct (M):
// bisection on the free strand concentration x, independent of the closed
// forms the analysis uses.
//   heteroduplex: ct/2 = x + k x^2,   theta = k x^2 / (ct/2)
//   homoduplex:   ct = x + 2 k x^2,   theta = 2 k x^2 / ct
//   unimolecular: theta = k / (1 + k)
inline double FoldedByBisection(MeltModel model, double k, double ct) {
  if (model == MeltModel::Unimolecular) return k / (1 + k);
  const double pairs = model == MeltModel::Heteroduplex ? 1.0 : 2.0;
  const double total = model == MeltModel::Heteroduplex ? ct / 2 : ct;
  double lo = 0, hi = total;
  for (int i = 0; i < 200; ++i) {
    const double x = (lo + hi) / 2;
    (x + pairs * k * x * x > total ? hi : lo) = x;
  }
  const double x = (lo + hi) / 2;
  return pairs * k * x * x / total;
}

// A melting curve of any model from dH (kJ/mol), dS (J/(mol K)) of melting
// and the total strand concentration ct (micromolar), through the numerical
// equilibrium above.
struct Duplex {
  MeltModel model;
  double dh, ds, ct;
  double nativeOffset = 0.50, nativeSlope = 0.0008;
  double unfoldedOffset = 0.80, unfoldedSlope = 0.0015;

  double Unfolded(double t) const {
    const double k = std::exp(dh * 1000 / (8.314462618 * (t + 273.15)) - ds / 8.314462618);
    return 1 - FoldedByBisection(model, k, ct * 1e-6);
  }
  double At(double t) const {
    const double native = nativeOffset + nativeSlope * t, unfolded = unfoldedOffset + unfoldedSlope * t;
    return native + (unfolded - native) * Unfolded(t);
  }
  // Where half the strands are unfolded, by bisection on the temperature.
  double Tm() const {
    double lo = -50, hi = 250;
    for (int i = 0; i < 100; ++i) ((Unfolded((lo + hi) / 2) > 0.5) ? hi : lo) = (lo + hi) / 2;
    return (lo + hi) / 2;
  }
};

template <class Model>
std::vector<MeltPoint> Sampled(const Model& s, double from, double to, double step, double noise,
                                    unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> gauss(0.0, noise);
  std::vector<MeltPoint> points;
  for (int i = 0; from + i * step <= to + 1e-9; ++i) {
    const double t = from + i * step;
    points.push_back({t, s.At(t) + (noise > 0 ? gauss(random) : 0.0)});
  }
  return points;
}

inline std::vector<MeltPoint> Curve(const TwoState& s, double from, double to, double step, double noise, unsigned seed) {
  return Sampled(s, from, to, step, noise, seed);
}
inline std::vector<MeltPoint> Curve(const Duplex& s, double from, double to, double step, double noise, unsigned seed) {
  return Sampled(s, from, to, step, noise, seed);
}

// A table record of `cell` as the spectrometer window writes it.
inline std::string Record(int cell, double minutes, const MeltPoint& p) {
  char text[96];
  std::snprintf(text, sizeof text, "    S\t550.0\t%6.3f\t%6.2f\t%s %.4f%s", minutes, p.temperature,
                std::string(static_cast<std::size_t>(cell - 1), '\t').c_str(), p.absorbance,
                std::string(static_cast<std::size_t>(6 - cell), '\t').c_str());
  return text;
}

inline constexpr const char* kSixCellHeader =
    "   P/S \t nm\t min\t \xB0" "C\t abs(1)\t abs(2)\t abs(3)\t abs(4)\t abs(5)\t abs(6)";

// A six-cell table: at each temperature the changer steps through the cells
// that have a curve, as a recorded run does.
inline std::string SixCellTable(const std::vector<std::vector<MeltPoint>>& curves) {
  std::string table = std::string(kSixCellHeader) + "\r\n";
  double minutes = 0;
  for (std::size_t i = 0;; ++i) {
    bool any = false;
    for (std::size_t c = 0; c < curves.size(); ++c) {
      if (i >= curves[c].size()) continue;
      any = true;
      table += Record(static_cast<int>(c) + 1, minutes, curves[c][i]) + "\r\n";
      minutes += 0.05;
    }
    if (!any) return table;
  }
}

}  // namespace vireo::testing
