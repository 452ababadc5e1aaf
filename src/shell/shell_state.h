#pragma once
// Program-wide state of the main window's shell: start-up and closing, the
// layout of the plot area, the command/script panel and the timer's run state.

#include <cstdint>

namespace vireo {

struct ShellState {
  bool CaptionSet = false;  // the first creation has set the caption
  bool CloseAsked = true;   // closing still has to run its shutdown steps
  bool Closing = false;     // the receive handler ignores all bytes
  std::int32_t QuestionsOpen = 0;  // the program's own questions on screen (a script holds)
};

// Counts one of the program's own questions as open while it lives.
class QuestionOpen {
 public:
  explicit QuestionOpen(std::int32_t& open) : open_(open) { ++open_; }
  ~QuestionOpen() { --open_; }
  QuestionOpen(const QuestionOpen&) = delete;
  QuestionOpen& operator=(const QuestionOpen&) = delete;

 private:
  std::int32_t& open_;
};

struct LayoutState {
  std::int32_t LayoutWidth = 432;   // width available to the plot
  std::int32_t LayoutHeight = 239;  // height available to the plot
  bool PlotArranged = false;        // resizing redraws the plot
};

enum PanelModes : std::int32_t { kPanelHidden = 0, kPanelScript = 1, kPanelCommand = 2 };

struct PanelState {
  std::int32_t PanelMode = kPanelHidden;
  std::int32_t ScriptPanelWidth = 230;
  std::int32_t CommandPanelWidth = 230;
};

// What Timer1 does on its ticks.
enum RunStates : std::int32_t {
  kRunOfflineSetup = -1,
  kRunIdle = 0,      // timer off
  kRunProbing = 1,   // sending "[F1 IS ?]" until the controller answers
  kRunScript = 2,
  kRunOffline = 10,
  kRunIdleTimer = 11,  // timer at 600 ms
};

inline constexpr const char* kAppTitle = "Vireo(S) - Temperature Control Application";

}  // namespace vireo
