#pragma once
// A journal double: records every call as a line ("connected", "new run",
// "series 1:  0.003\t 24.87", "log [F1 VN ?]"...), answers with what the test sets.

#include <optional>
#include <string>
#include <vector>

#include "recording/journal.h"

namespace vireo::testing {

class RecordingJournal final : public Journal {
 public:
  void Connected() override { calls.push_back("connected"); }
  void NewRun() override { calls.push_back("new run"); }
  void Disconnected() override { calls.push_back("disconnected"); }
  void Close() override { calls.push_back("close"); }
  void SeriesRecord(int series, std::string_view record) override {
    calls.push_back("series " + std::to_string(series) + ":" + std::string(record));
  }
  void DisplayLogText(std::string_view text) override { calls.push_back("log " + std::string(text)); }
  void SpectrometerHeader(std::string_view header) override { calls.push_back("header " + std::string(header)); }
  void SpectrometerRecord(std::string_view record) override { calls.push_back("spectrometer " + std::string(record)); }
  std::optional<std::string> TakeFailure() override {
    auto f = failure;
    failure.reset();
    return f;
  }
  bool Retry() override {
    ++retries;
    return completeOnRetry;
  }
  std::string DataFolder() const override { return dataFolder; }
  bool MakeDataFolder() override { return true; }
  std::string UnendedRun() const override { return unended; }
  std::string RunFolder() const override { return runFolder; }

  std::vector<std::string> calls;
  std::optional<std::string> failure;  // taken by the next TakeFailure
  int retries = 0;
  bool completeOnRetry = false;  // what Retry answers
  std::string dataFolder = "/data/Vireo";
  std::string unended;
  std::string runFolder;
};

}  // namespace vireo::testing
