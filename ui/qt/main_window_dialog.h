// MainWindowDialog: the main window's controls over the toolkit-free MainWindow. It moves
// values between the controls and the fields and forwards every button; the rules are
// MainWindow's.
#pragma once

#include <QDialog>
#include <functional>
#include <map>

#include "ui/main_window.h"

class QCheckBox;
class QEventLoop;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kestrova {

class MainWindowDialog final : public QDialog, public MainWindowView {
  Q_OBJECT

 public:
  MainWindowDialog(ProgramState& state, TransportFactory transports, QWidget* parent = nullptr);

  // The start-up sequence, then the login ID question when no ID is known. false when the
  // start-up check failed and the program ends.
  bool StartUp(const EnvironmentSource& source, const LoginIdSources& loginId);
  // Shows the window and runs its events until the close sequence has ended it.
  void Run();
  MainWindow& window() { return window_; }
  // The window a button opens (1013 local search, 1043 maintenance, 1054 code lookup).
  void SetWindowOpener(MainCommand id, std::function<void()> open) {
    openers_[id] = std::move(open);
  }
  void ShowAbout();
  // "自動取得の設定...": the daily run of this program folder.
  void ShowSchedule();

  void ReadFields(MainFields& fields) override;
  void ShowFields(const MainFields& fields) override;
  void SetTitle(std::string_view title) override;
  void SearchProgress(int done, int total) override;
  void ShowBusy(bool busy, bool stoppable) override;
  bool OpenWindow(MainCommand id) override;
  void EndWindow() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // Escape would end the dialog without the close sequence: it does nothing.
  void reject() override {}

 private:
  void BuildControls();
  QPushButton* CommandButton(int id, const char* caption);
  void RunCommand(MainCommand id);

  ProgramState& state_;
  MainWindow window_;
  std::map<int, QLineEdit*> edits_;
  std::map<int, QCheckBox*> checks_;
  std::map<int, QPushButton*> buttons_;
  std::map<MainCommand, std::function<void()>> openers_;
  QPlainTextEdit* log_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* stop_ = nullptr;
  QTimer* signalWatch_ = nullptr;
  QEventLoop* loop_ = nullptr;
  bool ended_ = false;
  bool showingFields_ = false;
};

}  // namespace kestrova
