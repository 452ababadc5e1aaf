#pragma once
// The one modal numeric entry dialog. It knows nothing of what it is asked
// for: the caller sets its caption, texts and layout, shows it, and reads the
// entry back. The dialog itself only turns Enter into OK and refuses text
// that is not a well-formed number. Everything typed or selected stays in its
// controls between uses.

#include <QDialog>

#include "control/parameter_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vireo {

class Dialogs;

class TForm_Params final : public QDialog, public ParameterDialog {
  Q_OBJECT

 public:
  explicit TForm_Params(Dialogs& dialogs, QWidget* parent = nullptr);

  // ParameterDialog
  void Configure(const ParameterRequest& request) override;
  int ShowModal() override;
  ParameterEntry Entry() const override;

  void ApplySingleLayout();
  void ApplyRampLayout(bool rateList);

  void FormShow(QObject* sender);
  // Enter in a box or the list runs the OK handling and is swallowed.
  // Returns true when the key was consumed.
  bool Edit_ParamKeyPress(QObject* sender, int key);
  void Btn_OKClick(QObject* sender);

  QLineEdit* Edit_Param_1 = nullptr;
  QLineEdit* Edit_Param_2 = nullptr;
  QComboBox* CB_Param_2 = nullptr;
  QLabel* L_Param_1 = nullptr;
  QLabel* L_Param_2 = nullptr;
  QLabel* L_Param_2B = nullptr;
  QPushButton* Btn_OK = nullptr;
  QPushButton* Btn_Cancel = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 public slots:
  // Closing the window by other means than its buttons counts as Cancel.
  void reject() override;

 private:
  // The window's outer size, as the layouts give it; the frame is the system's.
  void SetWindowSize(int width, int height);

  Dialogs& dialogs_;
};

}  // namespace vireo
