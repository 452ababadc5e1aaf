#pragma once
// The recording journal's files on disk: one folder per run, one file per
// series, the spectrometer table and the display log.
//
// Each append is one write(2) of whole lines: nothing is buffered in the
// program, so a crash or a kill of the program loses nothing the system has
// accepted. A background thread makes the written data durable with
// fdatasync at most every sync interval and at the end of each run, then
// marks the ended run; the window thread never waits on the disk for longer
// than one write. A write that fails (disk full, no permission, a removed
// disk) is no end: the writer keeps what it could not write, in order, and
// Retry() writes it once the disk takes it again, so that the files end
// complete. A run that ends meanwhile gets its end marker only then.
//
// POSIX and the standard library only; not thread-safe apart from the
// background thread it owns (call it from one thread).

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "recording/journal_format.h"

namespace vireo {

class JournalWriter {
 public:
  JournalWriter(std::string runsFolder, std::chrono::milliseconds syncInterval);
  ~JournalWriter();
  JournalWriter(const JournalWriter&) = delete;
  JournalWriter& operator=(const JournalWriter&) = delete;

  // Creates the folder of a new run named after `start` (with " (2)" and up
  // when the name is taken), creating the runs folder first if needed.
  void OpenRun(const LocalTime& start);
  // Adds bytes to a file of the open run; the file is created with its first bytes.
  void Append(JournalFile file, std::string_view bytes);
  // The run is complete: its files are made durable in the background, then
  // `marker` is written as its end marker.
  void EndRun(std::string marker);
  // The first failure since the writer was last complete, once ("<path>: <reason>").
  std::optional<std::string> TakeFailure();
  // Tries to write what failed. True when this call has written all that
  // was missing (the writer is complete again).
  bool Retry();
  // The open run's folder; empty when none is open.
  std::string RunFolder() const;

  // The run folders under `runsFolder`, with whether each has ended or is in use.
  static std::vector<RunEntry> ListRuns(const std::string& runsFolder);
  // Writes an end marker into a run folder found at start; false when it cannot.
  static bool MarkRun(const std::string& runFolder, std::string_view text);

 private:
  struct Handle;
  struct Run;
  void Fail(Run& run, const std::string& path, int error);
  // Lines are waiting for the disk.
  bool Missing() const;
  // Creates the run's folder (at its chosen name) and announces it to the sync thread.
  bool MakeRunFolder(Run& run, const std::shared_ptr<Run>& shared);
  // One append; false (and the failure noted) when the disk refused it.
  bool Write(Run& run, JournalFile file, std::string_view bytes);
  // Writes a run's missed lines; false when the disk still refuses.
  bool Catch(const std::shared_ptr<Run>& run);
  void Finish(const std::shared_ptr<Run>& run);
  void SyncLoop();

  const std::string runsFolder_;
  const std::chrono::milliseconds syncInterval_;
  std::shared_ptr<Run> run_;  // the open run (window thread)
  // Runs that ended with lines still missing, oldest first (window thread).
  std::vector<std::shared_ptr<Run>> behind_;
  bool reported_ = false;     // the current failure was taken

  // Shared with the background thread.
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<std::shared_ptr<Run>> runs_;  // open and ended-but-not-yet-durable runs
  std::shared_ptr<Handle> runsDir_;
  std::optional<std::string> failure_;
  bool endPending_ = false;
  bool stop_ = false;
  std::thread thread_;
};

// The system's local time now.
LocalTime SystemLocalTime();

}  // namespace vireo
