#include "spectrometer/melt_models.h"

#include <algorithm>
#include <cmath>

namespace vireo {

std::optional<MeltModel> MeltModelNamed(std::string_view name) {
  for (MeltModel m : {MeltModel::Unimolecular, MeltModel::Heteroduplex, MeltModel::Homoduplex}) {
    if (name == MeltModelName(m)) return m;
  }
  return std::nullopt;
}

const char* MeltModelName(MeltModel model) {
  switch (model) {
    case MeltModel::Heteroduplex: return "heteroduplex";
    case MeltModel::Homoduplex: return "homoduplex";
    case MeltModel::Unimolecular: break;
  }
  return "unimolecular";
}

double LnConcentrationFactor(MeltModel model, double ctMicromolar) {
  const double molar = ctMicromolar * 1e-6;
  switch (model) {
    case MeltModel::Heteroduplex: return std::log(molar / 2);
    case MeltModel::Homoduplex: return std::log(2 * molar);
    case MeltModel::Unimolecular: break;
  }
  return 0.0;
}

double LnAAtTm(MeltModel model) { return IsDuplex(model) ? std::log(2.0) : 0.0; }

double FoldedFraction(MeltModel model, double lnA) {
  if (!IsDuplex(model)) return lnA <= 0 ? std::exp(lnA) / (1 + std::exp(lnA)) : 1 / (1 + std::exp(-lnA));
  // a theta^2 - (2a + 1) theta + a = 0; of its two roots (product 1) the one
  // below 1, written without the cancellation of (2a + 1) - sqrt(4a + 1).
  const double a = std::exp(std::min(lnA, 300.0));
  return 2 * a / (2 * a + 1 + std::sqrt(4 * a + 1));
}

double FoldedSlope(MeltModel model, double theta) {
  // d ln a / d theta = 1/theta + 1/(1-theta) (unimolecular), 1/theta + 2/(1-theta) (duplexes).
  return IsDuplex(model) ? theta * (1 - theta) / (1 + theta) : theta * (1 - theta);
}

double LnAOfFolded(MeltModel model, double theta) {
  return IsDuplex(model) ? std::log(theta) - 2 * std::log1p(-theta) : std::log(theta) - std::log1p(-theta);
}

double LnAFromTm(MeltModel model, double t, double dh, double tm) {
  return LnAAtTm(model) + (dh * 1000 / kGasConstant) * (1 / (t + kKelvin) - 1 / (tm + kKelvin));
}

double EntropyFromTm(MeltModel model, double dh, double tm, double lnC) {
  return dh * 1000 / (tm + kKelvin) + kGasConstant * (lnC - LnAAtTm(model));
}

double TmFromEntropy(MeltModel model, double dh, double ds, double lnC) {
  return dh * 1000 / (ds - kGasConstant * (lnC - LnAAtTm(model))) - kKelvin;
}

double TemperatureAtUnfolded(MeltModel model, double dh, double tm, double unfolded) {
  const double lnA = LnAOfFolded(model, 1 - unfolded);
  return 1 / (1 / (tm + kKelvin) + kGasConstant * (lnA - LnAAtTm(model)) / (dh * 1000)) - kKelvin;
}

}  // namespace vireo
