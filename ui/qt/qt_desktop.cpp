#include "ui/qt/qt_desktop.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include "foundation/platform/platform.h"
#include "ui/qt/qt_text.h"

namespace kestrova {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kWarning:
      return QMessageBox::Warning;
    case MessageIcon::kError:
      return QMessageBox::Critical;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

// A target with a scheme ("https://...", "file:...") is an address; anything else a cp932
// path of the program.
QUrl TargetUrl(std::string_view target) {
  const QString text = ToQString(target);
  const qsizetype colon = text.indexOf(QLatin1Char(':'));
  if (colon > 1 && text.left(colon).contains(QLatin1Char('\\')) == false &&
      text.mid(colon + 1).startsWith(QLatin1String("//"))) {
    return QUrl(text);
  }
  return QUrl::fromLocalFile(QString::fromStdString(platform::NativePath(target)));
}

}  // namespace

MessageAnswer QtDesktop::Message(std::string_view text, std::string_view caption, MessageIcon icon,
                                 MessageButtons buttons) {
  QMessageBox box(BoxIcon(icon), ToQString(caption), ToQString(text), QMessageBox::NoButton,
                  window_);
  switch (buttons) {
    case MessageButtons::kOk:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::kOkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MessageButtons::kYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return MessageAnswer::kOk;
    case QMessageBox::Yes:
      return MessageAnswer::kYes;
    case QMessageBox::No:
      return MessageAnswer::kNo;
    default:
      return buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kCancel;
  }
}

bool QtDesktop::ShellOpen(std::string_view target) {
  return QDesktopServices::openUrl(TargetUrl(target));
}

bool QtDesktop::StartProgram(std::string_view program, const std::vector<std::string>& arguments) {
  QStringList list;
  for (const std::string& a : arguments) list << ToQString(a);
  return QProcess::startDetached(QString::fromStdString(platform::NativePath(program)), list);
}

bool QtDesktop::SetClipboardText(std::string_view text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  clipboard->setText(ToQString(text));
  return true;
}

int QtDesktop::PickFolder(std::string_view initialFolder, std::string_view title,
                          std::string& result) {
  const QString folder = QFileDialog::getExistingDirectory(
      window_, ToQString(title), QString::fromStdString(platform::NativePath(initialFolder)));
  if (folder.isEmpty()) return 2;
  result = platform::ProgramPath(folder.toStdString());
  return 1;
}

bool QtDesktop::IsCtrlHeld() {
  return (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0;
}

void QtDesktop::Pump(int) {
  pacer_.Pump([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
}

void QtDesktop::Sleep(int ms) {
  pacer_.Sleep(ms, [] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
}

}  // namespace kestrova
