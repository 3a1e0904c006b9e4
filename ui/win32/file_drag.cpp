#include "ui/win32/file_drag.h"

#include <shlobj.h>

#include <cstring>

#include "ui/win32/win32_text.h"

namespace kestrova {

namespace {

// DROPFILES followed by the wide paths, each ending in a null, and one more null.
HGLOBAL DropFiles(const std::vector<std::string>& paths) {
  std::wstring list;
  for (const std::string& path : paths) list += WideText(path) + L'\0';
  list += L'\0';
  const std::size_t size = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GHND, size);
  if (memory == nullptr) return nullptr;
  auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), list.data(),
              list.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return memory;
}

bool IsDropFormat(const FORMATETC* format) {
  return format != nullptr && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) &&
         format->dwAspect == DVASPECT_CONTENT;
}

// COM objects end through Release, never through a pointer to their interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// IUnknown for an object of one interface, counted; the last Release deletes it.
template <typename Interface>
class ComObject : public Interface {
 public:
  virtual ~ComObject() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == __uuidof(Interface)) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 private:
  ULONG references_ = 1;
};

class FileDataObject final : public ComObject<IDataObject> {
 public:
  explicit FileDataObject(std::vector<std::string> paths) : paths_(std::move(paths)) {}

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!IsDropFormat(format)) return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = DropFiles(paths_);
    medium->pUnkForRelease = nullptr;
    return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return IsDropFormat(format) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return SHCreateStdEnumFmtEtc(1, &format, formats);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  std::vector<std::string> paths_;
};

// The drag follows the left button: released drops, Escape cancels.
class LeftButtonDropSource final : public ComObject<IDropSource> {
 public:
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

#pragma GCC diagnostic pop

}  // namespace

IDataObject* FileDropData(const std::vector<std::string>& paths) {
  return new FileDataObject(paths);
}

DWORD DragFilesOut(const std::vector<std::string>& paths) {
  if (paths.empty()) return DROPEFFECT_NONE;
  // The drag needs OLE on this thread; a thread that has it already keeps it.
  const bool initialised = SUCCEEDED(OleInitialize(nullptr));
  IDataObject* data = FileDropData(paths);
  IDropSource* source = new LeftButtonDropSource;
  DWORD effect = DROPEFFECT_NONE;
  if (DoDragDrop(data, source, DROPEFFECT_COPY, &effect) != DRAGDROP_S_DROP) {
    effect = DROPEFFECT_NONE;
  }
  source->Release();
  data->Release();
  if (initialised) OleUninitialize();
  return effect;
}

}  // namespace kestrova
