// The maintenance window's "controls" for tests, kept apart from the window's fields as in the
// dialog: ReadFields copies the controls in, ShowFields copies the fields out and records the
// status line (UTF-8).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/sjis.h"
#include "ui/maintenance_window.h"

namespace kestrova::test {

class RecordingMaintenanceView final : public MaintenanceView {
 public:
  void ReadFields(MaintenanceFields& fields) override { fields = controls; }
  void ShowFields(const MaintenanceFields& fields) override {
    controls = fields;
    statuses.push_back(Utf8(fields.statusLine));
  }
  void SetTitle(std::string_view title) override { titles.push_back(Utf8(title)); }

  MaintenanceFields controls;
  std::vector<std::string> statuses;
  std::vector<std::string> titles;
};

}  // namespace kestrova::test
