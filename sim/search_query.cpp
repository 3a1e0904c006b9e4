#include "sim/search_query.h"

#include <algorithm>

#include "sim/civil_date.h"

namespace kestrova::sim {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Field(const std::map<std::string, std::string>& form, const char* name) {
  auto it = form.find(name);
  return it == form.end() ? std::string() : it->second;
}

// Digits only (leading zeros as typed are fine), at most 9 of them; -1 otherwise.
int Digits(const std::string& text) {
  if (text.empty() || text.size() > 9) return -1;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

bool ReadDate(const std::map<std::string, std::string>& form, const char* y, const char* m,
              const char* d, int& day) {
  CivilDate date{Digits(Field(form, y)), Digits(Field(form, m)), Digits(Field(form, d))};
  if (!IsValidDate(date)) return false;
  day = DayNumber(date);
  return true;
}

}  // namespace

std::string PercentDecode(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

std::map<std::string, std::string> ParseForm(const std::string& body) {
  std::map<std::string, std::string> form;
  std::size_t start = 0;
  while (start <= body.size()) {
    std::size_t end = body.find('&', start);
    if (end == std::string::npos) end = body.size();
    std::string pair = body.substr(start, end - start);
    if (!pair.empty()) {
      std::size_t eq = pair.find('=');
      std::string name = PercentDecode(pair.substr(0, eq));
      std::string value =
          eq == std::string::npos ? std::string() : PercentDecode(pair.substr(eq + 1));
      form.emplace(name, value);
    }
    start = end + 1;
  }
  return form;
}

int ParseSearchQuery(const std::map<std::string, std::string>& form, SearchQuery& query,
                     std::string& problem) {
  query = SearchQuery{};
  int kind = Digits(Field(form, "dataSyuruiKubun"));
  int dataType = Digits(Field(form, "dataSyuruiStr"));
  bool listingType = dataType == 1 || dataType == 3;
  bool closedType = dataType == 2 || dataType == 5;
  if (!((kind == 1 && listingType) || (kind == 2 && closedType))) {
    problem = "データ種類の指定が正しくありません。";
    return -1;
  }
  query.closedDeals = kind == 2;
  query.sale = dataType == 1 || dataType == 2;
  for (bool second : {false, true}) {
    std::string text = Field(form, second ? "bukkenSyubetu2Str" : "bukkenSyubetu1Str");
    if (text.empty() && second) continue;  // the second property type is optional
    int t = Digits(text);
    if (t < 1 || t > 5) {
      problem = "物件種別を選択してください。";
      return -1;
    }
    int code = (query.sale ? 10 : 20) + t;
    if (query.typeCodes.empty() || query.typeCodes[0] != code) query.typeCodes.push_back(code);
  }
  for (const char* name : {"syozaiti11", "syozaiti12", "syozaiti13"}) {
    std::string code = Field(form, name);
    if (code.empty()) continue;
    if (code.size() != 5 || Digits(code) < 0) {
      problem = "所在地コードが正しくありません。";
      return -1;
    }
    query.codes.push_back(code);
  }
  if (query.codes.empty()) {
    problem = "所在地を入力してください。";
    return -1;
  }
  if (!ReadDate(form, "tourokuTime1Y", "tourokuTime1M", "tourokuTime1D", query.firstDay) ||
      !ReadDate(form, "tourokuTime2Y", "tourokuTime2M", "tourokuTime2D", query.lastDay)) {
    problem = "年月日の指定が正しくありません。";
    return -1;
  }
  if (query.lastDay - query.firstDay > kLongestSearchDays) {
    problem = "検索期間が長すぎます。";
    return -1;
  }
  return 0;
}

int ParseListRange(const std::string& spec, SearchQuery& query) {
  query = SearchQuery{};
  auto dayOf = [](const std::string& text, int& day) {
    if (text.size() != 10 || text[4] != '/' || text[7] != '/') return false;
    CivilDate date{Digits(text.substr(0, 4)), Digits(text.substr(5, 2)), Digits(text.substr(8, 2))};
    if (!IsValidDate(date)) return false;
    day = DayNumber(date);
    return true;
  };
  std::size_t colon = spec.find(':');
  if (colon != 21 || spec[10] != '-' || !dayOf(spec.substr(0, 10), query.firstDay) ||
      !dayOf(spec.substr(11, 10), query.lastDay) || query.lastDay < query.firstDay) {
    return -1;
  }
  std::string rest = spec.substr(colon + 1);
  std::string kinds = "all";
  if (std::size_t second = rest.find(':'); second != std::string::npos) {
    kinds = rest.substr(second + 1);
    rest.resize(second);
  }
  for (std::size_t start = 0; start <= rest.size();) {
    std::size_t comma = std::min(rest.find(',', start), rest.size());
    std::string code = rest.substr(start, comma - start);
    if (code.size() != 5 || Digits(code) < 0) return -1;
    query.codes.push_back(code);
    start = comma + 1;
  }
  if (kinds != "all" && kinds != "sale" && kinds != "rent") return -1;
  for (int base : {10, 20}) {
    if ((base == 10 && kinds == "rent") || (base == 20 && kinds == "sale")) continue;
    for (int t = 1; t <= 5; ++t) query.typeCodes.push_back(base + t);
  }
  return 0;
}

}  // namespace kestrova::sim
