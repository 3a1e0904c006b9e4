#!/usr/bin/env python3
"""Writes the data files that ship in Setting/ (and the terms of use beside the program) in
code page 932 with CR LF line ends. This script is their source: edit it, run it, commit both.

HeaderInfo.dat is also what the stand-in listing service lays its result tables out by, so the
field positions below are the single place they are decided.
"""
import os

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")

# Field positions of a record (the result table of the listing service, row by row):
#  0 図面  1 物件種別  2 物件番号  3 価格/賃料  4 取引態様/報酬形態  5 所在地  6 最寄駅  7 徒歩
#  8-12 the second row of the table, 13-17 the third, 18-22 the fourth (18 更新年月日),
#  23-29 the fifth; what stands there differs by type.
COMMON_HEAD = ["図面", "物件種別", "物件番号"]
COMMON_ROW1 = ["取引態様/報酬形態", "所在地", "最寄駅", "徒歩"]
ROW4 = ["更新年月日", "登録年月日", "変更年月日", "取引状況", "広告転載区分"]
ROW5 = ["会員名", "電話番号", "担当者", "備考１", "備考２", "備考３", "管理番号"]

LAND = ["土地面積", "用途地域", "建ぺい率", "容積率", "地目", "接道状況/方向", "幅員/接面", "都市計画", "地勢", "現況"]
HOUSE = ["土地面積", "建物面積", "間取", "築年月", "構造", "接道状況/方向", "幅員/接面", "用途地域", "建ぺい率", "容積率"]
MANSION = ["専有面積", "間取", "所在階", "築年月", "建物名", "バルコニー面積", "管理費", "修繕積立金", "総戸数", "構造"]
BUILDING = ["土地面積", "建物面積", "築年月", "構造", "階建", "接道状況/方向", "幅員/接面", "用途地域", "総戸数", "利回り"]
PART = ["使用部分面積", "所在階", "築年月", "構造", "建物名", "用途", "管理費", "接道状況/方向", "幅員/接面", "用途地域"]


def header(price, middle):
    names = COMMON_HEAD + [price] + COMMON_ROW1 + middle + ROW4 + ROW5
    assert len(names) == 30, len(names)
    assert names[2] == "物件番号" and names[18] == "更新年月日"
    return names


HEADER_INFO = [
    header("価格", LAND),      # 11 売り・土地
    header("価格", HOUSE),     # 12 売り・戸建て
    header("価格", MANSION),   # 13 売り・マンション
    header("価格", BUILDING),  # 14 売り・建物全部
    header("価格", PART),      # 15 売り・建物一部
    header("賃料", LAND),      # 21 賃貸・土地
    header("賃料", HOUSE),     # 22 賃貸・戸建て
    header("賃料", MANSION),   # 23 賃貸・マンション
    header("賃料", BUILDING),  # 24 賃貸・建物全部
    header("賃料", PART),      # 25 賃貸・建物一部
]

SYOUSAI_HEADER = [
    "物件番号", "物件種目", "所在地１", "所在地２", "所在地３", "その他所在地表示", "建物名",
    "交通１<>沿線名", "交通１<>駅名", "交通１<>駅より徒歩", "交通１<>バス停より徒歩",
    "交通２<>沿線名", "交通２<>駅名", "交通２<>駅より徒歩", "交通２<>バス停より徒歩",
    "価格", "土地面積", "建物面積１", "専有面積", "所在階", "間取", "築年月", "構造",
    "用途地域", "建ぺい率", "容積率", "管理費", "修繕積立金", "現況", "引渡時期", "備考",
]

OUTPUT_CSV = """' 出力CSVレイアウト（ユーザー用）
' 1行が1列です。「取得元 TAB 型 TAB 見出し」の順に書きます。
'   取得元: 物件の列名（HeaderInfo.dat の名前）、$…$ は列から作る値、%…% は詳細情報、
'           &…& は詳細情報の組み合わせ、@成約日付@ と @成約価格@ は成約情報。
'           「|」で区切ると、前が空のとき次を使います。先頭が # の候補は使いません。
'   型:     S=文字（"で囲む。S の後ろは空のときの既定値）、N=数値（数字と.だけ。N の後ろは既定値）、
'           D=日付（年/月/日にそろえる）、空=そのまま
' !区切り= の後ろが区切り文字（既定はカンマ）、!ヘッダ空行= は見出しの後の空行の数です。
!区切り=,
!ヘッダ空行=2
物件番号\tS\t物件番号
$物件種別$\tS\t種別
$データ種類$\tS\t売買/賃貸
価格|賃料\tN\t価格(万円)
$所在地$\tS\t所在地
$マンション名$|%建物名%\tS\t建物名
$階数$|%所在階%\tN\t階
$沿線$\tS\t沿線
$駅$\tS\t駅
$徒歩分$|&交通１<>駅より徒歩&\tN\t徒歩(分)
土地面積|%土地面積%\tN\t土地面積(㎡)
建物面積|%建物面積１%\tN\t建物面積(㎡)
専有面積|%専有面積%\tN\t専有面積(㎡)
間取|%間取%\tS\t間取
築年月|%築年月%\tD\t築年月
用途地域\tS\t用途地域
$取引態様$\tS\t取引態様
図面\tS\t図面
登録年月日\tD\t登録日
更新年月日\tD\t更新日
@成約日付@\tD\t成約日
@成約価格@\tN\t成約価格(万円)
会員名\tS\t会員名
電話番号\tS\t電話番号
%現況%\tS\t現況
%引渡時期%\tS\t引渡時期
"""

