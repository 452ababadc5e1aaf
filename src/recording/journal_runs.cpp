#include "recording/journal_runs.h"

#include <algorithm>

namespace vireo {

void JournalRuns::Connected() {
  if (phase_ == Phase::Open) host_.EndRun();
  held_.clear();
  heldLines_ = 0;
  phase_ = Phase::Configuring;
}

void JournalRuns::NewRun() {
  if (phase_ == Phase::Idle) return;
  if (phase_ == Phase::Open) host_.EndRun();
  phase_ = Phase::Pending;
}

void JournalRuns::Disconnected() {
  Finish();
  phase_ = Phase::Idle;
}

void JournalRuns::Close() { Disconnected(); }

void JournalRuns::Finish() {
  // Lines logged after a Clear All that no record followed are kept too.
  if (phase_ == Phase::Pending && heldLines_ > 0) Open();
  if (phase_ == Phase::Open) host_.EndRun();
  held_.clear();
  heldLines_ = 0;
}

void JournalRuns::Open() {
  host_.OpenRun();
  phase_ = Phase::Open;
  headerDue_ = true;
  if (heldLines_ > 0) host_.Append(JournalFile::DisplayLog, held_);
  held_.clear();
  heldLines_ = 0;
}

void JournalRuns::Record(JournalFile file, std::string_view record) {
  // Before the configuration's Clear All, records belong to a series that is about to be emptied.
  if (phase_ == Phase::Idle || phase_ == Phase::Configuring) return;
  if (phase_ == Phase::Pending) Open();
  host_.Append(file, RecordLine(record));
}

void JournalRuns::LogText(std::string_view text) {
  if (phase_ == Phase::Idle) return;
  const std::string lines = StampedLines(host_.Stamp(), text);
  if (phase_ == Phase::Open) {
    host_.Append(JournalFile::DisplayLog, lines);
    return;
  }
  held_ += lines;
  heldLines_ += static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n'));
  if (phase_ == Phase::Pending && heldLines_ >= kMaxHeldLines) Open();
}

void JournalRuns::SpectrometerHeader(std::string_view header) {
  header_ = RecordLine(header);
  headerDue_ = true;
}

void JournalRuns::SpectrometerRecord(std::string_view record) {
  if (phase_ == Phase::Idle || phase_ == Phase::Configuring) return;
  if (phase_ == Phase::Pending) Open();
  if (headerDue_ && !header_.empty()) {
    host_.Append(JournalFile::Spectrometer, header_);
    headerDue_ = false;
  }
  host_.Append(JournalFile::Spectrometer, RecordLine(record));
}

}  // namespace vireo
