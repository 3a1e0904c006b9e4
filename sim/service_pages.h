// The service's pages around the listings (UTF-8): the login form, the menu shown after a
// login with the usage fee, the failed-login page, the style sheets and the error pages.
#pragma once

#include <string>

namespace kestrova::sim {

// Text taken from a request or the command line, with the markup characters < > & " escaped.
std::string HtmlEscaped(const std::string& text);

std::string LoginFormPage();
// After a successful login: the menu (with "日報検索") and the fee up to the previous day.
std::string MenuPage(const std::string& accountId, int fee);
// After a failed login: no menu.
std::string LoginFailedPage();
// The bytes of "style.css" or "style_fip.css"; empty for any other name.
std::string StyleSheet(const std::string& name);
std::string StatusPage(int status);

}  // namespace kestrova::sim
