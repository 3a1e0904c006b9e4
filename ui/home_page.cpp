#include <filesystem>

#include "foundation/platform/platform.h"
#include "ui/version.h"

namespace kestrova {

std::string HomePageTarget() {
  const std::string page = KESTROVA_HOME_PAGE;
  if (page.find("://") != std::string::npos) return page;
  // The documentation ships beside the executable (portable layout, build tree) or in the
  // installed data folder.
  const std::filesystem::path exe(platform::ExecutablePath());
  for (const std::filesystem::path& folder :
       {exe.parent_path(), exe.parent_path().parent_path() / "share" / "kestrova"}) {
    const std::filesystem::path file = folder / page;
    if (std::filesystem::exists(file)) return platform::ProgramPath(file.string());
  }
  return platform::ProgramPath((exe.parent_path() / page).string());
}

}  // namespace kestrova
