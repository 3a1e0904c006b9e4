#include "store/detail_files.h"

#include "store/error_log.h"
#include "store/program_state.h"

namespace kestrova {

void MarkedStore::Load(const std::string& path) {
  store_.Clear();
  store_.LoadPairs(path, kPairSeparator);
  changed_ = false;
}

bool MarkedStore::SaveIfChanged(const std::string& path) {
  if (!changed_) return true;
  if (!store_.SavePairs(path, kPairSeparator)) return false;
  changed_ = false;
  return true;
}

void LoadDetailFiles(ProgramState& state) {
  state.detailStore.Load(state.PathOf("\\dat\\SyousaiInfo.dat"));
  state.detailHeader.lines.Clear();
  state.detailHeader.lines.LoadLines(state.PathOf("\\Setting\\Syousai_Header.dat"));
  state.dealStore.Load(state.PathOf("\\dat\\SeiyakuInfo.dat"));
}

bool SaveChangedDetailFiles(ProgramState& state) {
  bool saved = true;
  auto save = [&](MarkedStore& store, const char* relative) {
    const std::string path = state.PathOf(relative);
    if (store.SaveIfChanged(path)) return;
    LogWriteFailure(state, kDetailFileWriteFailed, path);
    saved = false;
  };
  save(state.detailStore, "\\dat\\SyousaiInfo.dat");
  save(state.dealStore, "\\dat\\SeiyakuInfo.dat");
  return saved;
}

}  // namespace kestrova
