#pragma once
// The "Melting Analysis" window: the melting temperature of each shown cell
// of the spectrometer table, heating and cooling apart, under the chosen
// model with each cell's strand concentration; for a duplex series the three
// methods and the plot of 1/Tm against ln Ct; the fraction unfolded and the
// derivative plotted; the results copied or saved as tab-separated text.

#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "recording/plot_renderer.h"
#include "spectrometer/melt_report.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace vireo {

class Clipboard;
class Dialogs;
class EditBox;
class PlotImage;

inline constexpr const char* kMeltWindowCaption = "Melting Analysis";
inline constexpr int kMeltWindowWidth = 1160, kMeltWindowHeight = 700;

class MeltWindow : public QWidget {
  Q_OBJECT

 public:
  MeltWindow(Dialogs& dialogs, Clipboard& clipboard, QWidget* parent = nullptr);

  // Analyses the cells of `table` that are shown and have records.
  void Analyse(std::string_view table, const std::array<bool, kMeltCells>& shown);
  const MeltSetResult& Results() const { return results_; }
  // The results as copied and saved: the report in the chosen units, CR LF.
  std::string ResultsText() const { return MeltReport(results_, units_, "\r\n"); }

  // Leaving a range box or Enter in it: "A" (or empty) is the whole range.
  void EB_FitRangeExit(QObject* sender);
  // Leaving a concentration box or Enter in it: micromolar, empty for none.
  void EB_CtExit(QObject* sender);
  void CB_ModelChange(QObject* sender);
  void CB_UnitsChange(QObject* sender);
  void Btn_CopyResultsClick(QObject* sender);
  void Btn_SaveResultsClick(QObject* sender);

  EditBox* EB_FitMin = nullptr;
  EditBox* EB_FitMax = nullptr;
  QComboBox* CB_Model = nullptr;  // in MeltModel order
  QComboBox* CB_Units = nullptr;  // kJ, kcal
  std::array<EditBox*, kMeltCells> EB_Ct{};
  QTableWidget* Grid_Results = nullptr;
  QTableWidget* Grid_Series = nullptr;
  QLabel* Label_Series = nullptr;
  PlotImage* Image_Fraction = nullptr;
  PlotImage* Image_Derivative = nullptr;
  PlotImage* Image_Series = nullptr;
  QPushButton* Btn_CopyResults = nullptr;
  QPushButton* Btn_SaveResults = nullptr;

 private:
  void BuildTopRows();
  void Recompute();
  void ShowResults();
  void ShowSeries();

  Dialogs& dialogs_;
  Clipboard& clipboard_;
  std::string table_;
  std::array<bool, kMeltCells> shown_{};
  bool analysed_ = false;  // table_ and shown_ hold what the results are of
  MeltRange range_;
  MeltModel model_ = MeltModel::Unimolecular;
  MeltUnits units_ = MeltUnits::KJ;
  std::array<std::optional<double>, kMeltCells> ct_{};
  MeltSetResult results_;
  PlotRenderer renderer_;  // this window's own: the shared one keeps the main and table plots
  std::string lastSaveName_;
};

}  // namespace vireo
