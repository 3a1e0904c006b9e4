// The process-wide objects of one program run. main() creates one and passes it by
// reference; every test makes its own, so no two tests share state.
#pragma once

#include <atomic>
#include <set>
#include <string>

#include "foundation/dates.h"
#include "foundation/desktop.h"
#include "foundation/environment.h"
#include "foundation/settings_store.h"
#include "foundation/text_list.h"
#include "store/csv_layout.h"
#include "store/detail_files.h"

namespace kestrova {

struct ProgramState {
  ProgramState() = default;
  // clock and desktop point at members of this very object until a test or main() sets them,
  // so a copy or a moved-to object would point into another one: neither exists.
  ProgramState(const ProgramState&) = delete;
  ProgramState& operator=(const ProgramState&) = delete;

  SettingsStore settings;     // "//ini/..." keys, read from and written to the INI file
  SettingsStore environment;  // ids kEnvFirstMarker-kEnvEndMarker and what the program adds
  TextList errorList;         // "%s\t%5d\t%s" lines, appended to "\\Err\\ErrLog.txt" at close
  int failedWrites = 0;       // files of this program run that could not be written
  int pagesFetched = 0;       // detail pages the service answered during this program run
  int pdfsFetched = 0;        // floor-plan PDFs the service answered during this program run
  DetailStore detailStore;
  DealStore dealStore;
  DetailHeader detailHeader;
  TextList newRows;  // rows gathered during one online listing run
  int newRowsFound = 0;
  HeaderLists headerLists;
  CsvLayout kanriLayout;  // "\\Setting\\Output_Kanri.txt"
  CsvLayout csvLayout;    // "\\Setting\\Output_CSV.txt"
  // Folders the downloads of this program run have already tried to create.
  std::set<std::string> madeFolders;

  // A stop of the online run asked for by the user (the stop button) or by the desktop (the
  // number of a SIGINT or SIGTERM, set from the signal handler). The run ends after the
  // request in flight; the user's stop is cleared when the next command starts, a signal's
  // never, as the program is closing.
  bool stopPressed = false;
  std::atomic<int> stopSignal{0};
  bool StopRequested() const { return stopPressed || stopSignal.load() != 0; }

  // Not owned. Tests point these at a fixed clock and a recording desktop.
  const Clock* clock = &systemClock;
  Desktop* desktop = &nullDesktop;

  // The program folder, the base of every data path, without a trailing "\\".
  std::string ProgramFolder() const { return environment.GetId(kEnvProgramFolder); }
  // ProgramFolder() + relative, where relative begins with "\\" (e.g. "\\dat\\TotalData.txt").
  std::string PathOf(std::string_view relative) const {
    return ProgramFolder() + std::string(relative);
  }

  SystemClock systemClock;
  NullDesktop nullDesktop;
};

}  // namespace kestrova
