#include "platform/Text.h"

#include <QtTest>

using namespace platform;

class TestText : public QObject {
    Q_OBJECT
private slots:
    void parseInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("expected");

        QTest::newRow("padded") << " 42 " << 16 << true << qint64(42);
            QTest::newRow("signs") << "-7" << 16 << true << qint64(-7);
        QTest::newRow("plus, leading zeros") << "+007" << 16 << true << qint64(7);
        QTest::newRow("16-bit max") << "32767" << 16 << true << qint64(32767);
        QTest::newRow("16-bit min") << "-32768" << 16 << true << qint64(-32768);
        QTest::newRow("just over") << "32768" << 16 << false << qint64(0);
                QTest::newRow("blank") << "   " << 16 << false << qint64(0);
        QTest::newRow("sign only") << "-" << 16 << false << qint64(0);
        QTest::newRow("two signs") << "--1" << 16 << false << qint64(0);
        QTest::newRow("space after sign") << "- 1" << 16 << false << qint64(0);
        QTest::newRow("inner space") << "1 2" << 16 << false << qint64(0);
        QTest::newRow("fraction") << "3.5" << 16 << false << qint64(0);
        QTest::newRow("hex") << "0x10" << 16 << false << qint64(0);
            QTest::newRow("other digits") << QString(QChar(0x0663)) << 16 << false << qint64(0);
        QTest::newRow("32-bit max") << " 2147483647 " << 32 << true << qint64(2147483647);
        QTest::newRow("32-bit min") << "-2147483648" << 32 << true << qint64(-2147483648LL);
        QTest::newRow("32-bit over") << "2147483648" << 32 << false << qint64(0);
        QTest::newRow("32-bit wrap") << "4294967296" << 32 << false << qint64(0);
    }

    void parseInt()
    {
        QFETCH(QString, text);
        QFETCH(int, bits);
        QFETCH(bool, ok);
        QFETCH(qint64, expected);

        // A failed parse leaves the target alone.
        std::int16_t out16 = 1234;
        std::int32_t out32 = 1234;
        const bool parsed = bits == 16 ? parseInt16(text, out16) : parseInt32(text, out32);
        QCOMPARE(parsed, ok);
        QCOMPARE(bits == 16 ? qint64(out16) : qint64(out32), ok ? expected : 1234);
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("2.5") << 2.5 << qint64(2);
        QTest::newRow("3.5") << 3.5 << qint64(4);
        QTest::newRow("-2.5") << -2.5 << qint64(-2);
        QTest::newRow("0.5") << 0.5 << qint64(0);
        QTest::newRow("2.5001") << 2.5001 << qint64(3);
        QTest::newRow("-0.4") << -0.4 << qint64(0);
    }

    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(qint64, expected);
        QCOMPARE(platform::roundHalfEven(value), expected);
    }

    void latin1()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(toLatin1(fromLatin1(all)), all);
        // A character outside the BMP is still one character, so one '?'.
        QCOMPARE(toLatin1(QStringLiteral(u"caf\u00e9 \u20ac a\U0001F600b")), QByteArray("caf\xe9 ? a?b"));
    }

    void colors()
    {
        // Red in the low byte.
        QCOMPARE(colorFromBgr(0x123456), QColor(0x56, 0x34, 0x12));
        QCOMPARE(colorFromBgrText(QStringLiteral(" 65535 ")), QColor(255, 255, 0));
        for (const char* junk : {"", "yellow", "255.0", "-1", "16777216"})
            QCOMPARE(colorFromBgrText(QString::fromLatin1(junk)), QColor(0, 0, 0));
    }
};

QTEST_MAIN(TestText)
#include "tst_text.moc"
