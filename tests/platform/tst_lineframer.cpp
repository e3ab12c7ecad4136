#include "platform/LineFramer.h"

#include <QtTest>

using platform::LineFramer;

namespace {

QList<QByteArray> drain(LineFramer& framer)
{
    QList<QByteArray> lines;
    while (auto line = framer.takeLine())
        lines << *line;
    return lines;
}

// The stream in two reads cut at `cut`: the lines it gave, or nothing when a read was refused.
std::optional<QList<QByteArray>> linesCutAt(LineFramer& framer, QByteArrayView stream, qsizetype cut)
{
    if (!framer.append(stream.first(cut)))
        return std::nullopt;
    QList<QByteArray> lines = drain(framer);
    if (!framer.append(stream.sliced(cut)))
        return std::nullopt;
    return lines + drain(framer);
}

} // namespace

class TestLineFramer : public QObject {
    Q_OBJECT

private slots:
    // Two lines (one empty) sent in two reads, cut at every byte: always the same lines.
    void linesSurviveAnyCut()
    {
        const QByteArray stream = "CHATTXTann: hi\r\n\r\nGDATA7@@MOVEX50\r\nADDG";
        const QList<QByteArray> expected{"CHATTXTann: hi", "", "GDATA7@@MOVEX50"};
        for (int cut = 0; cut <= stream.size(); ++cut) {
            LineFramer framer;
            QCOMPARE(linesCutAt(framer, stream, cut), expected);
            QCOMPARE(framer.pendingBytes(), 4);
        }
    }

    void limits_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<bool>("accepted");
        const QByteArray max(LineFramer::MaxLineBytes, 'x');
        QTest::newRow("longest line") << max << QByteArray("\r\n") << true;
        QTest::newRow("longest line, CR apart") << max + '\r' << QByteArray("\n") << true;
        QTest::newRow("one byte over, no end yet") << max + 'x' << QByteArray() << false;
        QTest::newRow("one byte over, ended in one read") << max + "x\r\n" << QByteArray() << false;
        QTest::newRow("1 MiB") << QByteArray(1 << 20, 'y') << QByteArray("\r\n") << false;
    }

    void limits()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(bool, accepted);
        LineFramer framer;
        framer.append(first);
        framer.append(second);
        const QList<QByteArray> lines = drain(framer);
        QCOMPARE(!framer.overflowed(), accepted);
        QCOMPARE(lines.size(), accepted ? 1 : 0);
        if (!accepted) {
            QVERIFY(!framer.append("OK\r\n"));
            QVERIFY(framer.pendingBytes() == 0);
        }
    }

    // A skipping framer, the stream cut in two reads at every byte (every
    // 4 KiB past 64 KiB): the same lines come, and it never fails.
    void overlongSkipped_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QList<QByteArray>>("expected");
        const QByteArray max(LineFramer::MaxLineBytes, 'x');
        QTest::newRow("longest kept, one byte over skipped")
            << max + "\r\n" + max + "y\r\nOK\r\n" << QList<QByteArray>{max, "OK"};
        QTest::newRow("over by a CR of its own") << max + "\r\r\nOK\r\n" << QList<QByteArray>{"OK"};
        QTest::newRow("over, lone CRs inside")
            << "A\r\n" + max + "\rx\ry\r\nB\r\n" << QList<QByteArray>{"A", "B"};
        QTest::newRow("two over in a row")
            << max + "y\r\n" + max + "z\r\nOK\r\n" << QList<QByteArray>{"OK"};
        QTest::newRow("1 MiB") << QByteArray(1 << 20, 'y') + "\r\nOK\r\n" << QList<QByteArray>{"OK"};
    }

    void overlongSkipped()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QList<QByteArray>, expected);
        const qsizetype step = stream.size() > (64 << 10) ? 4096 : 1;
        for (qsizetype cut = 0; cut <= stream.size(); cut += step) {
            LineFramer framer(LineFramer::MaxLineBytes, LineFramer::Overlong::Skip);
            QCOMPARE(linesCutAt(framer, stream, cut), expected);
            QVERIFY(!framer.overflowed());
            QCOMPARE(framer.pendingBytes(), 0);
        }
    }
};

QTEST_APPLESS_MAIN(TestLineFramer)
#include "tst_lineframer.moc"
