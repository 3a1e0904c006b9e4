#!/usr/bin/env python3
"""Writes the data files that ship in Setting/ (and the terms of use beside the program) in
code page 932 with CR LF line ends. This script is their source: edit it, run it, commit both.

Usage: tools/make_setting_files.py [--out FOLDER]   (default: the repository root)

HeaderInfo.dat is also what the stand-in listing service lays its result tables out by, so the
field positions below are the single place they are decided.
"""
import argparse
import os

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

# Field positions of a record (the result table of the listing service, row by row):
#  0 図面  1 物件種別  2 物件番号  3 価格/賃料  4 取引態様/報酬形態  5 所在地  6 最寄駅  7 徒歩
#  8-17 the second and third rows of the table, which differ by type,
#  18-22 the fourth row (18 更新年月日; on a closed-deal page the closing date stands there),
#  23-29 the fifth row (23 会員名).
# The names the program looks up by name ("物件番号", "更新年月日", "物件種別", "所在地",
# "最寄駅", "徒歩", "取引態様/報酬形態") stand at the same index on every line, because the tidy
# takes the position of "更新年月日" from the first line and applies it to records of every type.
COMMON_HEAD = ["図面", "物件種別", "物件番号"]
COMMON_ROW1 = ["取引態様/報酬形態", "所在地", "最寄駅", "徒歩"]
ROW4 = ["更新年月日", "登録年月日", "変更年月日", "取引状況", "広告転載区分"]
ROW5 = ["会員名", "電話番号", "担当者", "備考１", "備考２", "備考３", "管理番号"]

# Sale lines.
LAND = ["土地面積", "用途地域", "建ぺい率", "容積率", "地目", "接道状況/方向", "幅員/接面", "都市計画", "地勢", "現況"]
HOUSE = ["土地面積", "建物面積", "間取", "築年月", "構造", "接道状況/方向", "幅員/接面", "用途地域", "建ぺい率", "容積率"]
MANSION = ["専有面積", "間取", "所在階", "築年月", "建物名", "バルコニー面積", "管理費", "修繕積立金", "総戸数", "構造"]
BUILDING = ["土地面積", "建物面積", "築年月", "構造", "階建", "接道状況/方向", "幅員/接面", "用途地域", "総戸数", "利回り"]
PART = ["使用部分面積", "所在階", "築年月", "構造", "建物名", "用途", "管理費", "接道状況/方向", "幅員/接面", "用途地域"]

# Rent lines: the same kinds of property, with deposits and contract terms where a sale shows
# reserve funds, yields or planning figures. Shared names keep the index of their sale line.
RENT_LAND = ["土地面積", "用途地域", "建ぺい率", "容積率", "地目", "接道状況/方向", "幅員/接面", "敷金/保証金", "契約期間", "現況"]
RENT_HOUSE = ["土地面積", "建物面積", "間取", "築年月", "構造", "接道状況/方向", "幅員/接面", "敷金/礼金", "保証金", "駐車場"]
RENT_MANSION = ["専有面積", "間取", "所在階", "築年月", "建物名", "バルコニー面積", "管理費", "敷金/礼金", "保証金", "構造"]
RENT_BUILDING = ["土地面積", "建物面積", "築年月", "構造", "階建", "接道状況/方向", "幅員/接面", "用途地域", "敷金/保証金", "契約期間"]
RENT_PART = ["使用部分面積", "所在階", "築年月", "構造", "建物名", "用途", "管理費", "敷金/保証金", "礼金", "契約期間"]


def header(price, middle):
    names = COMMON_HEAD + [price] + COMMON_ROW1 + middle + ROW4 + ROW5
    assert len(names) == 30, len(names)
    assert len(set(names)) == 30, names
    assert names[2] == "物件番号" and names[18] == "更新年月日" and names[23] == "会員名"
    return names


