#pragma once
// When the recording journal starts and ends a run, and what goes into it.
//
// A run starts with the first record after the controller's configuration
// (the start-up sequence ends in Clear All), and every later Clear All,
// Clear & Restart and Restart ends it: the next record starts a new one.
// What the display log shows between the first contact and the run's first
// record (the start-up commands, the report-interval commands after a Clear
// All) is held and written at the top of the run's audit trail, with the
// times it was logged. Before a connection, after Restart and offline,
// nothing is journaled.
//
// The rules are pure; the host does the file work (FileJournal on disk, a
// double in tests).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "recording/journal_format.h"

namespace vireo {

class JournalHost {
 public:
  virtual ~JournalHost() = default;
  // A new run folder, named by the current local time.
  virtual void OpenRun() = 0;
  // The run in progress is complete: its files reach the disk and it is marked as ended.
  virtual void EndRun() = 0;
  // Adds finished lines (ending in CR LF) to a file of the open run.
  virtual void Append(JournalFile file, std::string_view lines) = 0;
  // The current local time, ISO 8601.
  virtual std::string Stamp() = 0;
};

// Lines held for a run that has not started are bounded: past this many the
// run starts without waiting for a record, so a long wait after Stop and
// Clear All neither grows memory nor keeps the lines off the disk.
inline constexpr std::size_t kMaxHeldLines = 1000;

class JournalRuns {
 public:
  explicit JournalRuns(JournalHost& host) : host_(host) {}

  // First contact with a controller (at start or after Restart).
  void Connected();
  // Clear All, wherever it comes from (also Clear & Restart's).
  void NewRun();
  // Restart: the connection is given up.
  void Disconnected();
  // The program ends normally.
  void Close();

  void Record(JournalFile file, std::string_view record);
  void LogText(std::string_view text);
  // The spectrometer table's header: written before the next spectrometer
  // record of every run from now on.
  void SpectrometerHeader(std::string_view header);
  void SpectrometerRecord(std::string_view record);

  enum class Phase { Idle, Configuring, Pending, Open };
  Phase CurrentPhase() const { return phase_; }

 private:
  void Open();
  // Ends the run, or writes held lines into a run of their own first.
  void Finish();

  JournalHost& host_;
  Phase phase_ = Phase::Idle;
  std::string held_;  // stamped lines waiting for the run
  std::size_t heldLines_ = 0;
  std::string header_;
  bool headerDue_ = false;
};

}  // namespace vireo
