#include "store/detail_files.h"

#include <type_traits>

#include "foundation/text_functions.h"
#include "store/error_log.h"
#include "tests/store/store_fixture.h"
#include "tests/support/failing_writes.h"

namespace kestrova {
namespace {

using test::StoreTest;

// The state's clock and desktop may point into the object itself; a copy would dangle.
static_assert(!std::is_copy_constructible_v<ProgramState> &&
              !std::is_move_constructible_v<ProgramState> &&
              !std::is_copy_assignable_v<ProgramState> && !std::is_move_assignable_v<ProgramState>);

class DetailFilesTest : public StoreTest {};

TEST_F(DetailFilesTest, StoresRoundTripAndKeepSeparatorsInValues) {
  state.detailStore.Set("100", "a<===>b\t");
  state.detailStore.Set("ABC", "1\t");
  state.detailStore.Set("abc", "2\t");  // the same key, case folded
  EXPECT_TRUE(state.detailStore.changed());
  ASSERT_TRUE(SaveChangedDetailFiles(state));
  EXPECT_FALSE(state.detailStore.changed());
  EXPECT_EQ(Read("\\dat\\SyousaiInfo.dat"), "100<===>a<===>b\t\r\nABC<===>2\t\r\n");
  WriteSetting("\\Setting\\Syousai_Header.dat", "物件番号\n所在階\n");
  ProgramState again;
  again.environment.SetId(kEnvProgramFolder, state.ProgramFolder());
  LoadDetailFiles(again);
  EXPECT_EQ(again.detailStore.GetView("100"), "a<===>b\t");
  EXPECT_FALSE(again.detailStore.changed());
  EXPECT_EQ(again.detailHeader.IndexOf(Sjis("所在階")), 1);
  EXPECT_EQ(again.dealStore.Count(), 0);
}

TEST_F(DetailFilesTest, UnchangedStoresLeaveTheirFilesAlone) {
  ASSERT_TRUE(WriteFileAtomic(state.PathOf("\\dat\\SeiyakuInfo.dat"), "1<===>2012/03/01\t100\r\n"));
  LoadDetailFiles(state);
  ASSERT_TRUE(SaveChangedDetailFiles(state));
  EXPECT_EQ(FileExists(state.PathOf("\\dat\\SyousaiInfo.dat")), 0);
  state.dealStore.Set("1", "2012/03/01\t100");  // same value: still counts as a change
  state.dealStore.Set("1", "2012/03/02\t120");
  ASSERT_TRUE(SaveChangedDetailFiles(state));
  EXPECT_EQ(Read("\\dat\\SeiyakuInfo.dat"), "1<===>2012/03/02\t120\r\n");
}

TEST_F(DetailFilesTest, StoreThatCannotBeWrittenIsLoggedAndStaysChanged) {
  state.detailStore.Set("100", "3LDK\t");
  {
    test::FailingWrites full({"SyousaiInfo.dat"});
    EXPECT_FALSE(SaveChangedDetailFiles(state));
  }
  EXPECT_EQ(state.errorList.View(0).substr(19),
            "\t30004\t" + Sjis("書き込みできませんでした: ") +
                platform::DisplayPath(state.PathOf("\\dat\\SyousaiInfo.dat")));
  EXPECT_TRUE(state.detailStore.changed());  // the close tries again
}

}  // namespace
}  // namespace kestrova