OUTPUT_KANRI = """' 管理用CSVレイアウト（ローカル検索が読みます）
' 書式は Output_CSV.txt と同じです。ローカル検索は次の取得元の列を使うので、消さないでください:
'   更新年月日, 図面, $駅$, 会員名, %所在階%, %土地面積%, %建物面積１%, %築年月%, $徒歩分$,
'   $所在地$, 物件番号, 物件種別
!区切り=,
!ヘッダ空行=2
物件番号\tS\t物件番号
物件種別\tS\t物件種別
$物件種別$\tS\t種別
価格|賃料\tS\t価格
$所在地$\tS\t所在地
$マンション名$\tS\t建物名
$階数$\tS\t階
$沿線$\tS\t沿線
$駅$\tS\t駅
$徒歩分$\tS\t徒歩
図面\tS\t図面
更新年月日\tS\t更新年月日
会員名\tS\t会員名
%所在階%\tS\t所在階
%土地面積%\tS\t土地面積
%建物面積１%\tS\t建物面積
%築年月%\tS\t築年月
%間取%\tS\t間取
@成約日付@\tS\t成約日
@成約価格@\tS\t成約価格
"""

KEY_LISTS = {
    "UserFindKeyList1.txt": """# ローカル検索の1つ目のキーリストです。1行が1項目で、選ぶとその文字を含む物件だけを表示します。
# 「|」で区切ると、どれか1つを含めば表示します。# で始まる行と空行は読みません。
大阪市
大阪市中央区|大阪市北区|大阪市西区
大阪市浪速区|大阪市天王寺区
豊中市|吹田市|箕面市
堺市
""",
    "UserFindKeyList2.txt": """# 2つ目のキーリスト：間取や広さで絞り込みます（「|」はどれか1つ）。
1R|1K|1DK
1LDK|2DK|2LDK
3LDK|3DK|4LDK
専任|専属
一般
""",
    "UserFindKeyList3.txt": """# 3つ目のキーリスト：駅や沿線で絞り込みます（「|」はどれか1つ）。
御堂筋線
谷町線|堺筋線
阪急
京阪|ＪＲ
""",
}

TERMS = """Kestrova 利用規約

1. 本ソフトウェアは、不動産流通機構のレインズを正規に利用できる会員事業者の方が、
   ご自身の業務のために物件情報を取得・整理する目的でのみ利用できます。
2. レインズの利用規程・利用時間帯・負荷軽減のお願いを必ず守ってください。
   短時間に大量の検索を行うなど、システムに過大な負荷をかける使い方はしないでください。
3. 取得した物件情報には、売主・貸主や会員事業者の情報が含まれます。
   法令と業界の規程に従って管理し、目的外の利用や第三者への提供をしないでください。
4. パスワードは設定ファイルに保存されます。パソコンとフォルダの管理はご自身で行ってください。
5. 本ソフトウェアは現状のまま提供され、取得漏れ・誤り・損害について一切の保証をいたしません。
   取得結果は必ずレインズの画面でご確認ください。
6. 「同意します」にチェックすることで、本規約に同意したものとみなします。
"""


def write(path, text):
    data = text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp932")
    with open(path, "wb") as f:
        f.write(data)


def main():
    setting = os.path.join(ROOT, "Setting")
    write(os.path.join(setting, "HeaderInfo.dat"), "".join("\t".join(h) + "\t\n" for h in HEADER_INFO))
    write(os.path.join(setting, "Syousai_Header.dat"), "\n".join(SYOUSAI_HEADER) + "\n")
    write(os.path.join(setting, "Output_CSV.txt"), OUTPUT_CSV)
    write(os.path.join(setting, "Output_Kanri.txt"), OUTPUT_KANRI)
    for name, text in KEY_LISTS.items():
        write(os.path.join(setting, name), text)
    write(os.path.join(ROOT, "利用規約.txt"), TERMS)
    print("Setting files written")


if __name__ == "__main__":
    main()
