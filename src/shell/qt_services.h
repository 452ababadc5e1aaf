#pragma once
// The Qt implementations of the system seams that need widgets.

#include <QWidget>

#include "shell/clipboard.h"
#include "shell/services.h"

namespace vireo {

class QtDialogs final : public Dialogs {
 public:
  Answer Message(const std::string& text, const std::string& caption, Buttons buttons) override;
  std::optional<std::string> SaveFileName(const std::string& title, const std::string& filter,
                                          const std::string& defaultExtension,
                                          const std::string& proposedName) override;
  std::optional<std::string> OpenFileName(const std::string& title, const std::string& filter,
                                          const std::string& defaultExtension) override;
  // Boxes are centred on this window.
  QWidget* owner = nullptr;
};

class QtBeeper final : public Beeper {
 public:
  void Beep() override;
};

class QtDesktop final : public Desktop {
 public:
  bool OpenDocument(const std::string& path) override;
};

class QtClipboard final : public Clipboard {
 public:
  void SetText(const std::string& singleByteText) override;
  void SetImage(const QImage& image) override;
};

// "text files|*.txt" as a Qt file-dialog filter: "text files (*.txt)".
QString QtFilter(const std::string& filter);

}  // namespace vireo
