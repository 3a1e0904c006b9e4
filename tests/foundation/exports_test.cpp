// libkestrova loaded the way a foreign program loads it: by file name, functions by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

class ExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(KESTROVA_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
  }
  void TearDown() override {
    if (handle_) dlclose(handle_);
  }
  template <typename F>
  F* Function(const char* name) {
    void* f = dlsym(handle_, name);
    EXPECT_NE(f, nullptr) << name;
    return reinterpret_cast<F*>(f);
  }
  void* handle_ = nullptr;
};

using MdText = int(const char*, int, char*);
using MdFile = int(const char*, char*);
using SpecialFolder = int(char*, int);
using FolderName = int(void*, const char*, char*, int, const char*);
using MemToClip = int(const char*);

TEST_F(ExportsTest, TextDigestIsLowercaseHex) {
  auto* f = Function<MdText>("f_MDText_s");
  ASSERT_NE(f, nullptr);
  char result[33];
  std::memset(result, 'x', sizeof result);
  EXPECT_EQ(f("message digest", 0, result), 0);  // 0: the text up to its NUL
  EXPECT_STREQ(result, "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(f("abcdef", 3, result), 0);  // only the first 3 bytes
  EXPECT_STREQ(result, "900150983cd24fb0d6963f7d28e17f72");
}

TEST_F(ExportsTest, FileDigestOrMinusOne) {
  auto* f = Function<MdFile>("f_MDFile_s");
  ASSERT_NE(f, nullptr);
  test::TempFolder dir;
  test::WriteNative(dir.native() + "/a.txt", "abc");
  char result[33] = "untouched";
  EXPECT_EQ(f(dir.Path("a.txt").c_str(), result), 0);
  EXPECT_STREQ(result, "900150983cd24fb0d6963f7d28e17f72");
  std::strcpy(result, "untouched");
  EXPECT_EQ(f(dir.Path("none.txt").c_str(), result), -1);
  EXPECT_STREQ(result, "untouched");
}

TEST_F(ExportsTest, SpecialFolderAlwaysAnswersOne) {
  auto* f = Function<SpecialFolder>("m_GetSpecialFolderLocation");
  ASSERT_NE(f, nullptr);
  setenv("TMPDIR", "/tmp/kestrova-exports", 1);
  char buffer[1024];
  EXPECT_EQ(f(buffer, 0x1001), 1);
  EXPECT_STREQ(buffer, "\\tmp\\kestrova-exports\\");
  EXPECT_EQ(f(buffer, 0x1002), 1);
  std::string name = buffer;
  ASSERT_EQ(name.size(), std::strlen("\\tmp\\kestrova-exports\\t0000000.txt"));
  EXPECT_EQ(name.rfind("\\tmp\\kestrova-exports\\t", 0), 0u);
  EXPECT_EQ(name.find_first_not_of("0123456789", 23), name.size() - 4);
  EXPECT_EQ(name.substr(name.size() - 4), ".txt");
  unsetenv("TMPDIR");
  std::strcpy(buffer, "stale");
  EXPECT_EQ(f(buffer, 0x1003), 1);  // no Windows folder here
  EXPECT_STREQ(buffer, "");
}

TEST_F(ExportsTest, NoDesktopInAForeignProcess) {
  auto* pick = Function<FolderName>("GetOpenFolderName");
  auto* clip = Function<MemToClip>("InetMemToClip");
  ASSERT_NE(pick, nullptr);
  ASSERT_NE(clip, nullptr);
  char result[64] = "unchanged";
  EXPECT_EQ(pick(nullptr, "/tmp", result, sizeof result, nullptr), 2);
  EXPECT_STREQ(result, "unchanged");
  EXPECT_EQ(clip("rows"), 0);
}

TEST_F(ExportsTest, InternalFunctionsStayHidden) {
  EXPECT_EQ(dlsym(handle_, "_ZN8kestrova6MdTextB5cxx11ESt17basic_string_viewIcSt11char_traitsIcEE"),
            nullptr);
  EXPECT_EQ(dlsym(handle_,
                  "_ZN8kestrova12Base64EncodeB5cxx11ESt17basic_string_viewIcSt11char_traitsIcEE"),
            nullptr);
}

}  // namespace
}  // namespace kestrova
