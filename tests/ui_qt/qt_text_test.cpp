// The cp932 <-> QString converter: exact bytes both ways, the trail byte 0x5C, half-width
// katakana, the Windows rows of cp932, and what happens to text without a form on the other side.
#include "ui/qt/qt_text.h"

#include <QObject>
#include <QString>
#include <QTest>
#include <string>

using kestrova::FromQString;
using kestrova::ToQString;

class QtTextTest : public QObject {
  Q_OBJECT

 private slots:
  void ConvertsCp932BytesBothWays_data() {
    QTest::addColumn<QByteArray>("cp932");
    QTest::addColumn<QString>("text");
    // 表 and ソ end in the trail byte 0x5C; 0x5C alone is the backslash of every path.
    QTest::newRow("trail 0x5C") << QByteArray("\x95\x5C\x83\x5C") << QStringLiteral(u"表ソ");
    QTest::newRow("path") << QByteArray("C:\\\x95\x5C\\a.txt") << QStringLiteral(u"C:\\表\\a.txt");
    QTest::newRow("half-width katakana")
        << QByteArray("\xB6\xC0\xB6\xC5\xDE") << QStringLiteral(u"ｶﾀｶﾅﾞ");
    // cp932, not JIS: the wave dash row is the full-width tilde; the NEC row has circled digits.
    QTest::newRow("windows rows") << QByteArray("\x81\x60\x87\x40") << QStringLiteral(u"～①");
    QTest::newRow("ascii and empty") << QByteArray("a,b\r\n") << QStringLiteral(u"a,b\r\n");
    QTest::newRow("empty") << QByteArray() << QString();
  }

  void ConvertsCp932BytesBothWays() {
    QFETCH(QByteArray, cp932);
    QFETCH(QString, text);
    const std::string bytes(cp932.constData(), static_cast<std::size_t>(cp932.size()));
    QCOMPARE(ToQString(bytes), text);
    QCOMPARE(FromQString(text), bytes);
  }

  void TextWithoutAFormBecomesReplacement() {
    // Hangul has no cp932 form; a lone lead byte has no character.
    QCOMPARE(FromQString(QStringLiteral(u"a한b")), std::string("a?b"));
    QCOMPARE(ToQString(std::string("a\x95")), QStringLiteral(u"a\uFFFD"));
  }
};

QTEST_MAIN(QtTextTest)
#include "qt_text_test.moc"
