// "Work Offline": the main window without a controller, a viewer in which
// saved series are loaded into the five series and plotted, and the host of
// the spectrometer window's simulated experiment. Entered once; nothing
// leads back.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include "controller/serial_channel.h"
#include "shell/form_a.h"
#include "shell/widgets.h"

namespace vireo {
namespace {

// Offline the series are named by the colours they are drawn in; by series
// number - 1: sample, reference, probe, the two heat exchangers.
constexpr const char* kOfflineCaptions[5] = {"Black", "Green", "Red", "Blue", "Fuchsia"};

constexpr int kOfflineWidth = 849;
constexpr int kOfflinePlotHeight = 490;
constexpr int kOfflineHeight = kOfflinePlotHeight + 90;

}  // namespace

void FormA::Btn_OfflineClick(QObject* sender) {
  if (!sender) return;
  SerialChannel& channel = services_.controllerChannel;
  if (channel.Active()) channel.Close();
  Label_Waiting->hide();

  if (!Recording.OfflineMode) {
    // A controller-free configuration: two holders and an external probe.
    Search.Searching = false;
    Controller.FirmwareVersion = 2.0f;
    Controller.ModelId = "24";
    Controller.HasProbe = true;
    Controller.ProbePresent = true;
    RunState = kRunOfflineSetup;

    GBox_COM->hide();
    Panel_Status->resize(1, Panel_Status->height());
    resize(kOfflineWidth, kOfflineHeight);
    // The resize event of a shown window comes later; the plot and the label
    // controls along its edges take their places now.
    Layout.LayoutWidth = kOfflineWidth;
    Layout.LayoutHeight = kOfflinePlotHeight;
    PlacePlotControls();
    AttachMainPlot();
    Renderer.SeriesLineWidth = 2;
    SetAxisLabels("temperature (\xB0" "C)", "time (min)");
    Layout.PlotArranged = true;
    Panel_Plot->move(Panel_Status->width(), 1);
    Panel_Plot->show();
    EnableMainMenus(true);

    Show(M_File_WorkOffline, false);
    Show(M_File_Restart, false);
    Enable(M_Tools, false);
    Enable(M_Data_Copy, false);
    Enable(M_Data_Save, false);
    Enable(M_Plot_TimeInterval, false);
    Enable(M_Plot_ClearRestart, false);
    Enable(M_Plot_Stop, false);
    Enable(M_Plot_Shown, true);
    M_Plot_ClearAllClick(M_Plot_ClearAll);
  }

  Recording.OfflineMode = true;
  setWindowTitle(QStringLiteral("%1 %2").arg(QString::fromLatin1(kAppTitle), QStringLiteral("(Offline Mode)")));
  for (std::size_t i = 0; i < 5; ++i) {
    const QString caption = QString::fromLatin1(kOfflineCaptions[i]);
    M_Plot_Shown_Items[i]->setText(caption);
    Show(M_Plot_Shown_Items[i], true);
    M_Plot_Shown_Items[i]->setChecked(false);
    for (QAction* item : {M_Data_Copy_Items[i], M_Data_Save_Items[i]}) {
      item->setText(caption);
      Show(item, false);
    }
    Show(M_Data_Load_Items[i], true);
    M_Data_Load_Items[i]->setText(caption);
  }
  Timer1->start();
  RunState = kRunOffline;
  Enable(M_Spectrometer, true);
  M_Plot_Shown_Probe->setChecked(true);
  M_Plot_Shown_Items[0]->setChecked(true);
  Recording.LivePlot = true;
  Image->setGeometry(Image->x(), Image->y(), Panel_Plot->width(), Panel_Plot->height() - Image->y());
  // The error strip takes no room: nothing reports errors offline.
  Panel_ErrorNotice->hide();
  AlignPanels();
}

}  // namespace vireo
