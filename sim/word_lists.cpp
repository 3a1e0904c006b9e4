#include "sim/word_lists.h"

#include <map>

namespace kestrova::sim {

namespace {

const std::map<std::string, std::vector<RailLine>>& AllLines() {
  static const std::map<std::string, std::vector<RailLine>> lines = {
      {"13",
       {{"ＪＲ山手線",
         {"東京", "有楽町", "新橋", "浜松町", "田町", "品川", "渋谷", "新宿", "池袋", "上野",
          "秋葉原", "神田"}},
        {"東京メトロ丸ノ内線",
         {"池袋", "後楽園", "御茶ノ水", "大手町", "銀座", "霞ケ関", "四谷", "新宿三丁目", "荻窪"}},
        {"都営新宿線", {"新宿", "市ケ谷", "九段下", "神保町", "小川町", "岩本町", "森下"}},
        {"京王線", {"新宿", "笹塚", "明大前", "下高井戸", "桜上水", "調布"}}}},
      {"14",
       {{"ＪＲ京浜東北線", {"鶴見", "新子安", "東神奈川", "横浜", "桜木町", "関内", "石川町"}},
        {"東急東横線", {"日吉", "綱島", "大倉山", "菊名", "白楽", "反町", "横浜"}},
        {"相鉄本線", {"横浜", "平沼橋", "西横浜", "天王町", "星川", "和田町"}}}},
      {"23",
       {{"名鉄名古屋本線", {"名鉄名古屋", "金山", "神宮前", "堀田", "鳴海"}},
        {"地下鉄東山線", {"名古屋", "伏見", "栄", "今池", "本山", "星ヶ丘"}}}},
      {"26",
       {{"阪急京都本線", {"西院", "大宮", "烏丸", "河原町", "桂"}},
        {"地下鉄烏丸線", {"京都", "五条", "四条", "烏丸御池", "丸太町", "今出川"}}}},
      {"27",
       {{"阪急宝塚線", {"梅田", "中津", "十三", "服部天神", "曽根", "岡町", "豊中", "蛍池"}},
        {"大阪メトロ御堂筋線",
         {"江坂", "東三国", "新大阪", "西中島南方", "中津", "梅田", "淀屋橋", "本町", "心斎橋",
          "なんば", "天王寺"}},
        {"JR(東西線)", {"北新地", "大阪天満宮", "京橋", "加島", "海老江"}},
        {"京阪本線", {"淀屋橋", "北浜", "天満橋", "京橋", "野江", "関目"}},
        {"南海本線", {"なんば", "新今宮", "天下茶屋", "岸里玉出", "住ノ江", "堺"}},
        {"ＪＲ大阪環状線",
         {"大阪", "福島", "野田", "西九条", "弁天町", "大正", "芦原橋", "今宮", "鶴橋", "桜ノ宮",
          "天満"}}}},
      {"28",
       {{"ＪＲ神戸線",
         {"尼崎", "立花", "甲子園口", "西宮", "芦屋", "住吉", "六甲道", "三ノ宮", "元町", "神戸"}},
        {"阪神本線", {"尼崎", "武庫川", "甲子園", "西宮", "芦屋", "御影", "岩屋", "三宮"}},
        {"阪急神戸本線",
         {"塚口", "武庫之荘", "西宮北口", "夙川", "岡本", "六甲", "王子公園", "三宮"}}}},
  };
  return lines;
}

constexpr const char* kTowns[] = {
    "本通",   "栄",   "緑が丘", "旭ケ丘", "桜台", "若葉台", "光が丘", "青葉台", "日吉台", "松が丘",
    "梅が丘", "泉",   "大手",   "錦",     "千歳", "末広",   "曙",     "宮前",   "天神",   "城東",
    "浜",     "港",   "柳",     "朝日",   "住吉", "清水",   "高松",   "上野",   "堀川",   "新開",
    "春日",   "弥生", "元山",   "山手",   "花園", "白鷺",   "鶴見",   "竹の台", "藤が丘", "桃山台"};

constexpr const char* kBuildingPrefixes[] = {"グラン",   "ライオンズ", "サンシャイン", "パーク",
                                             "ロイヤル", "アーバン",   "プレサンス",   "エステム",
                                             "ベル",     "ソレイユ",   "ルネ",         "ダイヤ",
                                             "シティ",   "ノルデン",   "ファミール"};

constexpr const char* kBuildingSuffixes[] = {"ハイツ", "マンション", "レジデンス", "コート",
                                             "タワー", "ヒルズ",     "パレス",     "メゾン",
                                             "テラス", "ガーデン"};

constexpr const char* kMemberPrefixes[] = {
    "大和",   "北浜",   "梅田",   "桜",   "明星", "浪速", "住之江", "阪神", "みどり", "ひかり",
    "あおば", "さくら", "日の出", "丸和", "三協", "太陽", "富士",   "平和", "誠和",   "信栄"};

constexpr const char* kMemberSuffixes[] = {"不動産",     "ホーム", "住宅販売", "ハウジング",
                                           "エステート", "地所",   "土地建物", "リアルティ"};

constexpr const char* kStaff[] = {"山田", "田中", "佐藤", "鈴木", "高橋", "伊藤", "渡辺",
                                  "中村", "小林", "加藤", "吉田", "松本", "井上", "木村",
                                  "林",   "清水", "山口", "森",   "池田", "橋本"};

constexpr const char* kRemarks[] = {"南向き",         "角地",     "陽当たり良好", "リフォーム済",
                                    "ペット相談",     "駐車場有", "閑静な住宅街", "駅近",
                                    "即入居可",       "眺望良好", "オートロック", "宅配ボックス",
                                    "室内洗濯機置場", "追焚機能"};

constexpr const char* kZonings[] = {"第一種低層住居専用",
                                    "第一種中高層住居専用",
                                    "第一種住居",
                                    "第二種住居",
                                    "近隣商業",
                                    "商業",
                                    "準工業"};

}  // namespace

const std::vector<RailLine>& LinesOfPrefecture(const std::string& prefectureCode) {
  static const std::vector<RailLine> none;
  auto it = AllLines().find(prefectureCode);
  return it == AllLines().end() ? none : it->second;
}

std::span<const char* const> TownNames() { return kTowns; }
std::span<const char* const> BuildingPrefixes() { return kBuildingPrefixes; }
std::span<const char* const> BuildingSuffixes() { return kBuildingSuffixes; }
std::span<const char* const> MemberPrefixes() { return kMemberPrefixes; }
std::span<const char* const> MemberSuffixes() { return kMemberSuffixes; }
std::span<const char* const> StaffNames() { return kStaff; }
std::span<const char* const> Remarks() { return kRemarks; }
std::span<const char* const> Zonings() { return kZonings; }

}  // namespace kestrova::sim
