// Dragging files out of a window: the files as an IDataObject offering CF_HDROP (what Explorer
// and mail programs take), and the OLE drag that offers them for copying only.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <string>
#include <vector>

namespace kestrova {

// A data object holding these files (cp932 program paths) as CF_HDROP; the caller releases it.
IDataObject* FileDropData(const std::vector<std::string>& paths);
// Runs the drag of these files until the drop or the cancel; DROPEFFECT_COPY when dropped.
DWORD DragFilesOut(const std::vector<std::string>& paths);

}  // namespace kestrova
