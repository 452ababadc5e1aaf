#include "fuzz/reply_feed.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstring>

#include "scripting/display_log_format.h"
#include "shell/widgets.h"

namespace vireo::testing {
namespace {

constexpr const char* kAddresses[] = {"F1", "F1", "F1", "R1", "R1", "F2", "X1", "*L", "F3", "R2"};
constexpr const char* kCodes[] = {"CT", "PT", "VN", "ID", "IS", "ER", "SS", "MS", "LS", "TT", "MT", "LT",
                                  "HL", "HT", "DL", "PL", "FS", "MP", "RR", "PR", "TC", "PX", "DI", "ZZ"};
constexpr char kArgumentChars[] = "0123456789+-.SRN?E e]\r\n[\xB0";
constexpr char kStatusChars[] = "0+-SR?1E";

// Reads the input bytes; zeros once they are used up.
class Source {
 public:
  Source(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  std::uint8_t Byte() { return Empty() ? 0 : data_[pos_++]; }
  std::uint32_t Word() {
    std::uint32_t w = 0;
    for (int i = 0; i < 4; ++i) w = (w << 8) | Byte();
    return w;
  }
  template <std::size_t N>
  const char* Pick(const char* const (&table)[N]) {
    return table[Byte() % N];
  }
  template <std::size_t N>
  char PickChar(const char (&chars)[N]) {
    return chars[Byte() % (N - 1)];
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

std::string Number(Source& s) {
  const auto raw = static_cast<std::int32_t>(s.Word());
  switch (s.Byte() % 4) {
    case 0:
      return std::to_string(raw);
    case 1:
      return std::to_string(raw % 200);
    case 2:
      return Format("%.*f", s.Byte() % 4, static_cast<double>(raw % 20000) / 100.0);
    default:
      return Format("%de%d", raw % 10, static_cast<int>(static_cast<std::int8_t>(s.Byte())));
  }
}

std::string Argument(Source& s) {
  std::string text;
  switch (s.Byte() % 11) {
    case 0: return "";
    case 1: return "?";
    case 2: return "+";
    case 3: return "-";
    case 4: return s.Byte() % 2 ? "N" : "NA";
    case 5:
    case 6: return Number(s);
    case 7: return "S " + Number(s);
    case 8:
      for (int i = s.Byte() % 6; i > 0; --i) text += s.PickChar(kStatusChars);
      return text;
    case 9:
      for (int i = s.Byte() % 16; i > 0; --i) text += s.PickChar(kArgumentChars);
      return text;
    default:
      return std::string(s.Byte() % 120, static_cast<char>('0' + s.Byte() % 10));
  }
}

std::string Reply(Source& s) {
  std::string reply = "[";
  reply += s.Pick(kAddresses);
  reply += ' ';
  reply += s.Pick(kCodes);
  const std::string argument = Argument(s);
  if (!argument.empty()) reply += " " + argument;
  reply += ']';
  if (s.Byte() % 4) reply += "\r\n";
  return reply;
}

// One of the user's actions on the on/off controls.
void UserAction(FormA& w, std::uint8_t which) {
  switch (which % 8) {
    case 0: w.CkB_SController_On->click(); break;
    case 1: w.CkB_RController_On->click(); break;
    case 2: w.CkB_S_StirrerOn->click(); break;
    case 3: w.CkB_R_StirrerOn->click(); break;
    case 4: w.M_Tools_Link_RtoS->trigger(); break;
    case 5: w.M_Tools_TC_Spl_On->trigger(); break;
    case 6: w.M_Tools_TC1_Off->trigger(); break;
    default: w.CkB_P_Avg->click(); break;
  }
}

}  // namespace

std::string CheckInvariants(const FormFixture& f) {
  const FormA& w = *f.form;
  const ControllerState& c = w.Controller;
  if (w.Shell.Closing) return "the window closed";
  if (c.BoxFromReply) return "BoxFromReply is left standing";
  const struct {
    bool flag;
    const QCheckBox* box;
    const QAction* onItem;
    const char* what;
  } pairs[] = {
      {c.SampleTcOn, w.CkB_SController_On, w.M_Tools_TC_Spl_On, "sample control"},
      {c.ReferenceTcOn, w.CkB_RController_On, w.M_Tools_TC_Ref_On, "reference control"},
      {c.SampleStirrerOn, w.CkB_S_StirrerOn, w.M_Tools_SC_Spl_On, "sample stirrer"},
      {c.ReferenceStirrerOn, w.CkB_R_StirrerOn, w.M_Tools_SC_Ref_On, "reference stirrer"},
  };
  for (const auto& p : pairs) {
    if (p.flag != p.box->isChecked() || p.flag != p.onItem->isChecked()) {
      return std::string(p.what) + ": flag, box and menu disagree";
    }
  }
  if (w.ScriptDisplay->blockCount() > kDisplayLogMaxLines) return "display log over its line limit";
  if (c.PositionCount < 1 || c.PositionCount > 99) return "position count " + std::to_string(c.PositionCount);
  if (w.DDL_CuvettePosition->count() < 1 || w.DDL_CuvettePosition->count() > 99) return "position list size";
  if (c.CuvettePosition < 0 || c.CuvettePosition > 99) return "cuvette position " + std::to_string(c.CuvettePosition);
  if (c.ProbeWindowLast < -1 || c.ProbeWindowLast > 19) return "probe window index";
  if (w.Steps.PendingCount < 0 || w.Steps.PendingCount > StepMachine::kQueueCapacity) return "step queue";
  for (const FixedText<10>* t : {&c.SampleTargetText, &c.ReferenceTargetText, &c.SampleStirrerText,
                                 &c.ReferenceStirrerText, &c.SampleRampRateText, &c.ReferenceRampRateText}) {
    if (std::memchr(t->data, '\0', sizeof t->data) == nullptr) return "unterminated text field";
  }
  if (f.dialogs.shown.size() > 1) return "the modem warning was shown twice";
  for (const QLabel* label : {w.L_S_Temperature, w.L_R_Temperature, w.L_P_Temperature, w.L_P_MeanDeviation,
                              w.L_S_TargetT, w.L_R_TargetT, w.L_S_StirSpeed, w.L_R_StirSpeed, w.L_S_HeatExcT,
                              w.L_R_HeatExcT, w.L_ErrorNotice, w.L_S_LED, w.L_R_LED}) {
    if (label->text().size() > 90) return "label text grew: " + label->text().toStdString();
  }
  for (const QWidget* child : w.Panel_Status->findChildren<QWidget*>()) {
    const QRect g = child->geometry();
    if (g.top() < -100 || g.top() > 1000 || g.height() > 1000) {
      return "status panel control out of place: " + child->objectName().toStdString();
    }
  }
  return {};
}

std::string FeedReplies(FormFixture& f, const std::uint8_t* data, std::size_t size) {
  Source s(data, size);
  // The modem warning, should the traffic raise it, is answered "go on".
  f.dialogs.answers.assign(2, Answer::Cancel);
  std::string pending;
  auto deliver = [&](std::size_t keep) -> std::string {
    while (pending.size() > keep) {
      const std::size_t n = std::min<std::size_t>(pending.size(), 1 + s.Byte() % 100);
      f.Receive(pending.substr(0, n));
      pending.erase(0, n);
      if (std::string problem = CheckInvariants(f); !problem.empty()) return problem;
    }
    return {};
  };
  while (!s.Empty()) {
    const std::uint8_t op = s.Byte() % 32;
    if (op == 0) {
      for (int i = s.Byte() % 24; i > 0; --i) pending += static_cast<char>(s.Byte());
    } else if (op == 1) {
      f.Tick(1 + s.Byte() % 8);
    } else if (op == 2) {
      UserAction(*f.form, s.Byte());
    } else if (op == 3 && s.Byte() % 8 == 0) {
      f.form->GBox_COMDblClick(f.form->GBox_COM);  // the echo switch
    } else {
      pending += Reply(s);
    }
    if (std::string problem = deliver(s.Byte() % 160); !problem.empty()) return problem;
    if (std::string problem = CheckInvariants(f); !problem.empty()) return problem;
  }
  return deliver(0);
}

}  // namespace vireo::testing
