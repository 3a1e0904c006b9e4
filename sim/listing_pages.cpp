#include "sim/listing_pages.h"

#include <set>

#include "sim/civil_date.h"
#include "sim/listing_fill.h"
#include "sim/listing_text.h"

namespace kestrova::sim {

namespace {

const char* const kPageHead =
    "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"UTF-8\">\n"
    "<link rel=\"stylesheet\" href=\"/reinsip/css/style.css\">\n"
    "<link rel=\"stylesheet\" href=\"/reinsip/css/style_fip.css\">\n";

std::string Head(const std::string& title) {
  return std::string(kPageHead) + "<title>" + title + "</title>\n</head>\n<body>\n" +
         "<div class=\"sysHeader\">REINS IP型物件検索システム</div>\n";
}

const char* const kPageFoot = "</body>\n</html>\n";

std::string Cell(const char* cls, const std::string& text) {
  return std::string("<td class=\"") + cls + "\">" + text + "</td>";
}

// One result row group: five table rows. The first cell opens the group; the type label
// stands in the second cell only where the type changes from the row above, as the service
// groups its table by type.
std::string ResultRow(const ListingUniverse& universe, const Property& p, int position,
                      bool showType, bool closedDeals) {
  const std::vector<std::string>& names =
      universe.tables().fieldNames[static_cast<std::size_t>(TypeIndex(p.typeCode))];
  auto value = [&](std::size_t field) -> std::string {
    if (closedDeals && field == 3) return PriceText(p.closingPriceTenThousand, IsSale(p.typeCode));
    if (closedDeals && field == 18) return FormatSlashDate(p.closingDay);
    if (field >= names.size()) return "&nbsp;";
    if (closedDeals && names[field] == "取引状況") return "成約";
    return ResultValue(p, names[field]);
  };
  auto cells = [&](std::size_t first, std::size_t last, const char* cls) {
    std::string text;
    for (std::size_t f = first; f <= last; ++f) text += Cell(cls, value(f));
    return text;
  };
  std::string row =
      "<tr>\n<td class=\"rlTeB\" rowspan=\"2\" nowrap>" + std::to_string(position) + "</td>";
  row += "<td class=\"rbTeT\" rowspan=\"2\" nowrap>" +
         (showType ? TypeLabel(p.typeCode) : std::string("&nbsp;")) + "</td>";
  row += cells(2, 7, "rbTeT") + "\n</tr>\n";
  row += "<tr>\n" + cells(8, 12, "rbTeM") + "\n</tr>\n";
  std::string plan =
      p.hasFloorPlan
          ? "<img src=\"/reinsip/img/zumen.gif\" alt=\"図面\" width=\"16\" height=\"16\">"
          : "&nbsp;";
  row += "<tr>\n" + Cell("rbTeM", plan) + cells(13, 17, "rbTeM") + "\n</tr>\n";
  row += "<tr>\n" + cells(18, 22, "rbTeM") + "\n</tr>\n";
  row += "<tr>\n" + cells(23, 29, "rbTeM") + "\n</tr>\n";
  return row;
}

std::string TableHead() {
  return "<table class=\"rsTable\" cellspacing=\"0\">\n<tr>\n<th class=\"rhTe\">No.</th>"
         "<th class=\"rhTe\">物件種別</th><th class=\"rhTe\">物件番号</th>"
         "<th class=\"rhTe\">価格・賃料</th><th class=\"rhTe\">取引態様</th>"
         "<th class=\"rhTe\">所在地</th><th class=\"rhTe\">最寄駅</th><th "
         "class=\"rhTe\">徒歩</th>\n"
         "</tr>\n";
}

std::string DetailRow(const std::string& label, const std::string& value) {
  return "<tr>" + Cell("dtTh", label) + Cell("dtTd", value) + "</tr>\n";
}

}  // namespace

std::string ResultPage(const ListingUniverse& universe, const SearchQuery& query, OddListing* odd) {
  std::vector<ListingKey> keys =
      query.closedDeals
          ? universe.ClosedDeals(query.codes, query.firstDay, query.lastDay, query.typeCodes)
          : universe.Listings(query.codes, query.firstDay, query.lastDay, query.typeCodes);
  int total = static_cast<int>(keys.size());
  int shown = total < kMaxHitsShown ? total : kMaxHitsShown;
  std::string page = Head(query.closedDeals ? "成約物件検索結果" : "物件検索結果");
  page += "<div class=\"condition\">検索期間：" + FormatSlashDate(query.firstDay) + " - " +
          FormatSlashDate(query.lastDay) + "</div>\n";
  if (total == 0) {
    page += "<p class=\"rsCount\">該当する物件はありませんでした。</p>\n";
    return page + kPageFoot;
  }
  page += "<p class=\"rsCount\">検索結果：全 " + std::to_string(total) + " 件（1 件目-" +
          std::to_string(shown) + " 件目を表示）</p>\n";
  if (total > kMaxHitsShown) {
    page +=
        "<p class=\"rsNotice\">検索結果が100件を超えたため、先頭の100件のみ表示しています。</p>\n";
  }
  page += TableHead();
  int previousType = 0;
  for (int i = 0; i < shown; ++i) {
    const ListingKey& key = keys[static_cast<std::size_t>(i)];
    bool oddRow = i == 0 && odd != nullptr && odd->Active() && !query.closedDeals;
    if (oddRow) odd->Remember(key);
    Property p = oddRow ? odd->Make(universe, key) : universe.Make(key);
    page += ResultRow(universe, p, i + 1, p.typeCode != previousType, query.closedDeals);
    previousType = p.typeCode;
  }
  page += "</table>\n";
  return page + kPageFoot;
}

std::string SearchProblemPage(const std::string& problem) {
  return Head("物件検索") + "<p class=\"errMsg\">" + problem + "</p>\n" + kPageFoot;
}

std::string DetailPage(const ListingUniverse& universe, const std::string& number) {
  ListingKey key;
  if (!universe.KeyOfNumber(number, key)) {
    return Head("物件詳細") + "<p class=\"errMsg\">指定された物件は見つかりません。</p>\n" +
           kPageFoot;
  }
  return DetailPageOf(universe, universe.Make(key));
}

std::string DetailPageOf(const ListingUniverse& universe, const Property& p) {
  std::string page = Head("物件詳細") + "<h2 class=\"dtTitle\">物件詳細情報</h2>\n";
  // Fields without landmarks first: each label is then the first cell on the page that ends
  // with it. Landmarked fields follow, one block per landmark sequence, in file order.
  const auto& fields = universe.tables().detailFields;
  std::set<std::vector<std::string>> done;
  page += "<table class=\"dtTable\" cellspacing=\"0\">\n";
  for (const auto& field : fields) {
    if (field.size() != 1 || !done.insert(field).second) continue;
    std::string value = DetailValue(p, field);
    if (!value.empty()) page += DetailRow(field[0], value);
  }
  page += "</table>\n";
  std::set<std::vector<std::string>> blocks;
  for (const auto& first : fields) {
    if (first.size() < 2) continue;
    std::vector<std::string> landmarks(first.begin(), first.end() - 1);
    if (!blocks.insert(landmarks).second) continue;
    std::string rows;
    for (const auto& field : fields) {
      if (field.size() != landmarks.size() + 1 ||
          !std::equal(landmarks.begin(), landmarks.end(), field.begin()) ||
          !done.insert(field).second) {
        continue;
      }
      std::string value = DetailValue(p, field);
      if (!value.empty()) rows += DetailRow(field.back(), value);
    }
    if (rows.empty()) continue;
    page += "<table class=\"dtTable\" cellspacing=\"0\">\n<tr>";
    for (const std::string& landmark : landmarks) page += Cell("dtGroup", landmark);
    page += "</tr>\n" + rows + "</table>\n";
  }
  return page + kPageFoot;
}

}  // namespace kestrova::sim
