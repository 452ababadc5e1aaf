#pragma once
// The live status server as the user meets it: --serve at start, and the
// File menu's "Live Status Page ..." dialog that starts or stops it and shows
// its address with a Copy button.

#include <QObject>
#include <QString>
#include <optional>

#include "status/status_server.h"

class QAction;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vireo {

class FormA;
struct StartOptions;

// The server's settings from the options; an exit code (after a message on
// standard error) when they are unusable. A token is required on any address
// but loopback, and whenever a token file is given.
std::optional<int> ServeSettingsFromOptions(const StartOptions& start, ServeSettings& settings);

class LiveStatus final : public QObject {
 public:
  // Adds the menu item to the main window's File menu.
  LiveStatus(FormA& form, StatusServer& server, ServeSettings settings);

  // Starts the server; prints the address on standard output. False (after
  // saying why on standard error) when it cannot listen.
  bool Start();

  QAction* M_File_LiveStatus = nullptr;

 private:
  void M_File_LiveStatusClick();
  void Btn_StartStopClick();
  void Btn_CopyClick();
  void ShowState();

  FormA& form_;
  StatusServer& server_;
  ServeSettings settings_;
  QDialog* dialog_ = nullptr;
  QLabel* L_State = nullptr;
  QLineEdit* Edit_Address = nullptr;
  QPushButton* Btn_Copy = nullptr;
  QPushButton* Btn_StartStop = nullptr;
};

}  // namespace vireo
