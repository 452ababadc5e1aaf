#include "recording/journal_writer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace vireo {
namespace {

std::string Join(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path.append(name);
  return path;
}

int OpenDirectory(const std::string& path) { return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }

// Writes all of `bytes`; false with errno set when the system refuses part of them.
bool WriteAll(int fd, std::string_view bytes, std::size_t& written) {
  written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

// A file descriptor shared by the window thread and the background thread;
// closed when the last of them lets it go, so a sync never hits a reused number.
struct JournalWriter::Handle {
  explicit Handle(int f) : fd(f) {}
  ~Handle() {
    if (fd >= 0) ::close(fd);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  int fd;
  std::atomic<bool> dirty{false};  // written since the last sync
};

struct JournalWriter::Run {
  LocalTime start;
  std::string path;  // the run's folder; the runs folder until it is made
  std::shared_ptr<Handle> dir;  // holds the lock that tells other Vireos the run is in use
  std::array<std::shared_ptr<Handle>, kJournalFileCount> files;  // set under mutex_
  std::array<std::size_t, kJournalFileCount> sizes{};           // window thread only
  std::atomic<bool> failed{false};
  std::array<std::string, kJournalFileCount> missed;  // not yet written, in order (window thread only)
  bool ended = false;  // under mutex_
  std::string marker;  // under mutex_
  std::string endMarker;  // given at EndRun (window thread); becomes `marker` when the run is finished
};

JournalWriter::JournalWriter(std::string runsFolder, std::chrono::milliseconds syncInterval)
    : runsFolder_(std::move(runsFolder)), syncInterval_(syncInterval) {
  thread_ = std::thread(&JournalWriter::SyncLoop, this);
}

JournalWriter::~JournalWriter() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void JournalWriter::Fail(Run& run, const std::string& path, int error) {
  run.failed = true;
  std::lock_guard lock(mutex_);
  if (!failure_) failure_ = path + ": " + std::strerror(error);
}

void JournalWriter::OpenRun(const LocalTime& start) {
  if (run_) EndRun(std::string());
  auto run = std::make_shared<Run>();
  run->start = start;
  run->path = runsFolder_;
  run_ = run;
  MakeRunFolder(*run, run);
}

bool JournalWriter::MakeRunFolder(Run& run, const std::shared_ptr<Run>& shared) {
  // Named after the run's start also when the disk lets it be made only later.
  std::error_code error;
  std::filesystem::create_directories(runsFolder_, error);
  if (error) {
    Fail(run, runsFolder_, error.value());
    return false;
  }
  for (int attempt = 1;; ++attempt) {
    run.path = Join(runsFolder_, RunFolderName(run.start, attempt));
    if (::mkdir(run.path.c_str(), 0755) == 0) break;
    if (errno != EEXIST || attempt >= 1000) {
      Fail(run, run.path, errno);
      return false;
    }
  }
  const int dir = OpenDirectory(run.path);
  if (dir < 0) {
    Fail(run, run.path, errno);
    return false;
  }
  run.dir = std::make_shared<Handle>(dir);
  ::flock(dir, LOCK_EX | LOCK_NB);
  run.dir->dirty = true;
  std::lock_guard lock(mutex_);
  if (!runsDir_) {
    const int fd = OpenDirectory(runsFolder_);
    if (fd >= 0) runsDir_ = std::make_shared<Handle>(fd);
  }
  if (runsDir_) runsDir_->dirty = true;
  runs_.push_back(shared);
  return true;
}

void JournalWriter::Append(JournalFile file, std::string_view bytes) {
  Run* run = run_.get();
  if (!run) return;
  std::string& missed = run->missed[static_cast<std::size_t>(file)];
  // Behind a failure everything waits, so that each file keeps its order.
  if (run->failed || !missed.empty() || !Write(*run, file, bytes)) missed.append(bytes);
}

bool JournalWriter::Write(Run& run, JournalFile file, std::string_view bytes) {
  const auto i = static_cast<std::size_t>(file);
  Handle* handle = run.files[i].get();
  if (!handle) {
    if (!run.dir) {
      run.failed = true;
      return false;
    }
    const std::string path = Join(run.path, JournalFileName(file));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
      Fail(run, path, errno);
      return false;
    }
    auto created = std::make_shared<Handle>(fd);
    handle = created.get();
    std::lock_guard lock(mutex_);
    run.files[i] = std::move(created);
    run.dir->dirty = true;
  }
  std::size_t written = 0;
  if (!WriteAll(handle->fd, bytes, written)) {
    const int error = errno;
    // A record cut short would read back as a wrong value: take it off again.
    if (written > 0 && ::ftruncate(handle->fd, static_cast<off_t>(run.sizes[i])) != 0) {
      run.sizes[i] += written;
    }
    Fail(run, Join(run.path, JournalFileName(file)), error);
    return false;
  }
  run.sizes[i] += written;
  handle->dirty.store(true, std::memory_order_release);
  return true;
}

bool JournalWriter::Catch(const std::shared_ptr<Run>& run) {
  if (!run->dir && !MakeRunFolder(*run, run)) return false;
  for (std::size_t i = 0; i < run->missed.size(); ++i) {
    std::string& missed = run->missed[i];
    if (missed.empty()) continue;
    // A refused write marks the run failed again (Fail).
    if (!Write(*run, static_cast<JournalFile>(i), missed)) return false;
    missed.clear();
  }
  run->failed = false;
  return true;
}

bool JournalWriter::Retry() {
  if (!Missing()) return false;
  while (!behind_.empty()) {
    if (!Catch(behind_.front())) return false;
    Finish(behind_.front());
    behind_.erase(behind_.begin());
  }
  if (run_ && !Catch(run_)) return false;
  std::lock_guard lock(mutex_);
  failure_.reset();
  reported_ = false;
  return true;
}

bool JournalWriter::Missing() const { return !behind_.empty() || (run_ && run_->failed); }

void JournalWriter::EndRun(std::string marker) {
  if (!run_) return;
  std::shared_ptr<Run> run = std::move(run_);
  run->endMarker = std::move(marker);
  // A run with lines still missing is not marked as ended before they are written.
  if (run->failed) {
    behind_.push_back(std::move(run));
    return;
  }
  Finish(run);
}

void JournalWriter::Finish(const std::shared_ptr<Run>& run) {
  {
    std::lock_guard lock(mutex_);
    run->ended = true;
    run->marker = std::move(run->endMarker);
    endPending_ = true;
  }
  wake_.notify_one();
}

std::optional<std::string> JournalWriter::TakeFailure() {
  if (reported_) return std::nullopt;
  std::lock_guard lock(mutex_);
  if (!failure_) return std::nullopt;
  reported_ = true;
  std::optional<std::string> failure = std::move(failure_);
  failure_.reset();
  return failure;
}

std::string JournalWriter::RunFolder() const { return run_ ? run_->path : std::string(); }

void JournalWriter::SyncLoop() {
  struct Work {
    std::shared_ptr<Run> run;
    std::array<std::shared_ptr<Handle>, kJournalFileCount> files;
    bool ended;
    std::string marker;
  };
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait_for(lock, syncInterval_, [this] { return stop_ || endPending_; });
    endPending_ = false;
    const bool stopping = stop_;
    std::vector<Work> work;
    for (const auto& run : runs_) work.push_back({run, run->files, run->ended, run->marker});
    std::shared_ptr<Handle> runsDir = runsDir_;
    lock.unlock();

    // The disk work happens without the lock: the window thread only ever
    // waits for the copy above.
    for (Work& w : work) {
      for (std::size_t i = 0; i < w.files.size(); ++i) {
        const auto& file = w.files[i];
        if (file && file->dirty.exchange(false) && ::fdatasync(file->fd) != 0) {
          Fail(*w.run, Join(w.run->path, JournalFileName(static_cast<JournalFile>(i))), errno);
        }
      }
      if (w.ended && !w.marker.empty()) MarkRun(w.run->path, w.marker);
      if (w.run->dir && w.run->dir->dirty.exchange(false)) ::fsync(w.run->dir->fd);
    }
    if (runsDir && runsDir->dirty.exchange(false)) ::fsync(runsDir->fd);

    lock.lock();
    // A run is let go once a round has seen it ended; one that ended while
    // this round synced waits for the next round, which comes at once.
    std::erase_if(runs_, [&work](const std::shared_ptr<Run>& run) {
      return std::any_of(work.begin(), work.end(), [&run](const Work& w) { return w.run == run && w.ended; });
    });
    for (const auto& run : runs_) {
      if (run->ended) endPending_ = true;
    }
    // Stopping: the window thread waits in the destructor, so this round had every run.
    if (stopping) return;
  }
}

std::vector<RunEntry> JournalWriter::ListRuns(const std::string& runsFolder) {
  std::vector<RunEntry> runs;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(runsFolder, error)) {
    std::error_code kind;
    if (!entry.is_directory(kind)) continue;
    RunEntry run{entry.path().filename().string()};
    if (!IsRunFolderName(run.name)) continue;
    run.ended = std::filesystem::exists(entry.path() / kRunEndMarker, kind);
    const int dir = OpenDirectory(entry.path().string());
    if (dir >= 0) {
      run.inUse = ::flock(dir, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
      ::close(dir);
    }
    runs.push_back(std::move(run));
  }
  return runs;
}

bool JournalWriter::MarkRun(const std::string& runFolder, std::string_view text) {
  const int fd = ::open(Join(runFolder, kRunEndMarker).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  std::size_t written = 0;
  const bool ok = WriteAll(fd, text, written) && ::fdatasync(fd) == 0;
  ::close(fd);
  const int dir = OpenDirectory(runFolder);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return ok;
}

LocalTime SystemLocalTime() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  ::localtime_r(&now.tv_sec, &local);
  return {local.tm_year + 1900,
          local.tm_mon + 1,
          local.tm_mday,
          local.tm_hour,
          local.tm_min,
          local.tm_sec,
          static_cast<int>(now.tv_nsec / 1000000),
          static_cast<int>(local.tm_gmtoff / 60)};
}

}  // namespace vireo
