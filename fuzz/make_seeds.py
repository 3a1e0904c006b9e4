#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/ from the test pages and
the shipped setting files. scripts/fuzz keeps in the same folders, merged to a minimal set, what
the fuzzer finds beyond them."""
import pathlib
import sys

root = pathlib.Path(__file__).resolve().parent.parent
out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / 'fuzz' / 'corpus'
SEP = b'\x1e'  # the part separator of the drivers
pages = root / 'tests' / 'data' / 'pages'
setting = root / 'Setting'


def sjis(text):
    return text.encode('cp932')


def write(target, name, data):
    folder = out / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def record(number, type_text='13売り・マンション'):
    fields = ['有', type_text, number, '1,980万円', '売主', '大阪市北区　梅田１丁目　梅田ハイツ　５階',
              '阪急宝塚線梅田', '徒歩5分', '65.2㎡', '3LDK', '5', '平成23年10月', 'ＲＣ', '-', '-',
              '8,000円', '12,000円', '120戸', '2012/3/5', '2012年3月', '2012/03/06', '公開中',
              '可', '大阪不動産', '06-0000-0000', '山田', '角部屋', '', '', '']
    return sjis('\t'.join(fields) + '\t')


# Result pages, as received (UTF-8): listing and closed-deal mode.
for page in sorted(pages.glob('result_*.html')):
    data = page.read_bytes()
    write('result_page', page.stem + '_listing', b'\x02' + data)
    write('result_page', page.stem + '_deals', b'\x03' + data)
    write('result_page', page.stem + '_cp932', b'\x00' + data.decode('utf-8', 'ignore').encode('cp932', 'replace'))

# Detail pages: with the shipped field definitions, and with a few of their own.
header = (setting / 'Syousai_Header.dat').read_bytes()
for page in sorted(pages.glob('detail_*.html')):
    data = page.read_bytes()
    write('detail_page', page.stem, b'\x02' + data)
    write('detail_page', page.stem + '_own_header',
          b'\x02' + sjis('物件番号\r\n所在地１\r\n交通１<>駅より徒歩\r\n価格\r\n') + SEP + data)

# The settings file: an older one, the same as UTF-16, and one without macros expanded.
ini = (root / 'tests' / 'data' / 'older_settings.ini').read_bytes()
write('read_ini', 'older_settings', b'\x00' + ini)
write('read_ini', 'older_settings_no_macros', b'\x02' + ini)
write('read_ini', 'utf16', b'\x00' + b'\xff\xfe' + ini.decode('cp932').encode('utf-16-le'))

# Pair files: detail and closed-deal stores, and lines of other separators.
detail_pairs = sjis('10012345<===>10012345\t売りマンション\t梅田ハイツ\t5\t\r\n'
                    '10099999<===>\t\t\t\r\nABC<===>x\r\nabc<===>y\r\n<===>no key\r\nno separator\r\n')
write('load_pairs', 'detail_store', b'\x00' + detail_pairs)
write('load_pairs', 'deal_store', b'\x00' + sjis('10012345<===>2012/03/05\t1980\r\n10012346<===>\t\r\n'))
write('load_pairs', 'equals', b'\x01' + sjis('キー=値\r\nkey=a=b\nKEY=c\r='))
write('load_pairs', 'tabs', b'\x02' + (setting / 'zip_code.txt').read_bytes()[:600])

# Layouts and the CSV writer: the shipped layouts over a few records, with detail and deals.
records = b'\r\n'.join([record('10012345'), record('10012346', '11売り・土地'),
                        record('', '24賃貸・建物全部'), b'', b'broken\tline'])
write('layouts_csv', 'shipped', SEP.join([
    (setting / 'HeaderInfo.dat').read_bytes(), (setting / 'Output_CSV.txt').read_bytes(),
    (setting / 'Output_Kanri.txt').read_bytes(), records, header,
    sjis('10012345<===>10012345\t売りマンション\t媒介\t大阪市\t北区\t梅田\t\t梅田ハイツ\t阪急\t梅田\t5分\t\t'
         '\t\t\t\t1980\t\t\t\t\t\t\t65.2\t\t5\t3LDK\t\t\t\t'),
    sjis('10012345<===>2012/03/05\t1900')]))
write('layouts_csv', 'settings_lines', SEP.join([
    (setting / 'HeaderInfo.dat').read_bytes()[:400],
    sjis('!区切り=\t\r\n!ヘッダ空行=5\r\n物件番号\tS\t番号\r\n価格|#x\tN0\t"価格"\r\n更新年月日\tD\t日付\r\n'),
    sjis('!ヘッダ空行=-3\r\n$物件種別$\tS-\t種別\r\n@成約日付@\tD\t成約\r\n'), records]))

# Field resolution: the shipped layout's sources over one mansion record.
sources = b'\r\n'.join(line.split(b'\t')[0] for line in (setting / 'Output_CSV.txt').read_bytes().splitlines()
                       if line and not line.startswith((b"'", b'!')))
names = (setting / 'HeaderInfo.dat').read_bytes().splitlines()[2]
write('resolve_field', 'shipped_layout', SEP.join([
    sources, names, record('10012345'), header,
    sjis('10012345\t売りマンション\t媒介\t大阪市\t北区\t梅田\t\t梅田ハイツ\tJR(東西線)北新地\t北新地\t5分\t120ｍ'
         '\t\t\t\t\t1980\t\t\t\t\t\t\t65.2\t\t5\t3LDK\t\t\t\t'),
    sjis('2012/03/05\t1900')]))
write('resolve_field', 'derived', SEP.join([
    sjis('$所在地$\r\n$マンション名$\r\n$階数$\r\n$沿線$\r\n$駅$\r\n$徒歩分$\r\n$バス$\r\n$データ種類$\r\n'
         '&所在地&\r\n&交通１<>駅より徒歩ｍ&\r\n@成約価格@|価格\r\n#物件番号|物件番号'),
    names, record('10012345'), sjis('物件番号\r\n所在地１\r\n所在地２\r\n交通１<>駅より徒歩'),
    sjis('x\t大阪市\t北区\t3分\t'), sjis('\t1900')]))

# Split and RemovePattern.
write('text', 'tabs', b'\x00\x00\x02' + SEP.join([record('1'), b'\t', b'<*>', b'']))
write('text', 'alternatives_kept', b'\x24\x00\x06' + SEP.join(
    [sjis('Ａ売り・土地</a;B売り・建物</b'), sjis('売り・土地</;売り・建物</'), sjis('ａ'), b'-']))
write('text', 'separator', b'\x14|\x02' + SEP.join(
    [sjis('<td>価格</td><***><b>1,980万円</b>'), b';|</td>|', b'<*>', b'']))
write('text', 'whole_list', b'\x00\x00\x00' + SEP.join([b'a;b;;c', b';;', b'(*)', b'x']))

# The local search: controls (type, plan, past, duplicates, station, three list selections, sort
# column, selected rows), layout (empty: the driver's own), current and past management lines,
# the nine keys, the dates, three key lists.
kanri_head = sjis('"番号","更新日","図面","駅","価格","会員","所在地","種別","階","徒歩",\r\n\r\n\r\n')


def kanri(number, date, plan, station, price, member, place, type_text, floor='5', walk='3'):
    return sjis(f'"{number}",{date},"{plan}","{station}",{price},"{member}","{place}","{type_text}",'
                f'"{floor}",{walk},\r\n')


current = kanri_head + b''.join([
    kanri('1', '2011/05/01', '有', '本町', '1980.00', 'A社', '大阪市北区', '11売り・土地'),
    kanri('2', '2011/04/15', '無', '梅田', '2500', 'B社', '大阪市中央区', '12売り・戸建て'),
    kanri('3', '', '有', '本町', '8.5', 'A社', '豊中市', '23賃貸・マンション'),
    kanri('3', '', '有', '本町', '8.5', 'A社', '豊中市', '23賃貸・マンション'),
    kanri('4', '2011/05/03', '有', '江坂', '12', 'C社', '吹田市ポ', '21賃貸・土地')])
past = kanri_head + kanri('9', '2010/01/01', '無', '梅田', '1,000.005', 'D社', '堺市堺区', '13売り・マンション')
lists = [sjis('# 地域\r\n北区|中央区\r\n豊中市\r\n'), sjis('A社|\r\n|\r\nC社'), sjis('すべて\r\n売り・\r\n')]
write('local_search', 'keys_and_lists', SEP.join(
    [bytes([3, 3, 1, 0, 0, 2, 0, 0, 4, 0, 1, 2]), b'', current, past, sjis('北区;中央区;;A社;;;;;'),
     b'2011/04/01', b'2011/05/31'] + lists))
write('local_search', 'type_plan_station_duplicates', SEP.join(
    [bytes([2, 1, 0, 1, 4, 1, 1, 1, 2, 0, 1]), b'', current, past, b'', b'', b''] + lists))
write('local_search', 'hostile_lines', SEP.join(
    [bytes([0, 0, 1, 1, 1, 1, 1, 1, 0, 255, 7]), b'',
     kanri_head + b'"unbalanced,\x83\x5c"x,\r\n\x81\r\n"",""",,,,,,,,,,,,\r\n\x00\x00"1.00"\r\n' + current,
     b'\x83', b'\x5c;;\x83;' + sjis(';;;;;;;;;;本'), b'9999/99/99', b'', b'|||', b'\x81|\x83', b'']))
write('local_search', 'shipped_layout', SEP.join(
    [bytes([3, 3, 0, 1, 1, 1, 1, 1, 5, 0, 2, 4]), (setting / 'Output_Kanri.txt').read_bytes(),
     b'h\r\n\r\n\r\n' + b'\r\n'.join(record(str(n)).replace(b'\t', b',') for n in range(1, 6)) + b'\r\n',
     b'', b'', b'', b'', b'', b'', b'']))