# One line per type code, in the order 11 12 13 14 15 21 22 23 24 25.
HEADER_INFO = [
    header("価格", LAND),           # 11 売り・土地
    header("価格", HOUSE),          # 12 売り・戸建て
    header("価格", MANSION),        # 13 売り・マンション
    header("価格", BUILDING),       # 14 売り・建物全部
    header("価格", PART),           # 15 売り・建物一部
    header("賃料", RENT_LAND),      # 21 賃貸・土地
    header("賃料", RENT_HOUSE),     # 22 賃貸・戸建て
    header("賃料", RENT_MANSION),   # 23 賃貸・マンション
    header("賃料", RENT_BUILDING),  # 24 賃貸・建物全部
    header("賃料", RENT_PART),      # 25 賃貸・建物一部
]

# Detail fields: "landmark<>label" or a bare label; the label is the last text of the page's
# label cell, the value the cell after it. The line order is the order of the stored pieces.
SYOUSAI_HEADER = [
    "物件番号", "物件種目", "取引態様",
    "所在地１", "所在地２", "所在地３", "その他所在地表示", "建物名",
    "交通１<>沿線名", "交通１<>駅名", "交通１<>駅より徒歩", "交通１<>バス停より徒歩",
    "交通２<>沿線名", "交通２<>駅名", "交通２<>駅より徒歩", "交通２<>バス停より徒歩",
    "価格", "賃料", "敷金", "礼金", "保証金",
    "土地面積", "建物面積１", "専有面積", "バルコニー面積", "所在階", "間取", "築年月", "構造",
    "用途地域", "建ぺい率", "容積率", "接道状況", "管理費", "修繕積立金", "駐車場",
    "現況", "引渡時期", "備考",
]

LAYOUT_HELP = """' 1行が1列です。「取得元 TAB 型 TAB 見出し」の順に書きます（区切りは必ずタブ）。
' 取得元:
'   物件の列名 ........ HeaderInfo.dat の名前（例: 物件番号, 価格, 土地面積）
'   $…$ .............. 列から作る値: $物件種別$(売マン等) $データ種類$(売物件/賃貸物件)
'                       $所在地$ $マンション名$ $階数$ $沿線$ $駅$ $徒歩分$ $バス$
'                       $取引態様$ $報酬形態$ $接道状況$ $接道方向$ $接道接面$
'   %…% .............. 詳細情報の項目（Syousai_Header.dat の行そのまま。例: %所在階%）
'   &…& .............. 詳細情報の組み合わせ: &所在地&(所在地１～３とその他所在地表示をつなげる)
'                       &交通１<>駅より徒歩&(分) &交通１<>駅より徒歩ｍ&(距離) &交通１<>バス停より徒歩&
'                       交通２ も同じです
'   @成約日付@ @成約価格@ . 成約情報（成約物件検索で取得したもの）
'   「|」で区切ると、前の候補が空のとき次の候補を使います。先頭が # の候補は使いません。
' 型: S=文字（"で囲む。S の後ろの文字は値が空のときに出す文字）
'     N=数値（数字と . だけを出す。N の後ろの文字は値が空のときに出す文字）
'     D=日付（年/月/日 の形にそろえる。平成・昭和の年月にも対応）  空=そのまま
' 設定行: !区切り= の後ろが区切り文字（既定はカンマ。タブも可）
'         !ヘッダ空行= の後ろが見出し行と最初の物件の間の空行の数（既定は 2）
' 値の中のカンマは「、」に置き換えて出力します。
"""

