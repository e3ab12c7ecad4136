#include "platform/Text.h"

#include <QtTest>

using namespace platform;

class TestText : public QObject {
    Q_OBJECT
private slots:
    void parseInt16_data();
    void parseInt16();
    void parseInt32Limits();
    void roundHalfEven_data();
    void roundHalfEven();
    void latin1();
    void firstLine();
    void colors();
};

void TestText::parseInt16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expected");

    QTest::newRow("padded") << " 42 " << true << 42;
    QTest::newRow("tabs") << "\t7\r\n" << true << 7;
    QTest::newRow("minus") << "-7" << true << -7;
    QTest::newRow("plus") << "+3" << true << 3;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("max") << "32767" << true << 32767;
    QTest::newRow("min") << "-32768" << true << -32768;
    QTest::newRow("minus zero") << "-0" << true << 0;
    QTest::newRow("just over") << "32768" << false << 0;
    QTest::newRow("just under") << "-32769" << false << 0;
    QTest::newRow("too big") << "40000" << false << 0;
    QTest::newRow("huge") << "99999999999999999999999" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blank") << "   " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("two signs") << "--1" << false << 0;
    QTest::newRow("space after sign") << "- 1" << false << 0;
    QTest::newRow("inner space") << "1 2" << false << 0;
    QTest::newRow("trailing junk") << "12a" << false << 0;
    QTest::newRow("fraction") << "3.5" << false << 0;
    QTest::newRow("hex") << "0x10" << false << 0;
    QTest::newRow("exponent") << "1e3" << false << 0;
    QTest::newRow("arabic-indic digit") << QString(QChar(0x0663)) << false << 0;
}

void TestText::parseInt16()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, expected);

    std::int16_t out = 1234;  // a failed parse must leave this alone
    QCOMPARE(platform::parseInt16(text, out), ok);
    QCOMPARE(int(out), ok ? expected : 1234);
}

void TestText::parseInt32Limits()
{
    std::int32_t out = 5;
    QVERIFY(parseInt32(u" 2147483647 ", out));
    QCOMPARE(out, 2147483647);
    QVERIFY(parseInt32(u"-2147483648", out));
    QCOMPARE(out, std::numeric_limits<std::int32_t>::min());
    QVERIFY(parseInt32(u"16711680", out));
    QCOMPARE(out, 16711680);

    out = 5;
    QVERIFY(!parseInt32(u"2147483648", out));
    QVERIFY(!parseInt32(u"-2147483649", out));
    QVERIFY(!parseInt32(u"4294967296", out));
    QVERIFY(!parseInt32(u"", out));
    QCOMPARE(out, 5);
}

void TestText::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("2.5") << 2.5 << qint64(2);
    QTest::newRow("3.5") << 3.5 << qint64(4);
    QTest::newRow("-2.5") << -2.5 << qint64(-2);
    QTest::newRow("-3.5") << -3.5 << qint64(-4);
    QTest::newRow("0.5") << 0.5 << qint64(0);
    QTest::newRow("87.5") << 87.5 << qint64(88);
    QTest::newRow("2.4999") << 2.4999 << qint64(2);
    QTest::newRow("2.5001") << 2.5001 << qint64(3);
    QTest::newRow("-0.4") << -0.4 << qint64(0);
}

void TestText::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(qint64, expected);
    QCOMPARE(platform::roundHalfEven(value), expected);
}

void TestText::latin1()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QCOMPARE(toLatin1(fromLatin1(all)), all);

    QCOMPARE(toLatin1(QStringLiteral(u"caf\u00e9 \u20ac")), QByteArray("caf\xe9 ?"));
    // A character outside the BMP is still one character, so one '?'.
    QCOMPARE(toLatin1(QStringLiteral(u"a\U0001F600b")), QByteArray("a?b"));
}

void TestText::firstLine()
{
    QCOMPARE(platform::firstLine(QStringLiteral("abc\r\nT5=53")), QStringLiteral("abc"));
    QCOMPARE(platform::firstLine(QStringLiteral("abc\ndef")), QStringLiteral("abc"));
    QCOMPARE(platform::firstLine(QStringLiteral("abc\rdef")), QStringLiteral("abc"));
    QCOMPARE(platform::firstLine(QStringLiteral("\nabc")), QString());
    QCOMPARE(platform::firstLine(QStringLiteral("one line")), QStringLiteral("one line"));
}

void TestText::colors()
{
    QCOMPARE(colorFromBgr(255), QColor(255, 0, 0));
    QCOMPARE(colorFromBgr(65535), QColor(255, 255, 0));
    QCOMPARE(colorFromBgr(49152), QColor(0, 192, 0));
    QCOMPARE(colorFromBgr(16711680), QColor(0, 0, 255));
    QCOMPARE(colorFromBgr(8421504), QColor(128, 128, 128));
    QCOMPARE(colorFromBgr(0x123456), QColor(0x56, 0x34, 0x12));

    QCOMPARE(colorFromBgrText(QStringLiteral(" 65535 ")), QColor(255, 255, 0));
    QCOMPARE(colorFromBgrText(QStringLiteral("16777215")), QColor(255, 255, 255));
    const QColor black(0, 0, 0);
    QCOMPARE(colorFromBgrText(QString()), black);
    QCOMPARE(colorFromBgrText(QStringLiteral("yellow")), black);
    QCOMPARE(colorFromBgrText(QStringLiteral("255.0")), black);
    QCOMPARE(colorFromBgrText(QStringLiteral("-1")), black);
    QCOMPARE(colorFromBgrText(QStringLiteral("16777216")), black);
}

QTEST_MAIN(TestText)
#include "tst_text.moc"
