// libkestrova (kestrova.dll on Windows) loaded the way a foreign program loads it: by file
// name, functions by name.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif  // _WIN32

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

#ifdef _WIN32
#define KESTROVA_CALL __stdcall
using Library = HMODULE;
Library Load(const char* path) {
  std::string windowsPath = path;
  for (char& c : windowsPath) {
    if (c == '/') c = '\\';
  }
  return LoadLibraryA(windowsPath.c_str());
}
void* Symbol(Library library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(library, name));
}
void Unload(Library library) { FreeLibrary(library); }
#else
#define KESTROVA_CALL
using Library = void*;
Library Load(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }
void* Symbol(Library library, const char* name) { return dlsym(library, name); }
void Unload(Library library) { dlclose(library); }
#endif  // _WIN32

class ExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = Load(KESTROVA_LIBRARY);
    ASSERT_NE(handle_, nullptr) << KESTROVA_LIBRARY;
  }
  void TearDown() override {
    if (handle_) Unload(handle_);
  }
  template <typename F>
  F* Function(const char* name) {
    void* f = Symbol(handle_, name);
    EXPECT_NE(f, nullptr) << name;
    return reinterpret_cast<F*>(f);
  }
  Library handle_ = nullptr;
};

using MdText = int KESTROVA_CALL(const char*, int, char*);
using MdFile = int KESTROVA_CALL(const char*, char*);
using SpecialFolder = int KESTROVA_CALL(char*, int);
using FolderName = int KESTROVA_CALL(void*, const char*, char*, int, const char*);
using MemToClip = int KESTROVA_CALL(const char*);

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
  const test::ScopedTempFolderVariable tmp("kestrova-exports");
  const std::string& folder = tmp.folder;
  char buffer[1024];
  EXPECT_EQ(f(buffer, 0x1001), 1);
  EXPECT_EQ(buffer, folder);
  EXPECT_EQ(f(buffer, 0x1002), 1);
  std::string name = buffer;
  ASSERT_EQ(name.size(), folder.size() + std::strlen("t0000000.txt"));
  EXPECT_EQ(name.rfind(folder + "t", 0), 0u);
  EXPECT_EQ(name.find_first_not_of("0123456789", folder.size() + 1), name.size() - 4);
  EXPECT_EQ(name.substr(name.size() - 4), ".txt");
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
  EXPECT_EQ(
      Symbol(handle_, "_ZN8kestrova6MdTextB5cxx11ESt17basic_string_viewIcSt11char_traitsIcEE"),
      nullptr);
  EXPECT_EQ(Symbol(handle_,
                   "_ZN8kestrova12Base64EncodeB5cxx11ESt17basic_string_viewIcSt11char_traitsIcEE"),
            nullptr);
}

}  // namespace
}  // namespace kestrova
