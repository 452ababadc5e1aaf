#pragma once
// Reading the main window back in the program's single-byte texts, for the
// tests that drive it with controller replies.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "support/form_fixture.h"

namespace vireo::testing {

inline std::string Text(const QLabel* label) { return label->text().toLatin1().toStdString(); }

// The lines of a memo's text, whatever line end it uses; no empty last line.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(line);
      line.clear();
    } else {
      line += text[i];
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// A series as (minutes, temperature) records.
inline std::vector<std::pair<double, double>> Records(const FormFixture& f, int series) {
  std::vector<std::pair<double, double>> records;
  for (const std::string& line : Lines(f.SeriesText(series))) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) {
      ADD_FAILURE() << "series " << series << " record without a tab: " << line;
      continue;
    }
    records.emplace_back(std::strtod(line.c_str(), nullptr), std::strtod(line.c_str() + tab + 1, nullptr));
  }
  return records;
}

// A window that has found a one-holder controller: first contact and the
// identification are done, the start-up sequence is queued but has not run,
// and the display log is empty.
class ConnectedWindow : public ::testing::Test {
 protected:
  ConnectedWindow() {
    f.ConnectAndAnswer("[F1 IS 0---]");
    Reply("[F1 ID 10]");
    ClearLog();
  }
  FormA& W() { return *f.form; }
  ControllerState& C() { return f.form->Controller; }
  void ClearLog() { f.form->Btn_ClearClick(f.form->Btn_Clear); }
  // Feeds one reply with the controller's line end.
  void Reply(const std::string& reply) { f.Receive(reply + "\r\n"); }
  std::vector<std::string> Sent() { return f.Sent(); }
  // A user's click on a check box.
  static void Click(QAbstractButton* box) { box->click(); }

  FormFixture f;
};

}  // namespace vireo::testing
