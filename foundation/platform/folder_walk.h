// The walk of a folder tree under ListFiles, one per platform (platform/posix_files.cpp,
// platform/win32_files.cpp).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kestrova::platform {

// Calls visit(path, name) for every file below folder (a cp932 program path without a trailing
// "\\"), depth first in the order the system lists each folder. Folders depth or more levels
// below folder are not entered (depth 0: no limit), nor is a folder the walk has come back to
// through a link. A folder that cannot be read contributes nothing.
void WalkFiles(std::string_view folder, int depth,
               const std::function<void(const std::string& path, const std::string& name)>& visit);

}  // namespace kestrova::platform
