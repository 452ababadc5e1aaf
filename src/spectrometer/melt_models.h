#pragma once
// The melting models, all two-state with no heat-capacity change, written
// with the melting direction's dH and dS (positive for a stable fold):
//   unimolecular  F <=> U          a = K
//   heteroduplex  A + B <=> AB     a = K Ct/2   (equal strands, Ct in total)
//   homoduplex    2A <=> A2        a = 2 K Ct
// K is the folding (association) constant, ln K = dH/(R T) - dS/R, and a is
// the "reduced" constant: the mass-action law for the folded fraction theta
// becomes theta/(1 - theta) = a (unimolecular) or theta/(1 - theta)^2 = a
// (duplexes), solved in closed form by FoldedFraction.

#include <optional>
#include <string_view>

namespace vireo {

enum class MeltModel { Unimolecular, Heteroduplex, Homoduplex };

inline constexpr double kGasConstant = 8.314462618;  // J/(mol K)
inline constexpr double kKelvin = 273.15;
inline constexpr double kJoulesPerCalorie = 4.184;
// 25 and 37 degrees Celsius in kelvin, where dG is given.
inline constexpr double kT25 = 298.15, kT37 = 310.15;

// "unimolecular", "heteroduplex", "homoduplex"; none for any other name.
std::optional<MeltModel> MeltModelNamed(std::string_view name);
const char* MeltModelName(MeltModel model);

inline bool IsDuplex(MeltModel model) { return model != MeltModel::Unimolecular; }

// ln of a's concentration factor (Ct/2, 2 Ct or 1) for Ct in micromolar.
double LnConcentrationFactor(MeltModel model, double ctMicromolar);

// ln a where half the strands are folded: 0 for the unimolecular model,
// ln 2 for the duplexes (theta = 1/2 in theta/(1-theta)^2 = a).
double LnAAtTm(MeltModel model);

// The folded fraction for ln a, and its derivative d theta / d ln a.
double FoldedFraction(MeltModel model, double lnA);
double FoldedSlope(MeltModel model, double theta);

// ln a at the folded fraction theta (0 < theta < 1): the inverse of FoldedFraction.
double LnAOfFolded(MeltModel model, double theta);

// ln a at temperature t (Celsius) from dH (kJ/mol) and the Tm (Celsius) of a cell.
double LnAFromTm(MeltModel model, double t, double dh, double tm);

// dS (J/(mol K)) of a cell of concentration factor lnC melting at tm with dH.
double EntropyFromTm(MeltModel model, double dh, double tm, double lnC);

// The Tm (Celsius) of a cell of concentration factor lnC for dH and dS.
double TmFromEntropy(MeltModel model, double dh, double ds, double lnC);

// The temperature (Celsius) at which the unfolded fraction is `unfolded`.
double TemperatureAtUnfolded(MeltModel model, double dh, double tm, double unfolded);

}  // namespace vireo
