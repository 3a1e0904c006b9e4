#include "store/detail_files.h"

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

void SaveChangedDetailFiles(ProgramState& state) {
  state.detailStore.SaveIfChanged(state.PathOf("\\dat\\SyousaiInfo.dat"));
  state.dealStore.SaveIfChanged(state.PathOf("\\dat\\SeiyakuInfo.dat"));
}

}  // namespace kestrova
