#include "shell/qt_services.h"

#include <QPushButton>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace vireo {

Answer QtDialogs::Message(const std::string& text, const std::string& caption, Buttons buttons) {
  QMessageBox box(owner);
  QPushButton* openFolder = nullptr;
  box.setWindowTitle(QString::fromLatin1(caption.c_str()));
  box.setText(QString::fromLatin1(text.c_str()));
  switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case Buttons::OpenFolderOk:
      box.setStandardButtons(QMessageBox::Ok);
      openFolder = box.addButton(QStringLiteral("Open Folder"), QMessageBox::ActionRole);
      break;
  }
  const int result = box.exec();
  if (buttons == Buttons::OpenFolderOk) {
    return box.clickedButton() == openFolder ? Answer::OpenFolder : Answer::Ok;
  }
  switch (result) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
  }
}

QString QtFilter(const std::string& filter) {
  const QString f = QString::fromLatin1(filter.c_str());
  const auto bar = f.indexOf(QLatin1Char('|'));
  if (bar < 0) return f;
  return f.left(bar) + QStringLiteral(" (") + f.mid(bar + 1) + QLatin1Char(')');
}

std::optional<std::string> QtDialogs::SaveFileName(const std::string& title, const std::string& filter,
                                                   const std::string& defaultExtension,
                                                   const std::string& proposedName) {
  QFileDialog dialog(owner, QString::fromLatin1(title.c_str()), QString(), QtFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // The extension is added by the dialog itself, so that its question before
  // overwriting is about the file that will be written.
  dialog.setDefaultSuffix(QString::fromLatin1(defaultExtension.c_str()));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog.selectFile(QString::fromStdString(proposedName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtDialogs::OpenFileName(const std::string& title, const std::string& filter,
                                                   const std::string&) {
  const QString chosen =
      QFileDialog::getOpenFileName(owner, QString::fromLatin1(title.c_str()), QString(), QtFilter(filter));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

void QtBeeper::Beep() { QApplication::beep(); }

bool QtDesktop::OpenDocument(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void QtClipboard::SetText(const std::string& singleByteText) {
  QGuiApplication::clipboard()->setText(QString::fromLatin1(singleByteText.data(), static_cast<qsizetype>(singleByteText.size())));
}

void QtClipboard::SetImage(const QImage& image) { QGuiApplication::clipboard()->setImage(image); }

}  // namespace vireo
