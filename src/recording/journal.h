#pragma once
// The recording journal as the main window sees it: every record and every
// display-log line goes to disk as it is made, one folder per run, so that a
// crash, a power cut or an unlucky Clear All loses nothing. FileJournal is
// the real one; tests use a double.

#include <optional>
#include <string>
#include <string_view>

namespace vireo {

class Journal {
 public:
  virtual ~Journal() = default;

  // The run's beginning and end (see JournalRuns).
  virtual void Connected() = 0;
  virtual void NewRun() = 0;
  virtual void Disconnected() = 0;
  virtual void Close() = 0;

  // A record of series 1 to 5 as the memo holds it, without its line break.
  virtual void SeriesRecord(int series, std::string_view record) = 0;
  // What AppendToDisplayLog adds (one or more lines).
  virtual void DisplayLogText(std::string_view text) = 0;
  virtual void SpectrometerHeader(std::string_view header) = 0;
  virtual void SpectrometerRecord(std::string_view record) = 0;

  // Why writing failed, once until the journal is complete again; nothing when all is well.
  virtual std::optional<std::string> TakeFailure() = 0;
  // Writes what a failure kept back. True when this call made the journal
  // complete again: its files hold every line, in order.
  virtual bool Retry() = 0;
  // The folder that holds runs/.
  virtual std::string DataFolder() const = 0;
  // Creates the data folder if needed; false when it cannot be.
  virtual bool MakeDataFolder() = 0;
  // The run folder the previous session left open (found at start); empty when none.
  virtual std::string UnendedRun() const = 0;
  // The open run's folder; empty when none is open.
  virtual std::string RunFolder() const = 0;
};

}  // namespace vireo

namespace vireo {

// For a window that keeps no journal (the one its options give by default).
class NoJournal final : public Journal {
 public:
  void Connected() override {}
  void NewRun() override {}
  void Disconnected() override {}
  void Close() override {}
  void SeriesRecord(int, std::string_view) override {}
  void DisplayLogText(std::string_view) override {}
  void SpectrometerHeader(std::string_view) override {}
  void SpectrometerRecord(std::string_view) override {}
  std::optional<std::string> TakeFailure() override { return std::nullopt; }
  bool Retry() override { return false; }
  std::string DataFolder() const override { return std::string(); }
  bool MakeDataFolder() override { return false; }
  std::string UnendedRun() const override { return std::string(); }
  std::string RunFolder() const override { return std::string(); }
};

}  // namespace vireo
