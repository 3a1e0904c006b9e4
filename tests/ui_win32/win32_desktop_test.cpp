// The Win32 desktop under Wine: arguments quoted for CreateProcessW come back whole through
// CommandLineToArgvW, whatever spaces, quotes and backslashes a record's text holds; the
// clipboard holds Unicode text; a wait dispatches the messages that arrive meanwhile.
#include "ui/win32/win32_desktop.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "foundation/sjis.h"
#include "ui/win32/win32_text.h"

namespace kestrova {
namespace {

TEST(Win32DesktopTest, QuotedArgumentsComeBackWholeThroughCommandLineToArgv) {
  const std::vector<std::wstring> arguments = {L"plain",
                                               L"",
                                               L"two words",
                                               L"say \"hi\"",
                                               L"C:\\path with space\\",
                                               L"a\\\\\"b",
                                               L"\\\\server\\share\\",
                                               L"tab\there",
                                               L"\"",
                                               L"\\",
                                               L"x\" --headless clean \"y",
                                               L"大阪市中央区 1-2"};
  const std::wstring line = CommandLineOf(L"C:\\Program Files\\viewer.exe", arguments);
  int count = 0;
  LPWSTR* back = CommandLineToArgvW(line.c_str(), &count);
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(count, static_cast<int>(arguments.size()) + 1) << Utf8(kestrova::ProgramText(line));
  EXPECT_EQ(std::wstring(back[0]), L"C:\\Program Files\\viewer.exe");
  for (std::size_t i = 0; i < arguments.size(); ++i)
    EXPECT_EQ(std::wstring(back[i + 1]), arguments[i]) << i;
  LocalFree(back);
}

TEST(Win32DesktopTest, ClipboardHoldsTheTextAsUnicode) {
  Win32Desktop desktop;
  ASSERT_TRUE(desktop.SetClipboardText(Sjis("物件番号 100123456789\tﾃｽﾄ")));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(data, nullptr);
  const std::wstring text(static_cast<const wchar_t*>(GlobalLock(data)));
  GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(text, L"物件番号 100123456789\tﾃｽﾄ");
}

TEST(Win32DesktopTest, SleepKeepsTheWindowsAlive) {
  Win32Desktop desktop;
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PostMessageW(window, WM_APP, 0, 0));
  desktop.ResetPumpStats();
  desktop.Sleep(100);
  EXPECT_GE(desktop.pumpStats().dispatches, 1);
  MSG left;
  EXPECT_FALSE(PeekMessageW(&left, window, 0, 0, PM_NOREMOVE));  // it was dispatched
  DestroyWindow(window);
}

}  // namespace
}  // namespace kestrova
