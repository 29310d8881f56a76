#include "shell/lenient_number.h"

#include <QTest>

using namespace ruzez;

class TestLenientNumber : public QObject
{
    Q_OBJECT

private slots:
    void reads_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("plain") << "21" << 21.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("no digits") << "abc" << 0.0;
        QTest::newRow("trailing carriage return") << "21\r" << 21.0;
        QTest::newRow("blank inside") << "2 1" << 21.0;
        QTest::newRow("tab and line feed inside") << "\t2\n3" << 23.0;
        QTest::newRow("leading blank") << " 23" << 23.0;
        QTest::newRow("zero decimal part") << "23.0" << 23.0;
        QTest::newRow("decimal part") << "22.5" << 22.5;
        QTest::newRow("stops at a letter") << "21abc" << 21.0;
        QTest::newRow("second point ends it") << "2.1.3" << 2.1;
        QTest::newRow("sign") << "-21" << -21.0;
        QTest::newRow("plus sign") << "+22" << 22.0;
        QTest::newRow("sign then blank") << "- 2" << -2.0;
        QTest::newRow("exponent") << "2.3E1" << 23.0;
        QTest::newRow("exponent with D") << "2.2d1" << 22.0;
        QTest::newRow("exponent with sign") << "230e-1" << 23.0;
        QTest::newRow("exponent without digits") << "21e" << 21.0;
        QTest::newRow("point only") << "." << 0.0;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("hexadecimal") << "&H15" << 21.0;
        QTest::newRow("hexadecimal lower case") << "&h17" << 23.0;
        QTest::newRow("hexadecimal 16-bit negative") << "&HFFFF" << -1.0;
        QTest::newRow("hexadecimal 32-bit") << "&H10000" << 65536.0;
        QTest::newRow("octal") << "&O26" << 22.0;
        QTest::newRow("octal stops at 8") << "&O268" << 22.0;
        QTest::newRow("ampersand alone") << "&" << 0.0;
        QTest::newRow("unknown prefix") << "&X12" << 0.0;
        QTest::newRow("carriage return first") << "\r21" << 0.0;
        QTest::newRow("non-ASCII digits are not digits") << "٢١" << 0.0;
        QTest::newRow("overflow") << "1e999" << 0.0;
    }
    void reads()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(lenientNumber(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestLenientNumber)
#include "tst_lenient_number.moc"
