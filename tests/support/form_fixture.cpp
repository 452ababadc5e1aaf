#include "support/form_fixture.h"

#include <QComboBox>
#include <QPlainTextEdit>

#include "recording/series_memo.h"
#include <QPushButton>
#include <QTimer>

namespace vireo::testing {

FormFixture::FormFixture(std::vector<std::string> portList, FormOptions options) {
  ports.ports = std::move(portList);
  form = std::make_unique<FormA>(With(channel, ticks), std::move(options));
  // Ticks are driven by the tests alone.
  form->Timer_LED->stop();
}

FormFixture::~FormFixture() {
  // Closing must not ask anything of a test that is over.
  form->Shell.CloseAsked = false;
  form.reset();
}

void FormFixture::Tick(int n) {
  for (int i = 0; i < n; ++i) {
    ticks.now += 200;
    form->Timer_LEDTimer(form->Timer_LED);
  }
}

void FormFixture::Timer1Tick(int n) {
  for (int i = 0; i < n; ++i) form->Timer1Timer(form->Timer1);
}

void FormFixture::ConnectAndAnswer(const std::string& firstReply) {
  form->Search.Searching = false;
  form->Btn_COMClick(form->Btn_COM);
  Timer1Tick();
  Receive(firstReply + "\r\n");
  Sent();
}

std::vector<std::string> FormFixture::RunStartup(int maxTicks) {
  std::vector<std::string> sent;
  for (int i = 0; i < maxTicks; ++i) {
    Tick();
    for (auto& line : Sent()) sent.push_back(line);
    if (form->Steps.CurrentStep == kStepIdle && form->Steps.PendingCount == 0 && i > 2) break;
  }
  return sent;
}

std::vector<std::string> FormFixture::DisplayLog() const {
  std::vector<std::string> lines;
  const QString text = form->ScriptDisplay->toPlainText();
  if (text.isEmpty()) return lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(line.toLatin1().toStdString());
  return lines;
}

std::string FormFixture::SeriesText(int series) const {
  return form->SeriesMemos[static_cast<std::size_t>(series - 1)]->Text();
}

}  // namespace vireo::testing
