#include "ui/qt/tab_order.h"

#include <QGridLayout>
#include <QLayout>
#include <QWidget>
#include <algorithm>
#include <tuple>
#include <vector>

namespace kestrova {

namespace {

void Collect(QLayout* layout, std::vector<QWidget*>& controls);

void CollectItem(QLayoutItem* item, std::vector<QWidget*>& controls) {
  if (QLayout* inner = item->layout()) {
    Collect(inner, controls);
  } else if (QWidget* widget = item->widget()) {
    if (widget->focusPolicy() & Qt::TabFocus) controls.push_back(widget);
    // A container (a group box) holds its controls in a layout of its own.
    if (widget->layout() != nullptr) Collect(widget->layout(), controls);
  }
}

void Collect(QLayout* layout, std::vector<QWidget*>& controls) {
  std::vector<int> order(static_cast<std::size_t>(layout->count()));
  for (int i = 0; i < layout->count(); ++i) order[static_cast<std::size_t>(i)] = i;
  if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
    auto place = [grid](int index) {
      int row = 0, column = 0, rows = 0, columns = 0;
      grid->getItemPosition(index, &row, &column, &rows, &columns);
      return std::make_tuple(row, column, index);
    };
    std::sort(order.begin(), order.end(), [&](int a, int b) { return place(a) < place(b); });
  }
  for (int index : order) CollectItem(layout->itemAt(index), controls);
}

}  // namespace

void SetLayoutTabOrder(QWidget& window) {
  if (window.layout() == nullptr) return;
  std::vector<QWidget*> controls;
  Collect(window.layout(), controls);
  for (std::size_t i = 1; i < controls.size(); ++i)
    QWidget::setTabOrder(controls[i - 1], controls[i]);
}

}  // namespace kestrova