OUTPUT_CSV = """' 出力CSVレイアウト（お使いの表計算・管理ソフトに取り込むCSVの列）
' 列の追加・削除・並べ替えは自由です。変更はプログラムの次回起動から有効です。
""" + LAYOUT_HELP + """!区切り=,
!ヘッダ空行=2
' --- 物件の基本 ---
物件番号\tS\t物件番号
$物件種別$\tS\t種別
$データ種類$\tS\t売買/賃貸
価格|賃料|%価格%|%賃料%\tN\t価格・賃料(万円)
' 賃貸の敷金・礼金・保証金（売買では空）
敷金/礼金|敷金/保証金\tS\t敷金等
$取引態様$|%取引態様%\tS\t取引態様
$報酬形態$\tS\t報酬形態
取引状況\tS-\t取引状況
' --- 所在地（一覧の所在地を 住所・建物名・階 に分けます）---
$所在地$\tS\t所在地
&所在地&|$所在地$\tS\t所在地(詳細)
$マンション名$|%建物名%|建物名\tS\t建物名
$階数$|%所在階%|所在階\tN\t階
' --- 交通 ---
$沿線$|%交通１<>沿線名%\tS\t沿線
$駅$|%交通１<>駅名%\tS\t駅
$徒歩分$|&交通１<>駅より徒歩&\tN\t徒歩(分)
&交通１<>駅より徒歩ｍ&\tN\t駅距離(m)
$バス$\tN\tバス(分)
&交通１<>バス停より徒歩&\tN\tバス停徒歩(分)
%交通２<>沿線名%\tS\t沿線2
%交通２<>駅名%\tS\t駅2
&交通２<>駅より徒歩&\tN\t徒歩2(分)
' --- 面積・間取・建物 ---
土地面積|%土地面積%\tN\t土地面積(㎡)
建物面積|使用部分面積|%建物面積１%\tN\t建物面積(㎡)
専有面積|%専有面積%\tN\t専有面積(㎡)
バルコニー面積|%バルコニー面積%\tN\tバルコニー(㎡)
間取|%間取%\tS\t間取
築年月|%築年月%\tD\t築年月
構造|%構造%\tS\t構造
管理費|%管理費%\tN\t管理費
%修繕積立金%\tN\t修繕積立金
' --- 法令上の制限・道路 ---
用途地域|%用途地域%\tS\t用途地域
建ぺい率|%建ぺい率%\tN\t建ぺい率(%)
容積率|%容積率%\tN\t容積率(%)
$接道状況$|%接道状況%\tS\t接道状況
$接道方向$\tS\t接道方向
$接道接面$\tS\t接面
' --- 日付・成約 ---
図面\tS\t図面
登録年月日\tD\t登録日
更新年月日\tD\t更新日
@成約日付@\tD\t成約日
@成約価格@\tN\t成約価格(万円)
' --- 会員・その他 ---
会員名\tS\t会員名
電話番号\tS\t電話番号
%現況%|現況\tS\t現況
%引渡時期%\tS相談\t引渡時期
' 先頭の # を消すと、詳細情報の備考を一覧の備考より先に使います。
#%備考%|備考１\tS\t備考
"""

OUTPUT_KANRI = """' 管理用CSVレイアウト（「物件管理(ローカル検索)」の一覧の列）
' 書式は Output_CSV.txt と同じです。一覧の列幅は、この32列に合わせて保存されます。
' ローカル検索は次の取得元の列を使います。行を消したり取得元を書き換えたりしないでください:
'   更新年月日（日付の範囲）, 図面（図面 有/無）, $駅$（駅の選択）,
'   会員名 %所在階% %土地面積% %建物面積１% %築年月% $駅$ $徒歩分$ $所在地$（重複非表示）,
'   物件番号 物件種別 $所在地$（PDF・詳細HTML・地図を開く）
' 物件種別 は「11売り・土地」のような全体の文字のまま出してください（種別 売買/賃貸 の絞り込みと
' PDFの場所に使います）。検索キーは行全体の文字に対して探すので、探したい項目は列に入れておきます。
""" + LAYOUT_HELP + """!区切り=,
!ヘッダ空行=2
物件番号\tS\t物件番号
更新年月日\tD\t更新日
$物件種別$\tS\t種別
図面\tS\t図面
価格|賃料\tN\t価格(万円)
$所在地$\tS\t所在地
$マンション名$\tS\t建物名
$階数$\tN\t階
$沿線$\tS\t沿線
$駅$\tS\t駅
$徒歩分$\tN\t徒歩
$バス$\tN\tバス
間取|%間取%\tS\t間取
土地面積|%土地面積%\tN\t土地面積
建物面積|使用部分面積|%建物面積１%\tN\t建物面積
専有面積|%専有面積%\tN\t専有面積
築年月|%築年月%\tD\t築年月
用途地域\tS\t用途地域
$取引態様$\tS\t取引態様
取引状況\tS\t取引状況
会員名\tS\t会員名
電話番号\tS\t電話番号
敷金/礼金|敷金/保証金\tS\t敷金等
@成約日付@\tD\t成約日
@成約価格@\tN\t成約価格
登録年月日\tD\t登録日
%所在階%\tS\t所在階(詳細)
%土地面積%\tS\t土地面積(詳細)
%建物面積１%\tS\t建物面積(詳細)
%築年月%\tS\t築年月(詳細)
&所在地&\tS\t所在地(詳細)
物件種別\tS\t物件種別
"""

