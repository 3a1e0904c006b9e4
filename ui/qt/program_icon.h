// The program's own icon, drawn as SVG and rendered at the sizes desktops ask for.
#pragma once

#include <QIcon>

namespace kestrova {

QIcon ProgramIcon();

}  // namespace kestrova
