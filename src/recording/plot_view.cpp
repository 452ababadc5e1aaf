// The main plot: redrawing it from the series, the six limit boxes, the axis
// label editors, "Data Shown", "Copy Plot" and a click on the plot.
#include <QAction>
#include <QLabel>
#include <QPainter>

#include "control/text_helpers.h"
#include "control/wide_text.h"
#include "recording/limit_box.h"
#include "recording/plot_redraw.h"
#include "recording/qpainter_canvas.h"
#include "recording/series_memo.h"
#include "shell/clipboard.h"
#include "shell/form_a.h"
#include "shell/services.h"
#include "shell/widgets.h"

namespace vireo {
namespace {

struct LimitBoxPlace {
  const char* name;
  int left;
};
constexpr LimitBoxPlace kLimitBoxes[6] = {{"EB_MinTime", 140}, {"EB_MaxTime", 201}, {"EB_IncTime", 262},
                                          {"EB_MinTemp", 420}, {"EB_MaxTemp", 481}, {"EB_IncTemp", 542}};

// Copy Plot sizes: As Shown, Large, Medium, Small.
constexpr int kCopyLarge[2] = {628, 372};
constexpr int kCopyMedium[2] = {517, 307};
constexpr int kCopySmall[2] = {400, 237};

// The captions place their words between the limit boxes with blanks, so
// they use a small font that keeps the words in the gaps.
QLabel* PlotLabel(QWidget* parent, const char* text, int left, int top) {
  auto* l = new QLabel(QString::fromLatin1(text), parent);
  QFont font = l->font();
  font.setPixelSize(10);
  l->setFont(font);
  l->move(left, top);
  l->adjustSize();
  l->setAttribute(Qt::WA_TransparentForMouseEvents);
  return l;
}

Panel* BlackSquare(QWidget* parent, int w, int h) {
  auto* p = new Panel(parent);
  p->SetColour(kBlack);
  p->resize(w, h);
  p->setCursor(Qt::PointingHandCursor);
  return p;
}

EditBox* LabelEditor(QWidget* parent, const char* text) {
  auto* e = new EditBox(parent);
  e->resize(150, 21);
  e->setAlignment(Qt::AlignCenter);
  e->setText(QString::fromLatin1(text));
  e->hide();
  return e;
}

}  // namespace

void FormA::BuildPlotPanel() {
  Panel_Plot = new Panel(Client);
  Panel_Plot->setObjectName(QStringLiteral("Panel_Plot"));
  Panel_Plot->SetColour(kWhite);
  Image = new PlotImage(Panel_Plot);
  Image->setObjectName(QStringLiteral("Image"));

  L_TimeLimits = PlotLabel(Panel_Plot, "time min              max                inc", 100, 2);
  L_TempLimits = PlotLabel(Panel_Plot, "temperature min              max                inc", 342, 2);
  for (std::size_t i = 0; i < EB_Limits.size(); ++i) {
    EditBox* box = new EditBox(Panel_Plot);
    box->setObjectName(QString::fromLatin1(kLimitBoxes[i].name));
    box->setGeometry(kLimitBoxes[i].left, 0, 35, 21);
    box->setAlignment(Qt::AlignCenter);
    box->setText(QStringLiteral("A"));
    EB_Limits[i] = box;
  }
  Panel_VAxisLabel = BlackSquare(Panel_Plot, 10, 21);
  Panel_VAxisLabel->move(1, 27);
  Edit_VAxisLabel = LabelEditor(Panel_Plot, "temperature (\xB0" "C)");
  Edit_VAxisLabel->move(1, 27);
  Panel_HAxisLabel = BlackSquare(Panel_Plot, 21, 10);
  Edit_HAxisLabel = LabelEditor(Panel_Plot, "time (min)");
  Panel_DataShowHide = new Panel(Panel_Plot);
  Panel_DataShowHide->SetColour({255, 251, 220});
  Panel_DataShowHide->setFrameShape(QFrame::Box);
  Panel_DataShowHide->setGeometry(0, 3, 12, 12);
  Panel_DataShowHide->setToolTip(QStringLiteral("Double-click to show or hide the recorded numbers"));
  Label_SplBeepCountdown = new QLabel(QStringLiteral("99.99 min"), Panel_Plot);
  Label_SplBeepCountdown->resize(90, 18);
  Label_SplBeepCountdown->hide();
  Panel_Plot->hide();
}

void FormA::PlacePlotControls() {
  const int w = Layout.LayoutWidth;
  const int h = Layout.LayoutHeight;
  Panel_Plot->resize(std::max(1, w), std::max(1, h));
  Image->setGeometry(0, 0, std::max(1, w), std::max(1, h));
  Edit_HAxisLabel->move(w - 171, h - 36);
  Panel_HAxisLabel->move(w - 100, h - 16);
  Panel_DataShowHide->move(w - 39, Panel_DataShowHide->y());
  Label_SplBeepCountdown->move(std::max(0, w - kPlotMarginRight - 95), kPlotMarginTop + 4);
}

void FormA::AttachMainPlot() {
  PlotSlotState& slot = Renderer.Slot(PlotSlot::Main);
  slot.RequestedWidth = Layout.LayoutWidth;
  slot.RequestedHeight = Layout.LayoutHeight;
}

void FormA::SetAxisLabels(std::string_view vertical, std::string_view horizontal) {
  Renderer.VerticalAxisLabel = vertical;
  Renderer.HorizontalAxisLabel = horizontal;
}

void FormA::SetPlotBackground(const PlotColour& colour) { Renderer.PlotBackground = colour; }

void FormA::DrawMainPlot(QImage& target) {
  // The shown memos lose any selection at each redraw, as the series is read.
  static constexpr int kReadOrder[5] = {2, 0, 1, 3, 4};
  for (int i : kReadOrder) {
    if (M_Plot_Shown_Items[static_cast<std::size_t>(i)]->isChecked()) {
      SeriesMemos[static_cast<std::size_t>(i)]->CollapseSelection();
    }
  }
  std::array<const SeriesPoints*, 5> shown{};
  for (std::size_t i = 0; i < shown.size(); ++i) {
    SeriesMemo* memo = SeriesMemos[i];
    if (M_Plot_Shown_Items[i]->isChecked() && !memo->document()->isEmpty()) shown[i] = &memo->Points();
  }
  QPainterCanvas canvas(target);
  AttachCanvas(Renderer, PlotSlot::Main, canvas);
  // No line across a time without reports (a lost link): the same time the
  // link watch waits before it calls the controller silent.
  Renderer.Slot(PlotSlot::Main).GapX =
      Recording.OfflineMode ? 0.0f : static_cast<float>(SilenceLimitMs(Recording.PlotInterval)) / 60000.0f;
  DrawRecordedSeries(Renderer, Limits, PlotExtents, shown);
  // The canvas ends with this redraw; the slot must not keep pointing at it.
  Renderer.Slot(PlotSlot::Main).Canvas = nullptr;
}

void FormA::RedrawPlot() {
  Image->MatchSize();
  DrawMainPlot(Image->Picture());
  Image->update();
}

void FormA::EB_PlotLimitExit(QObject* sender) {
  if (TakeLimitBoxEntry(EB_Limits, sender, Limits, services_.dialogs, limitEntryBusy_)) RedrawPlot();
}

void FormA::Plot_ScaleClick(QObject* sender) {
  if (auto* box = qobject_cast<EditBox*>(sender)) box->selectAll();
}

void FormA::Panel_AxisLabelClick(QObject* sender) {
  const bool vertical = sender == Panel_VAxisLabel;
  Panel* square = vertical ? Panel_VAxisLabel : Panel_HAxisLabel;
  EditBox* editor = vertical ? Edit_VAxisLabel : Edit_HAxisLabel;
  square->hide();
  editor->show();
  editor->raise();
  editor->setFocus();
}

void FormA::Edit_AxisLabelExit(QObject* sender) {
  const bool vertical = sender == Edit_VAxisLabel;
  EditBox* editor = vertical ? Edit_VAxisLabel : Edit_HAxisLabel;
  // Enter hides the editor, which then also loses the focus: act once.
  if (editor->isHidden()) return;
  const std::string label = Narrowed(editor->text()) + " ";
  (vertical ? Renderer.VerticalAxisLabel : Renderer.HorizontalAxisLabel) = label;
  (vertical ? Panel_VAxisLabel : Panel_HAxisLabel)->show();
  editor->hide();
  RedrawPlot();
}

void FormA::M_Plot_ShownClick(QObject* sender) {
  auto* item = qobject_cast<QAction*>(sender);
  if (!item) return;
  item->setChecked(!item->isChecked());
  FormResize(nullptr);
}

void FormA::M_Plot_CopyClick(QObject* sender) {
  int w = Layout.LayoutWidth;
  int h = Layout.LayoutHeight;
  const int* size = sender == M_Plot_Copy_Large    ? kCopyLarge
                    : sender == M_Plot_Copy_Medium ? kCopyMedium
                    : sender == M_Plot_Copy_Small  ? kCopySmall
                                                   : nullptr;
  if (size) {
    w = size[0];
    h = size[1];
  } else if (sender != M_Plot_Copy_Other) {
    return;
  }
  QImage copy(std::max(1, w), std::max(1, h), QImage::Format_RGB32);
  copy.fill(Qt::white);
  PlotSlotState& slot = Renderer.Slot(PlotSlot::Main);
  slot.RequestedWidth = w;
  slot.RequestedHeight = h;
  DrawMainPlot(copy);
  services_.clipboard.SetImage(copy);
  FormResize(nullptr);
}

void FormA::ImageClick(QObject*) {
  SetPlotBackground(kWhite);
  M_EquilRem_StopBeepClick(M_EquilRem_StopBeep);
}

}  // namespace vireo
