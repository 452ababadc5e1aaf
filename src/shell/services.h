#pragma once
// Small seams between the program and the system: modal message boxes and
// file dialogs, the millisecond tick count, the beep, the serial port list,
// and the desktop (help viewer, raising the window). Each has a Qt
// implementation and a test double, so handlers can be driven headless.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vireo {

// OpenFolderOk: "Open Folder" and OK.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, OpenFolderOk };
// Numbered as the Windows dialog results the program's logic was written against;
// OpenFolder is our own.
enum class Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7, OpenFolder = 100 };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A modal message box; texts are single-byte. Runs a nested event loop in
  // the Qt implementation, as modal boxes do.
  virtual Answer Message(const std::string& text, const std::string& caption, Buttons buttons) = 0;
  // File dialogs; nothing when cancelled. `filter` is "text files|*.txt".
  virtual std::optional<std::string> SaveFileName(const std::string& title, const std::string& filter,
                                                  const std::string& defaultExtension,
                                                  const std::string& proposedName) = 0;
  virtual std::optional<std::string> OpenFileName(const std::string& title, const std::string& filter,
                                                  const std::string& defaultExtension) = 0;
};

class TickSource {
 public:
  virtual ~TickSource() = default;
  // Milliseconds since an arbitrary start, wrapping at 2^32 like the system tick count.
  virtual std::uint32_t Now() const = 0;
};

// The tick count of the steady clock.
class SteadyTickSource final : public TickSource {
 public:
  std::uint32_t Now() const override;
};

class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void Beep() = 0;
};

class PortLister {
 public:
  virtual ~PortLister() = default;
  // The serial ports that can be opened now, in the order they are listed.
  virtual std::vector<std::string> ListPorts() = 0;
  // The ports the last ListPorts left out because this user has no permission to open them.
  virtual std::vector<std::string> DeniedPorts() const = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Opens a document (the help file) or a folder with the desktop's viewer, without waiting.
  virtual bool OpenDocument(const std::string& path) = 0;
};

// The system's requests to end the program: SIGTERM (logging out, shutting
// down), SIGHUP (the terminal that started it closed) and SIGINT (Ctrl+C).
class TerminationSignals {
 public:
  using Handler = std::function<void(std::string_view name)>;
  virtual ~TerminationSignals() = default;
  // From now on each request calls `handler` on the window thread with the
  // signal's name ("SIGTERM", "SIGHUP", "SIGINT").
  virtual void Listen(Handler handler) = 0;
};

}  // namespace vireo
