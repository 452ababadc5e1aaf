#include "control/form_params.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "control/number_entry.h"
#include "control/setpoints.h"
#include "control/wide_text.h"

namespace vireo {
namespace {

// A dialog border and caption of the classic desktop: the layouts give the
// window's outer size, Qt sizes the client area.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 27;

// A character beyond Latin-1 would be cut to a low byte that may read as
// another character (U+0131 as "1", U+0100 as the end of the text): in an
// entry it becomes "?", which the entry check refuses.
QString EntryText(QString text) {
  for (QChar& c : text) {
    if (c.unicode() > 0xFF) c = QLatin1Char('?');
  }
  return text;
}

// "MS Sans Serif" where it exists; Liberation Sans (metric-compatible with
// Arial, close to it in width) elsewhere.
QFont DialogFont(bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                    QStringLiteral("Liberation Sans")});
  font.setPixelSize(bold ? 13 : 11);
  font.setBold(bold);
  return font;
}

QLabel* Label(QWidget* parent, const char* text, int left, int top, bool bold) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setFont(DialogFont(bold));
  label->move(left, top);
  label->adjustSize();
  return label;
}

QLineEdit* Edit(QWidget* parent, int left, int top) {
  auto* edit = new QLineEdit(QStringLiteral("0"), parent);
  edit->setFont(DialogFont(true));
  edit->setGeometry(left, top, 57, 24);
  edit->setToolTip(QStringLiteral("The target temperature to be set."));
  return edit;
}

QPushButton* Button(QWidget* parent, const char* text, int left) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setFont(DialogFont(true));
  button->setGeometry(left, 82, 57, 25);
  button->setToolTip(QStringLiteral("Sets the target temperature to the value entered above."));
  // Neither is the window's default button: Enter is the key filter's.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

}  // namespace

TForm_Params::TForm_Params(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), dialogs_(dialogs) {
  setObjectName(QStringLiteral("Form_Params"));
  setWindowTitle(QStringLiteral("Reference target temperature"));
  setModal(true);

  Edit_Param_1 = Edit(this, 100, 12);
  Edit_Param_2 = Edit(this, 100, 44);
  Edit_Param_2->hide();
  CB_Param_2 = new QComboBox(this);
  CB_Param_2->setFont(DialogFont(true));
  CB_Param_2->setGeometry(36, 44, 57, 24);
  for (const RampStep& step : RampStepTable) CB_Param_2->addItem(QString::fromLatin1(step.text));
  CB_Param_2->setCurrentIndex(kInitialRateRow);
  L_Param_1 = Label(this, "(\xB0" "C)", 168, 16, true);
  L_Param_2 = Label(this, "Rate (\xB0" "C/min)", 168, 48, true);
  L_Param_2->hide();
  L_Param_2B = Label(this, "as a positive number", 165, 62, false);
  L_Param_2B->hide();
  Btn_OK = Button(this, "&OK", 70);
  Btn_Cancel = Button(this, "&Cancel", 150);

  setTabOrder(Edit_Param_1, Edit_Param_2);
  setTabOrder(Edit_Param_2, CB_Param_2);
  setTabOrder(CB_Param_2, Btn_OK);
  setTabOrder(Btn_OK, Btn_Cancel);
  for (QWidget* w : {static_cast<QWidget*>(Edit_Param_1), static_cast<QWidget*>(Edit_Param_2),
                     static_cast<QWidget*>(CB_Param_2)}) {
    w->installEventFilter(this);
  }
  connect(Btn_OK, &QPushButton::clicked, this, [this] { Btn_OKClick(Btn_OK); });
  connect(Btn_Cancel, &QPushButton::clicked, this, [this] { done(kParameterCancel); });
  setFixedSize(292, 117);
}

void TForm_Params::SetWindowSize(int width, int height) { setFixedSize(width - kFrameWidth, height - kFrameHeight); }

void TForm_Params::ApplySingleLayout() {
  Edit_Param_2->hide();
  CB_Param_2->hide();
  L_Param_2->hide();
  L_Param_2B->hide();
  Btn_OK->move(70, Edit_Param_1->y() + 48);
  Btn_Cancel->move(150, Btn_OK->y());
  SetWindowSize(300, Btn_OK->y() + 70);
}

void TForm_Params::ApplyRampLayout(bool rateList) {
  L_Param_1->show();
  L_Param_2->show();
  if (rateList) {
    CB_Param_2->show();
    CB_Param_2->move(Edit_Param_1->x(), CB_Param_2->y());
    Edit_Param_2->hide();
    L_Param_2B->hide();
  } else {
    CB_Param_2->hide();
    Edit_Param_2->show();
    L_Param_2B->show();
  }
  Btn_OK->move(100, Edit_Param_2->y() + 48);
  Btn_Cancel->move(180, Btn_OK->y());
  SetWindowSize(350, Btn_OK->y() + 70);
}

void TForm_Params::Configure(const ParameterRequest& r) {
  if (r.layout == ParameterLayout::kSingle) {
    ApplySingleLayout();
  } else {
    ApplyRampLayout(r.layout == ParameterLayout::kRampList);
  }
  setWindowTitle(Widened(r.caption));
  Edit_Param_1->setText(Widened(r.offered));
  L_Param_1->setText(Widened(r.unit));
  L_Param_1->adjustSize();
  if (r.layout != ParameterLayout::kSingle) {
    L_Param_2->setText(Widened(r.rateName));
    L_Param_2->adjustSize();
    if (r.offeredRate) Edit_Param_2->setText(Widened(*r.offeredRate));
  }
}

int TForm_Params::ShowModal() { return exec(); }

ParameterEntry TForm_Params::Entry() const {
  return {Narrowed(EntryText(Edit_Param_1->text())), Narrowed(EntryText(Edit_Param_2->text())),
          CB_Param_2->currentIndex()};
}

void TForm_Params::FormShow(QObject*) {
  Edit_Param_1->setFocus();
  Edit_Param_1->selectAll();
}

bool TForm_Params::Edit_ParamKeyPress(QObject*, int key) {
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  Btn_OKClick(Btn_OK);
  return true;
}

void TForm_Params::Btn_OKClick(QObject*) {
  // Each box is judged on what its 20-byte buffer holds.
  const bool firstValid = CheckNumberEntry(Narrowed(EntryText(Edit_Param_1->text()), 20), dialogs_);
  const bool secondValid =
      Edit_Param_2->isHidden() || CheckNumberEntry(Narrowed(EntryText(Edit_Param_2->text()), 20), dialogs_);
  int result = kParameterOk;
  if (!secondValid) {
    Edit_Param_2->setFocus();
    Edit_Param_2->selectAll();
    result = kParameterSecondRefused;
  } else if (!firstValid) {
    Edit_Param_1->setFocus();
    Edit_Param_1->selectAll();
    result = kParameterFirstRefused;
  }
  done(result);
}

bool TForm_Params::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (Edit_ParamKeyPress(watched, key->key())) return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TForm_Params::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow(this);
}

void TForm_Params::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();  // Escape does nothing
    return;
  }
  // Neither button is the default, but Enter on a focused button presses it,
  // as on the desktop this dialog comes from.
  auto* button = qobject_cast<QPushButton*>(focusWidget());
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && button) {
    event->accept();
    button->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TForm_Params::reject() { done(kParameterCancel); }

}  // namespace vireo
