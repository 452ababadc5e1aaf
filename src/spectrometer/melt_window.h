#pragma once
// The "Melting Analysis" window: the melting temperature of each shown cell
// of the spectrometer table, with the fraction unfolded and the derivative
// plotted, the fit's temperature range, and the results copied or saved as
// tab-separated text.

#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "recording/plot_renderer.h"
#include "spectrometer/melt_report.h"

class QPushButton;
class QTableWidget;

namespace vireo {

class Clipboard;
class Dialogs;
class EditBox;
class PlotImage;

inline constexpr const char* kMeltWindowCaption = "Melting Analysis";

class MeltWindow : public QWidget {
  Q_OBJECT

 public:
  MeltWindow(Dialogs& dialogs, Clipboard& clipboard, QWidget* parent = nullptr);

  // Analyses the cells of `table` that are shown and have records.
  void Analyse(std::string_view table, const std::array<bool, kMeltCells>& shown);
  const std::array<std::optional<MeltResult>, kMeltCells>& Results() const { return results_; }
  // The results as copied and saved: the report's header and lines, CR LF.
  std::string ResultsText() const { return MeltReport(results_, "\r\n"); }

  // Leaving a range box or Enter in it: "A" (or empty) is the whole range.
  void EB_FitRangeExit(QObject* sender);
  void Btn_CopyResultsClick(QObject* sender);
  void Btn_SaveResultsClick(QObject* sender);

  EditBox* EB_FitMin = nullptr;
  EditBox* EB_FitMax = nullptr;
  QTableWidget* Grid_Results = nullptr;
  PlotImage* Image_Fraction = nullptr;
  PlotImage* Image_Derivative = nullptr;
  QPushButton* Btn_CopyResults = nullptr;
  QPushButton* Btn_SaveResults = nullptr;

 private:
  void Recompute();
  void ShowResults();
  void DrawFraction();
  void DrawDerivative();

  Dialogs& dialogs_;
  Clipboard& clipboard_;
  std::string table_;
  std::array<bool, kMeltCells> shown_{};
  MeltRange range_;
  std::array<std::optional<MeltResult>, kMeltCells> results_;
  PlotRenderer renderer_;  // this window's own: the shared one keeps the main and table plots
  std::string lastSaveName_;
};

}  // namespace vireo