KEY_LIST_HELP = """# 1行が1項目です。一覧で項目を選ぶと、その文字を含む物件だけを表示します。
# 「|」で区切ると、どれか1つを含む物件を表示します（例: 北区|西区）。
# 文字は物件の行全体（所在地・駅・間取・会員名など管理用CSVのすべての列）から探します。
# 全角と半角、大文字と小文字は別の文字として扱います。
# 行頭が半角の # の行と空行は読みません。編集したら「★再読込」を押してください。
"""

KEY_LISTS = {
    "UserFindKeyList1.txt": "# キーリスト1：地域で絞り込みます。\n" + KEY_LIST_HELP + """大阪市
大阪市北区|大阪市中央区|大阪市西区
大阪市天王寺区|大阪市浪速区|大阪市阿倍野区
大阪市淀川区|大阪市東淀川区|大阪市西淀川区
堺市
豊中市|吹田市|箕面市|池田市
高槻市|茨木市|摂津市
東大阪市|八尾市
""",
    "UserFindKeyList2.txt": "# キーリスト2：間取と取引態様で絞り込みます。\n" + KEY_LIST_HELP + """1R|1K|1DK
1LDK|2K|2DK
2LDK|3K|3DK
3LDK|4DK|4LDK
専属専任|専任
一般
売主|代理
""",
    "UserFindKeyList3.txt": "# キーリスト3：沿線で絞り込みます。\n" + KEY_LIST_HELP + """御堂筋線
谷町線|堺筋線|四つ橋線
中央線|千日前線|長堀鶴見緑地線
阪急
京阪
JR|ＪＲ
南海|近鉄
""",
}

TERMS = """Kestrova 利用規約

本ソフトウェア（Kestrova）をお使いになる前に、以下を最後までお読みください。

1. 本ソフトウェアは、レインズ（不動産流通標準情報システム）を正規に利用できる会員事業者の方が、
   ご自身の業務のために物件情報を取得・整理する目的でのみ利用できます。
   本ソフトウェアは不動産流通機構が提供・保証するものではありません。
2. レインズの利用規程・利用時間帯・負荷軽減のお願いを必ず守ってください。
   短時間に大量の検索を行うなど、システムに過大な負荷をかける使い方はしないでください。
3. 取得した物件情報には、売主・貸主や会員事業者の情報が含まれます。
   法令と業界の規程に従って管理し、目的外の利用や第三者への提供をしないでください。
4. ログインパスワードは設定ファイルに保存されます。
   パソコンとプログラムのフォルダの管理は、ご自身の責任で行ってください。
5. 本ソフトウェアは現状のまま提供され、取得漏れ・誤り・損害について一切の保証をいたしません。
   取得結果は必ずレインズの画面でご確認ください。ご利用はご自身の責任でお願いします。
6. 「同意します」にチェックすることで、本規約に同意したものとみなします。
"""


def write(path, text):
    data = text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp932")
    with open(path, "wb") as f:
        f.write(data)


def files():
    """Relative path -> text of every file this script writes."""
    out = {
        "Setting/HeaderInfo.dat": "".join("\t".join(h) + "\t\n" for h in HEADER_INFO),
        "Setting/Syousai_Header.dat": "\n".join(SYOUSAI_HEADER) + "\n",
        "Setting/Output_CSV.txt": OUTPUT_CSV,
        "Setting/Output_Kanri.txt": OUTPUT_KANRI,
        "利用規約.txt": TERMS,
    }
    for name, text in KEY_LISTS.items():
        out["Setting/" + name] = text
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=ROOT, help="folder that receives Setting/ and the terms")
    args = parser.parse_args()
    os.makedirs(os.path.join(args.out, "Setting"), exist_ok=True)
    for rel, text in files().items():
        write(os.path.join(args.out, rel), text)
    print("%d files written under %s" % (len(files()), args.out))


if __name__ == "__main__":
    main()
