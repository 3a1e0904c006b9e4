#include "sim/service_pages.h"

namespace kestrova::sim {

namespace {

std::string Page(const std::string& title, const std::string& body) {
  return "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"UTF-8\">\n<title>" + title +
         "</title>\n<link rel=\"stylesheet\" href=\"/reinsip/css/style.css\">\n</head>\n<body>\n"
         "<div class=\"sysHeader\">REINS IP型物件検索システム</div>\n" +
         body + "</body>\n</html>\n";
}

}  // namespace

std::string HtmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string LoginFormPage() {
  return Page("ログイン",
              "<form method=\"post\" action=\"/reinsip/an0100/an010002_login.do\">\n"
              "<table class=\"login\">\n"
              "<tr><th>利用者ID</th><td><input type=\"text\" name=\"riyousyaId\"></td></tr>\n"
              "<tr><th>パスワード</th><td><input type=\"password\" name=\"password\"></td></tr>\n"
              "</table>\n<input type=\"submit\" value=\"ログイン\">\n</form>\n");
}

std::string MenuPage(const std::string& accountId, int fee) {
  return Page(
      "メニュー",
      "<p class=\"user\">利用者ID：" + HtmlEscaped(accountId) +
          "</p>\n"
          "<ul class=\"menu\">\n"
          "<li><a href=\"/reinsip/in0100/in010001_init.do\">物件検索</a></li>\n"
          "<li><a href=\"/reinsip/in0100/in010001_init.do?seiyaku=1\">成約物件検索</a></li>\n"
          "<li><a href=\"/reinsip/nh0100/nh010001_init.do\">日報検索</a></li>\n"
          "</ul>\n"
          "<table class=\"fee\">\n<tr><th>前日までの利用料</th><td class=\"feeValue\">" +
          std::to_string(fee) + "円</td></tr>\n</table>\n");
}

std::string LoginFailedPage() {
  return Page("ログイン",
              "<p class=\"errMsg\">利用者IDまたはパスワードが正しくありません。</p>\n"
              "<p><a href=\"/reinsip/an0100/an010001_init.do\">ログイン画面へ戻る</a></p>\n");
}

std::string StyleSheet(const std::string& name) {
  if (name == "style.css") {
    return "@charset \"UTF-8\";\n"
           "body { font-family: sans-serif; font-size: 12px; margin: 8px; }\n"
           ".sysHeader { background: #004080; color: #fff; padding: 4px 8px; font-weight: bold; }\n"
           ".errMsg { color: #c00; }\n"
           "table.fee th, table.login th { text-align: left; padding-right: 12px; }\n"
           "ul.menu li { display: inline; margin-right: 16px; }\n";
  }
  if (name == "style_fip.css") {
    return "@charset \"UTF-8\";\n"
           "table.rsTable { border-collapse: collapse; }\n"
           ".rhTe { background: #d8e4f0; border: 1px solid #999; }\n"
           ".rlTeB { background: #eef; border: 1px solid #999; text-align: right; }\n"
           ".rbTeT, .rbTeM { border: 1px solid #999; padding: 2px 4px; }\n"
           ".dtTh, .dtGroup { background: #eef; border: 1px solid #999; }\n"
           ".dtTd { border: 1px solid #999; }\n";
  }
  return "";
}

std::string StatusPage(int status) {
  return Page("エラー",
              "<p class=\"errMsg\">エラーが発生しました（" + std::to_string(status) + "）。</p>\n");
}

}  // namespace kestrova::sim
