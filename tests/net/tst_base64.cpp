#include "net/base64.h"

#include <QtTest>

#include <sys/resource.h>

#include <csignal>
#include <random>

class TestBase64 : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void files();
};

// "encodes": the text is also what encoding the bytes gives.
void TestBase64::decode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("encodes");
    const char* const vectors[] = {"", "Zg==", "Zm8=", "Zm9v", "Zm9vYg==", "Zm9vYmE=", "Zm9vYmFy"};
    for (int n = 0; n <= 6; ++n)
        QTest::newRow(vectors[n]) << QString(vectors[n]) << QByteArray("foobar").left(n) << true;

    std::mt19937 random(7);
    for (int n = 0; n <= 300; ++n) {
        QByteArray bytes(n, Qt::Uninitialized);
        std::generate(bytes.begin(), bytes.end(), std::ref(random));
        QTest::addRow("random, %d bytes", n) << QString::fromLatin1(bytes.toBase64()) << bytes << true;
    }
    const QByteArray line = QByteArray("Zm9vYmFy").repeated(9) + "Zm9v";  // 76 columns
    const QByteArray lineBytes = QByteArray("foobar").repeated(9) + "foo";
    QTest::newRow("76 columns, CR LF") << QString((line + "\r\n").repeated(3)) << lineBytes.repeated(3) << false;
    QTest::newRow("two padded texts") << "Zg==Zm8=" << QByteArray("ffo") << false;
    QTest::newRow("partial group dropped") << "Zm9vYg" << QByteArray("foo") << false;
    QTest::newRow("break, then too short") << "\r\nZm9" << QByteArray() << false;
    QTest::newRow("junk is 0") << "Z!9v" << QByteArray("d\x0fo") << false;
    QTest::newRow("break inside a group is 0") << "Zm\n9" << QByteArray("f`=") << false;
    QTest::newRow("= third, not fourth") << "AB=C" << QByteArray("\x00\x10\x02", 3) << false;
    QTest::newRow("not Latin-1 reads as '?', not '='") << u"Zm\u013d\u013d"_qs << QByteArray("f`\0", 3) << false;
}

void TestBase64::decode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, encodes);
    const base64 codec;
    QCOMPARE(codec.Decode(text).toLatin1(), bytes);
    if (encodes)
        QCOMPARE(codec.Encode(QString::fromLatin1(bytes)), text);
}

// Files are read back by encoding them. A failure says so and leaves the output as it was.
void TestBase64::files()
{
    const base64 codec;
    QTemporaryDir dir;
    const QString a = dir.filePath("a"), b = dir.filePath("b"), missing = dir.filePath("none/b");
    QVERIFY(codec.DecodeToFile("Wm05dgpZbUZ5", a));
    QVERIFY(codec.DecodeFile(a, a));
    QCOMPARE(codec.EncodeFromFile(a), "Zm9vYmFy");
    QVERIFY(codec.EncodeFile(a, a));
    QCOMPARE(codec.EncodeFromFile(a), "Wm05dlltRnk=");
    QVERIFY(codec.DecodeToFile("", b));
    QCOMPARE(codec.EncodeFromFile(b), "");

    QVERIFY(!codec.DecodeFile(missing, a));
    QVERIFY(!codec.EncodeFromFile(missing));
    QVERIFY(!codec.EncodeFile(a, missing));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const rlimit full{4, before.rlim_max};  // the disk fills up while "foobar" is written
    setrlimit(RLIMIT_FSIZE, &full);
    const bool decoded = codec.DecodeFile(a, a);
    setrlimit(RLIMIT_FSIZE, &before);
    QVERIFY(!decoded);
    QCOMPARE(codec.EncodeFromFile(a), "Wm05dlltRnk=");
}

QTEST_APPLESS_MAIN(TestBase64)
#include "tst_base64.moc"
