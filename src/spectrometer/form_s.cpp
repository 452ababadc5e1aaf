// The spectrometer window: construction, event wiring and the window handlers.
#include "spectrometer/form_s.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "controller/serial_channel.h"
#include "shell/hint_timing.h"
#include "shell/widgets.h"

namespace vireo {
namespace {

// This window's hints stay 5 seconds (the main window's 10).
constexpr int kHintDisplayMs = 5000;

QPushButton* Button(QWidget* parent, const char* caption, int left, int width) {
  auto* b = new QPushButton(QString::fromLatin1(caption), parent);
  b->setGeometry(left, 12, width, 25);
  return b;
}

EditBox* CentredBox(QWidget* parent, const char* text, int left, int top, int width) {
  auto* box = new EditBox(parent);
  box->setText(QString::fromLatin1(text));
  box->setAlignment(Qt::AlignCenter);
  box->setGeometry(left, top, width, 18);
  return box;
}

QLabel* Caption(QWidget* parent, const char* text, int left, int top) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->move(left, top);
  label->adjustSize();
  return label;
}

QFont PixelFont(const char* family, int pixels) {
  QFont font(QString::fromLatin1(family));
  font.setPixelSize(pixels);
  return font;
}

}  // namespace

TFormS::TFormS(FormSServices services, FormSContext context, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      services_(services),
      context_(std::move(context)) {
  setObjectName(QStringLiteral("FormS"));
  new HintTiming(this, kHintDisplayMs);
  setWindowTitle(QString::fromLatin1(kSpectrometerName));
  setFixedSize(kFormSWidth, kFormSHeight);
  setFont(PixelFont("MS Sans Serif", 11));
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
  BuildMeltControls();
  BuildControls();
  BuildPlotControls();
  ConnectHandlers();
  SerialChannel& channel = services_.spectrometerChannel;
  channel.onReceived = [this](int count) { VaCommRxChar(this, count); };
  channel.onLost = [this](const std::string& reason) { ShowLinkLost(reason); };
  Timer_Reply = new QTimer(this);
  Timer_Reply->setSingleShot(true);
  connect(Timer_Reply, &QTimer::timeout, this, &TFormS::Timer_ReplyTimer);
  Timer_Reconnect = new QTimer(this);
  Timer_Reconnect->setInterval(kReconnectMs);
  connect(Timer_Reconnect, &QTimer::timeout, this, &TFormS::Timer_ReconnectTimer);
}

TFormS::~TFormS() {
  SerialChannel& channel = services_.spectrometerChannel;
  channel.onReceived = nullptr;
  channel.onLost = nullptr;
  channel.Close();
}

void TFormS::BuildControls() {
  const int areaTop = kLimitStripHeight;
  const int areaHeight = kFormSHeight - kControlPanelHeight - areaTop;
  Memo_Received = new QPlainTextEdit(this);
  Memo_Received->setObjectName(QStringLiteral("Memo_Received"));
  Memo_Received->setGeometry(0, areaTop, kFormSWidth, areaHeight);
  Memo_Received->setFont(PixelFont("Courier New", 11));
  Memo_Received->setReadOnly(true);
  Memo_Received->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo_Received->setTabStopDistance(8 * QFontMetricsF(Memo_Received->font()).horizontalAdvance(QLatin1Char(' ')));
  Memo_Received->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo_Received->viewport()->installEventFilter(this);

  Memo_ComDisplay = new QPlainTextEdit(this);
  Memo_ComDisplay->setObjectName(QStringLiteral("Memo_ComDisplay"));
  Memo_ComDisplay->setGeometry(560, 8 + areaTop, 153, 370 - areaTop);
  Memo_ComDisplay->setFont(PixelFont("Courier New", 11));
  Memo_ComDisplay->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo_ComDisplay->hide();

  SImage = new PlotImage(this);
  SImage->setGeometry(0, areaTop, kFormSWidth, areaHeight);
  SImage->hide();

  Panel_Control = new Panel(this);
  Panel_Control->setGeometry(0, kFormSHeight - kControlPanelHeight, kFormSWidth, kControlPanelHeight);
  QWidget* p = Panel_Control;

  GBox_COM = new GroupBox(QString(), p);
  GBox_COM->setGeometry(339, 0, 180, 46);
  Combo_COM = new QComboBox(GBox_COM);
  Combo_COM->setEditable(true);
  Combo_COM->setGeometry(8, 14, 100, 22);
  Combo_COM->setEditText(QStringLiteral("COM1"));
  Btn_COM = new QPushButton(QStringLiteral("Connect"), GBox_COM);
  Btn_COM->setGeometry(114, 12, 60, 25);

  CkB_Sample = new QCheckBox(QStringLiteral("Sample Holder"), p);
  CkB_Sample->setGeometry(75, 6, 105, 17);
  CkB_Probe = new QCheckBox(QStringLiteral("Probe"), p);
  CkB_Probe->setGeometry(75, 24, 105, 17);
  Btn_Clear = Button(p, "Clear", 9, 60);
  Btn_PlotOrData = Button(p, "Show Plot", 188, 72);
  Btn_Copy = Button(p, "Copy Data", 264, 72);
  Btn_Save = Button(p, "Load Data", 340, 72);
  Btn_AutoZero = Button(p, "Zero Absorbance", 418, 100);
  Label_WLnm = Caption(p, "wavelength                 nm", 526, 17);
  Edit_WLnm = CentredBox(p, "550.0", 596, 15, 44);
  Btn_HideWindow = Button(p, "Hide Window", 676, 80);
  ShowMeasurementControls(false);
}

void TFormS::BuildPlotControls() {
  GB_ShowControl = new QGroupBox(QStringLiteral("   show   "), this);
  GB_ShowControl->setGeometry(709, 8 + kLimitStripHeight, 58, 132);
  static constexpr const char* kSwatchNames[kCellCount] = {"Panel_Black", "Panel_Green", "Panel_Red",
                                                           "Panel_Blue",  "Panel_Violet", "Panel_Gray"};
  for (int i = 0; i < kCellCount; ++i) {
    auto* box = new QCheckBox(QString::number(i + 1), GB_ShowControl);
    box->setObjectName(QStringLiteral("CkB_%1").arg(i + 1));
    box->setChecked(true);
    box->setGeometry(6, 16 + 18 * i, 32, 17);
    CkB_Cells[static_cast<std::size_t>(i)] = box;
    auto* swatch = new Panel(GB_ShowControl);
    swatch->setObjectName(QString::fromLatin1(kSwatchNames[i]));
    swatch->setGeometry(40, 19 + 18 * i, 12, 11);
    swatch->SetColour(kCellColours[static_cast<std::size_t>(i)]);
    Panel_Swatches[static_cast<std::size_t>(i)] = swatch;
  }
  GB_ShowControl->hide();

  RG_X_Units = new QGroupBox(QStringLiteral("plot vs"), this);
  RG_X_Units->setGeometry(709, 306, 58, 82);
  RG_X_Units_Items = new QButtonGroup(RG_X_Units);
  const QString items[3] = {QStringLiteral("min"), QStringLiteral("\u2070C"), QStringLiteral("nm")};
  for (int i = 0; i < 3; ++i) {
    auto* item = new QRadioButton(items[i], RG_X_Units);
    item->setGeometry(6, 16 + 20 * i, 48, 18);
    RG_X_Units_Items->addButton(item, i);
  }
  RG_X_Units_Items->button(static_cast<int>(State.Quantity))->setChecked(true);
  RG_X_Units->hide();

  // The limit strip: captions above, boxes below.
  L_Limits = Caption(this, "min               max                inc", 90, 1);
  Label1 = Caption(this, " absorbance min               max               inc", 290, 1);
  L_time = Caption(this, "time", 10, 16);
  L_temperature = Caption(this, "temperature", 10, 16);
  L_wavelength = Caption(this, "wavelength", 10, 16);
  L_time->hide();
  L_wavelength->hide();
  // Each box sits under its word of the caption, whatever the font's widths.
  const QFontMetrics metrics(font());
  const auto under = [&](const QLabel* caption, const char* word) {
    const QString text = caption->text();
    const int centre = metrics.horizontalAdvance(text.left(text.indexOf(QLatin1String(word)))) +
                       metrics.horizontalAdvance(QLatin1String(word)) / 2;
    return caption->x() + centre - 17;
  };
  const std::array<int, 6> boxLeft{under(L_Limits, "min"), under(L_Limits, "max"), under(L_Limits, "inc"),
                                   under(Label1, "min"),   under(Label1, "max"),   under(Label1, "inc")};
  for (std::size_t i = 0; i < EB_Limits.size(); ++i) {
    EB_Limits[i] = CentredBox(this, "A", boxLeft[i], 15, 35);
    EB_Limits[i]->hide();
  }

  Panel_VAxisLabel = new Panel(this);
  Panel_VAxisLabel->SetColour({0, 0, 0});
  Panel_VAxisLabel->setGeometry(1, kLimitStripHeight + 27, 10, 21);
  Panel_VAxisLabel->hide();
  Edit_VAxisLabel = new EditBox(this);
  Edit_VAxisLabel->setText(QStringLiteral("absorbance"));
  Edit_VAxisLabel->setGeometry(1, kLimitStripHeight + 27, 120, 20);
  Edit_VAxisLabel->hide();
}

void TFormS::ConnectHandlers() {
  On(Btn_COM, &QPushButton::clicked, this, &TFormS::Btn_COMClick, Btn_COM);
  On(Edit_WLnm, &EditBox::enterPressed, this, &TFormS::Edit_WLnmKeyPress, Edit_WLnm);
  On(Btn_AutoZero, &QPushButton::clicked, this, &TFormS::Btn_AutoZeroClick, Btn_AutoZero);
  // A check box's handler runs whenever its state changes, also from the program.
  On(CkB_Sample, &QCheckBox::toggled, this, &TFormS::CkB_SampleClick, CkB_Sample);
  On(CkB_Probe, &QCheckBox::toggled, this, &TFormS::CkB_ProbeClick, CkB_Probe);
  On(Btn_Clear, &QPushButton::clicked, this, &TFormS::Btn_ClearClick, Btn_Clear);
  On(Btn_Save, &QPushButton::clicked, this, &TFormS::Btn_SaveClick, Btn_Save);
  On(Btn_Copy, &QPushButton::clicked, this, &TFormS::Btn_CopyClick, Btn_Copy);
  On(Btn_PlotOrData, &QPushButton::clicked, this, &TFormS::Btn_PlotOrDataClick, Btn_PlotOrData);
  On(Btn_HideWindow, &QPushButton::clicked, this, &TFormS::Btn_HideWindowClick, Btn_HideWindow);
  On(Panel_Control, &Panel::doubleClicked, this, &TFormS::Panel_ControlDblClick, Panel_Control);
  for (QCheckBox* box : CkB_Cells) On(box, &QCheckBox::toggled, this, &TFormS::CkB_ShowClick, box);
  On(RG_X_Units_Items, &QButtonGroup::idClicked, this, &TFormS::RG_X_UnitsClick, RG_X_Units);
  for (EditBox* box : EB_Limits) {
    On(box, &EditBox::exited, this, &TFormS::EB_PlotLimitExit, box);
    On(box, &EditBox::enterPressed, this, &TFormS::EB_PlotLimitKeyPress, box);
  }
  On(Panel_VAxisLabel, &Panel::clicked, this, &TFormS::Panel_VAxisLabelClick, Panel_VAxisLabel);
  On(Edit_VAxisLabel, &EditBox::enterPressed, this, &TFormS::Edit_VAxisLabelKeyPress, Edit_VAxisLabel);
}

bool TFormS::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Memo_Received->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    Memo_ReceivedDblClick(Memo_Received);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TFormS::ShowMeasurementControls(bool shown) {
  for (QWidget* w : std::initializer_list<QWidget*>{CkB_Probe, CkB_Sample, Btn_Clear, Btn_Save, Btn_Copy,
                                                    Btn_PlotOrData, Btn_AutoZero, Label_WLnm, Edit_WLnm,
                                                    Btn_MeltAnalysis}) {
    w->setVisible(shown);
  }
}

void TFormS::SetMainWindowShown(bool shown) {
  if (!context_.mainWindow) return;
  if (shown) {
    context_.mainWindow->show();
  } else {
    context_.mainWindow->hide();
  }
}

void TFormS::ShowConnectBox(bool shown) {
  GBox_COM->setVisible(shown);
  if (!shown) return;
  GBox_COM->raise();
  // The box stands where these two buttons are.
  Btn_Save->hide();
  Btn_AutoZero->hide();
}

void TFormS::ShowLinkLost(const std::string& reason) {
  setWindowTitle(QString::fromLatin1(kSpectrometerName) + QStringLiteral("  (link lost)"));
  ShowConnectBox(true);
  if (linkLost_ || Offline()) return;
  linkLost_ = true;
  linkPort_ = Combo_COM->currentText().toStdString();
  Protocol.LinkLost();
  Notice("Spectrometer link lost on " + linkPort_ + (reason.empty() ? "" : " (" + reason + ")") +
         Format(": trying it again every %d s", kReconnectMs / 1000));
  if (onLinkLost) onLinkLost(true, linkPort_);
  Timer_Reconnect->start();
}

void TFormS::Timer_ReconnectTimer() {
  if (linkLost_) Reconnect(linkPort_);
}

void TFormS::Memo_ReceivedDblClick(QObject*) {
  const bool shown = Memo_ComDisplay->isHidden();
  Memo_ComDisplay->setVisible(shown);
  State.TraceShown = shown;
  if (!shown) Memo_ComDisplay->clear();
}

void TFormS::Btn_HideWindowClick(QObject*) {
  SetMainWindowShown(true);
  hide();
}

void TFormS::Panel_ControlDblClick(QObject*) {
  State.MainWindowShown = !State.MainWindowShown;
  SetMainWindowShown(State.MainWindowShown);
  Btn_HideWindow->setText(State.MainWindowShown ? QStringLiteral("Hide Window") : QStringLiteral("Show Vireo"));
}

void TFormS::ResetSpectrometerWindow() {
  services_.spectrometerChannel.Close();
  Timer_Reconnect->stop();
  if (linkLost_) {
    linkLost_ = false;
    if (onLinkLost) onLinkLost(false, linkPort_);
  }
  GBox_COM->show();
  CkB_Probe->setChecked(false);
  CkB_Sample->setChecked(false);
  ShowMeasurementControls(false);
}

}  // namespace vireo
