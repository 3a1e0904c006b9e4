#include "ui/qt/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QWidget>
#include <QWindow>
#include <vector>

#include "foundation/settings_store.h"
#include "ui/window_placement.h"

namespace kestrova {

namespace {

// The placement is the frame's; the size Qt sets is the client's, the frame's less its
// margins. A window's position is its frame's.
void PlaceFrame(QWidget& window, const WindowRect& frame, const QMargins& margins) {
  window.resize(frame.width - margins.left() - margins.right(),
                frame.height - margins.top() - margins.bottom());
  window.move(frame.left, frame.top);
}

class FrameMarginsWatch final : public QObject {
 public:
  FrameMarginsWatch(QWidget& window, const WindowRect& frame)
      : QObject(&window), window_(window), frame_(frame) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (watched != &window_ ||
        (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize))
      return false;
    const QWindow* handle = window_.windowHandle();
    if (handle == nullptr || handle->frameMargins().isNull()) return false;
    window_.removeEventFilter(this);
    deleteLater();
    PlaceFrame(window_, frame_, handle->frameMargins());
    return false;
  }

 private:
  QWidget& window_;
  WindowRect frame_;
};

}  // namespace

void RestorePlacement(QWidget& window, const SettingsStore& settings, const SettingKey& key) {
  std::vector<WindowRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect area = screen->availableGeometry();
    screens.push_back({area.x(), area.y(), area.width(), area.height()});
  }
  const WindowRect frame = PlacementToOpen(settings, key, screens);
  window.winId();
  const QMargins margins =
      window.windowHandle() != nullptr ? window.windowHandle()->frameMargins() : QMargins();
  PlaceFrame(window, frame, margins);
  // A window manager that frames the window only once it is shown (X11) makes its margins
  // known then: the frame is placed again with them, once.
  if (margins.isNull()) window.installEventFilter(new FrameMarginsWatch(window, frame));
}

void SavePlacement(const QWidget& window, SettingsStore& settings, std::string_view key) {
  const QRect frame = window.frameGeometry();
  SavePlacement({frame.left(), frame.top(), frame.width(), frame.height()}, settings, key);
}

void RestoreColumnWidths(QTableView& view, const SettingsStore& settings, std::string_view key) {
  const std::vector<int> widths = RestoreColumnWidths(settings, key);
  const int columns = view.horizontalHeader()->count();
  for (int i = 0; i < columns && i < static_cast<int>(widths.size()); ++i) {
    if (widths[i] > 0) view.setColumnWidth(i, widths[i]);
  }
}

void SaveColumnWidths(const QTableView& view, SettingsStore& settings, std::string_view key) {
  std::vector<int> widths;
  for (int i = 0; i < view.horizontalHeader()->count(); ++i) widths.push_back(view.columnWidth(i));
  SaveColumnWidths(widths, settings, key);
}

}  // namespace kestrova
