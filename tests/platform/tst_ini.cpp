#include "platform/Ini.h"
#include "platform/ProgramFolder.h"

#include <QtTest>

#include <malloc.h>
#include <unistd.h>

using namespace platform;

namespace {

void putFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestIni : public QObject {
    Q_OBJECT
private slots:
    void init();
    void readLimitsAndMissing();
    void lookupRules();
    void rewriteKeepsPlaceAndOtherBytes();
    void newKeyGoesToItsSection();
    void newSectionAndNewFile();
    void lineBreakCannotAddKeys();
    void latin1RoundTrip();
    void documentEqualsKeyByKey();
    void failedWritesChangeNothing();
    void cacheSeesOutsideChanges();
    void hostileFilesHoldLittleMemory_data();
    void hostileFilesHoldLittleMemory();
    void findFileIgnoresCase();

private:
    QTemporaryDir dir_;
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
};

void TestIni::init()
{
    QVERIFY(dir_.isValid());
    iniForgetCache();
}

void TestIni::readLimitsAndMissing()
{
    const QString file = path("limits.ini");
    const QByteArray longValue(300, 'x');
    const QByteArray exact(IniValueLimit, 'y');
    putFile(file, "[A]\r\nLONG=" + longValue + "\r\nEXACT=" + exact + "\r\nQUOTED=\"" + longValue + "\"\r\n");

    QCOMPARE(iniRead("A", "LONG", file), QString(IniValueLimit, u'x'));
    QCOMPARE(iniRead("A", "EXACT", file), QString::fromLatin1(exact));
    QCOMPARE(iniRead("A", "QUOTED", file), QString(IniValueLimit, u'x'));
    QCOMPARE(iniRead("A", "NOPE", file), QString());
    QCOMPARE(iniRead("B", "LONG", file), QString());
    QCOMPARE(iniRead("A", "LONG", path("missing.ini")), QString());
    QVERIFY(!QFile::exists(path("missing.ini")));  // reading must not create it
}

void TestIni::lookupRules()
{
    const QString file = path("rules.ini");
    putFile(file,
            "TOP=before any section\r\n"
            "; comment\r\n"
            "  [ General ]  \r\n"
            "  Name  =  \"  Red Army  \"  \r\n"
            "single='it''s'\r\n"
            "mismatch=\"abc'\r\n"
            "lone=\"\r\n"
            "double=\"\"x\"\"\r\n"
            "empty=\r\n"
            "no equals sign\r\n"
            ";HIDDEN=1\r\n"
            "name=second\r\n"
            "eq=a=b\r\n"
            "  = nameless\r\n"
            "[general]\r\n"
            "LATE=from the duplicate section\r\n"
            "[Other]\n"
            "k=lf only\n");

    QCOMPARE(iniRead("GENERAL", "NAME", file), QStringLiteral("  Red Army  "));
    QCOMPARE(iniRead(" general ", " name ", file), QStringLiteral("  Red Army  "));
    QCOMPARE(iniRead("General", "single", file), QStringLiteral("it''s"));
    QCOMPARE(iniRead("General", "mismatch", file), QStringLiteral("\"abc'"));
    QCOMPARE(iniRead("General", "lone", file), QStringLiteral("\""));
    QCOMPARE(iniRead("General", "double", file), QStringLiteral("\"x\""));
    QCOMPARE(iniRead("General", "eq", file), QStringLiteral("a=b"));
    QCOMPARE(iniRead("General", "empty", file), QString());
    QCOMPARE(iniRead("General", "no equals sign", file), QString());
    QCOMPARE(iniRead("General", ";HIDDEN", file), QString());
    QCOMPARE(iniRead("General", "HIDDEN", file), QString());
    QCOMPARE(iniRead("", "TOP", file), QString());
    QCOMPARE(iniRead("General", "", file), QString());
    QCOMPARE(iniRead("General", "LATE", file), QString());  // the first section wins
    QCOMPARE(iniRead("other", "K", file), QStringLiteral("lf only"));

    const IniDocument doc = IniDocument::load(file);
    QVERIFY(doc.contains(u"General", u"empty"));
    QVERIFY(!doc.contains(u"General", u"no equals sign"));
    QVERIFY(!doc.contains(u"General", u"LATE"));
    QVERIFY(!doc.contains(u"General", u""));
}

void TestIni::rewriteKeepsPlaceAndOtherBytes()
{
    const QString file = path("rewrite.ini");
    const QByteArray before =
        "; header comment\r\n"
        "[Game]\r\n"
        "  Speed = 3  \r\n"
        "odd line\r\n"
        "\r\n"
        "Name=Vesper\tfall\n"
        "[Sound]\r\n"
        "Volume=7";  // no final line end
    putFile(file, before);

    QVERIFY(iniWrite("GAME", "speed", "5", file));
    QCOMPARE(fileBytes(file),
             QByteArray("; header comment\r\n"
                        "[Game]\r\n"
                        "Speed=5\r\n"
                        "odd line\r\n"
                        "\r\n"
                        "Name=Vesper\tfall\n"
                        "[Sound]\r\n"
                        "Volume=7"));

    QVERIFY(iniWrite("sound", "VOLUME", "9", file));
    QCOMPARE(fileBytes(file),
             QByteArray("; header comment\r\n[Game]\r\nSpeed=5\r\nodd line\r\n\r\n"
                        "Name=Vesper\tfall\n[Sound]\r\nVolume=9\r\n"));
    QCOMPARE(iniRead("Game", "Speed", file), QStringLiteral("5"));
    QCOMPARE(iniRead("Sound", "Volume", file), QStringLiteral("9"));

    // Loading and saving untouched is byte-exact, odd line ends included, also
    // when the bytes only borrowed their buffer.
    std::string borrowed = before.toStdString();
    const IniDocument doc = IniDocument::fromBytes(QByteArray::fromRawData(borrowed.data(), qsizetype(borrowed.size())));
    borrowed.assign(borrowed.size(), '#');
    QCOMPARE(doc.toBytes(), before);
}

void TestIni::newKeyGoesToItsSection()
{
    const QString file = path("append.ini");
    putFile(file,
            "[A]\r\n"
            "x=1\r\n"
            "; about B\r\n"
            "\r\n"
            "[B]\r\n"
            "y=2\r\n");

    QVERIFY(iniWrite("a", "NEW", "n", file));
    QVERIFY(iniWrite("A", "next", "m", file));
    QCOMPARE(fileBytes(file),
             QByteArray("[A]\r\n"
                        "x=1\r\n"
                        "NEW=n\r\n"
                        "next=m\r\n"
                        "; about B\r\n"
                        "\r\n"
                        "[B]\r\n"
                        "y=2\r\n"));
    QCOMPARE(iniRead("A", "new", file), QStringLiteral("n"));

    // A section holding no key yet takes it right under its header.
    putFile(file, "[Empty]\r\n\r\n[B]\r\ny=2\r\n");
    QVERIFY(iniWrite("Empty", "k", "v", file));
    QCOMPARE(fileBytes(file), QByteArray("[Empty]\r\nk=v\r\n\r\n[B]\r\ny=2\r\n"));

    // After a repeated key, before the blank line; never into a repeated section.
    putFile(file, "[A]\r\nx=1\r\nX=2\r\n\r\n[a]\r\ny=3\r\n");
    QVERIFY(iniWrite("A", "k", "v", file));
    QCOMPARE(fileBytes(file), QByteArray("[A]\r\nx=1\r\nX=2\r\nk=v\r\n\r\n[a]\r\ny=3\r\n"));
    QCOMPARE(iniRead("A", "x", file), QStringLiteral("1"));
    QCOMPARE(iniRead("A", "y", file), QString());
}

void TestIni::newSectionAndNewFile()
{
    const QString file = path("created.ini");
    QVERIFY(iniWrite(" Players ", " Count ", "2", file));
    QVERIFY(iniWrite("Players", "Name1", "Ann", file));
    QVERIFY(iniWrite("Map", "Path", "maps/a.spw", file));
    QCOMPARE(fileBytes(file),
             QByteArray("[Players]\r\nCount=2\r\nName1=Ann\r\n[Map]\r\nPath=maps/a.spw\r\n"));

    // Appending to a file whose last line has no line end must not join lines.
    putFile(file, "[A]\r\nx=1");
    QVERIFY(iniWrite("B", "y", "2", file));
    QCOMPARE(fileBytes(file), QByteArray("[A]\r\nx=1\r\n[B]\r\ny=2\r\n"));

    iniForgetCache();
    QCOMPARE(iniRead("a", "X", file), QStringLiteral("1"));
    QCOMPARE(iniRead("b", "Y", file), QStringLiteral("2"));
}

void TestIni::lineBreakCannotAddKeys()
{
    const QString file = path("inject.ini");
    QVERIFY(iniWrite("GEN", "DESC", "abc\r\nT5=53", file));
    QVERIFY(iniWrite("GEN", "NAME", "one\ntwo", file));
    QVERIFY(iniWrite("GEN", "MSG", "\r\nX=1", file));
    QCOMPARE(fileBytes(file), QByteArray("[GEN]\r\nDESC=abc\r\nNAME=one\r\nMSG=\r\n"));

    iniForgetCache();
    QCOMPARE(iniRead("GEN", "DESC", file), QStringLiteral("abc"));
    QCOMPARE(iniRead("GEN", "T5", file), QString());
    QCOMPARE(iniRead("GEN", "X", file), QString());

    // Names cannot smuggle lines in either.
    IniDocument doc;
    doc.setValue("GEN\r\n[EVIL]", "K\nT1", "v");
    QCOMPARE(doc.toBytes(), QByteArray("[GEN]\r\nK=v\r\n"));
}

void TestIni::latin1RoundTrip()
{
    QByteArray raw("<");
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            raw.append(char(b));
    }
    raw.append('>');
    const QString value = QString::fromLatin1(raw);

    const QString file = path("latin1.ini");
    QVERIFY(iniWrite("S", "V", value, file));
    QCOMPARE(fileBytes(file), "[S]\r\nV=" + raw + "\r\n");

    iniForgetCache();
    // Longer than a read returns, so read it back in two overlapping halves.
    QCOMPARE(iniRead("S", "V", file), value.left(IniValueLimit));
    const QString tail = value.mid(200);
    QVERIFY(iniWrite("S", "V", tail, file));
    iniForgetCache();
    QCOMPARE(iniRead("S", "V", file), tail);

    QCOMPARE(fileBytes(file), "[S]\r\nV=" + raw.mid(200) + "\r\n");
    IniDocument doc;
    doc.setValue("S", "V", QStringLiteral(u"\u20ac5"));
    QCOMPARE(doc.toBytes(), QByteArray("[S]\r\nV=?5\r\n"));
}

void TestIni::documentEqualsKeyByKey()
{
    const QByteArray start = "; kept\r\n[GEN]\r\nNAME=old\r\nT1=9\r\n\r\n[OTHER]\r\nA=1\r\n";
    const QString one = path("bykey.ini");
    const QString all = path("bydoc.ini");
    putFile(one, start);
    putFile(all, start);

    IniDocument doc = IniDocument::load(all);
    const QList<std::array<const char*, 3>> edits = {
        {{"GEN", "name", "new"}}, {{"GEN", "T2", "3"}}, {{"NEW", "X", "1"}},
        {{"other", "B", "2"}},    {{"GEN", "T1", "4"}}, {{"NEW", "x", "5"}},
    };
    for (const auto& e : edits) {
        QVERIFY(iniWrite(e[0], e[1], e[2], one));
        doc.setValue(e[0], e[1], e[2]);
        QCOMPARE(doc.value(QString::fromLatin1(e[0]), QString::fromLatin1(e[1])),
                 QString::fromLatin1(e[2]));
    }
    QVERIFY(doc.save(all));
    QCOMPARE(fileBytes(all), fileBytes(one));
    QCOMPARE(fileBytes(all),
             QByteArray("; kept\r\n[GEN]\r\nNAME=new\r\nT1=4\r\nT2=3\r\n\r\n"
                        "[OTHER]\r\nA=1\r\nB=2\r\n[NEW]\r\nX=5\r\n"));
}

void TestIni::failedWritesChangeNothing()
{
    const QString file = dir_.filePath("no/such/folder/x.ini");
    IniDocument doc;
    doc.setValue("A", "B", "C");
    QVERIFY(!doc.save(file));
    QVERIFY(!iniWrite("A", "B", "C", file));
    QCOMPARE(iniRead("A", "B", file), QString());

    // A read-only folder refuses the temporary file; the old file stays as it was.
    if (::geteuid() == 0)
        QSKIP("root ignores folder permissions");
    const QString locked = dir_.filePath("locked");
    QVERIFY(QDir().mkpath(locked));
    const QString inLocked = locked + "/x.ini";
    putFile(inLocked, "[A]\r\nB=old\r\n");
    QCOMPARE(iniRead("A", "B", inLocked), QStringLiteral("old"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    const bool written = iniWrite("A", "B", "new", inLocked);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!written);
    QCOMPARE(iniRead("A", "B", inLocked), QStringLiteral("old"));
    QCOMPARE(fileBytes(inLocked), QByteArray("[A]\r\nB=old\r\n"));

    // Nor is a file we cannot read replaced by one holding only the new key.
    const QString unreadable = path("unreadable.ini");
    putFile(unreadable, "[A]\r\nB=old\r\nC=keep\r\n");
    QFile::setPermissions(unreadable, QFile::WriteOwner);
    const bool replaced = iniWrite("A", "B", "new", unreadable);
    QFile::setPermissions(unreadable, QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(!replaced);
    QCOMPARE(fileBytes(unreadable), QByteArray("[A]\r\nB=old\r\nC=keep\r\n"));
}

void TestIni::cacheSeesOutsideChanges()
{
    const QString file = path("shared.ini");

    // Our write, then someone else's of the same size, both within one tick.
    QVERIFY(iniWrite("S", "K", "1", file));
    QCOMPARE(iniRead("S", "K", file), QStringLiteral("1"));
    putFile(file, "[S]\r\nK=2\r\n");
    QCOMPARE(iniRead("S", "K", file), QStringLiteral("2"));
    putFile(file, "[S]\r\nK=3\r\n");
    QCOMPARE(iniRead("S", "K", file), QStringLiteral("3"));

    // Our next write starts from what is on disk, not from the stale parse.
    putFile(file, "[S]\r\nK=4\r\nOTHER=x\r\n");
    QVERIFY(iniWrite("S", "NEW", "y", file));
    QCOMPARE(fileBytes(file), QByteArray("[S]\r\nK=4\r\nOTHER=x\r\nNEW=y\r\n"));

    // Replaced by rename, and removed.
    const QString other = path("shared.tmp");
    putFile(other, "[S]\r\nK=5\r\n");
    QVERIFY(QFile::remove(file));
    QVERIFY(QFile::rename(other, file));
    QCOMPARE(iniRead("S", "K", file), QStringLiteral("5"));
    QVERIFY(QFile::remove(file));
    QCOMPARE(iniRead("S", "K", file), QString());

    QVERIFY(iniWrite("S", "K", "6", file));
    QCOMPARE(iniRead("S", "K", file), QStringLiteral("6"));
}

// Lines no lookup reaches must not cost memory per line: a map of such lines
// once held 16 to 35 times its size.
void TestIni::hostileFilesHoldLittleMemory_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("blank lines") << QByteArray("\r\n");
    QTest::newRow("one section again and again") << QByteArray("[a]\n");
    QTest::newRow("one key again and again") << QByteArray("a=1\n");
    QTest::newRow("comments") << QByteArray(";\n");
}

void TestIni::hostileFilesHoldLittleMemory()
{
    QFETCH(QByteArray, line);
    const QByteArray bytes = "[GEN]\r\nXMAX=2\r\n" + line.repeated((1 << 20) / line.size());
    malloc_trim(0);
    const auto inUse = [] { const auto m = mallinfo2(); return m.uordblks + m.hblkhd; };
    const size_t before = inUse();
    const IniDocument doc = IniDocument::fromBytes(bytes);
    QVERIFY2(inUse() - before < size_t(bytes.size()) / 8, qPrintable(QString::number(inUse() - before)));
    QCOMPARE(doc.value(u"GEN", u"XMAX"), QStringLiteral("2"));
    QCOMPARE(doc.toBytes(), bytes);
}

void TestIni::findFileIgnoresCase()
{
    const QString root = dir_.filePath("prog");
    QVERIFY(QDir().mkpath(root + "/Images"));
    putFile(root + "/Map One.SPW", "x");
    putFile(root + "/Images/Tank.gif", "x");

    QCOMPARE(findFile(root, "Map One.SPW"), root + "/Map One.SPW");
    QCOMPARE(findFile(root, "map one.spw"), root + "/Map One.SPW");
    QCOMPARE(findFile(root, "IMAGES/tank.GIF"), root + "/Images/Tank.gif");
    QCOMPARE(findFile(root + "/", "images/tank.gif"), root + "/Images/Tank.gif");
    QCOMPARE(findFile(root, "Missing.spw"), root + "/Missing.spw");
    QCOMPARE(findFile(root, "images/Missing.gif"), root + "/images/Missing.gif");

    setProgramFolder(root);
    QCOMPARE(programFolder(), root);
    setProgramFolder({});
    QCOMPARE(programFolder(), QDir::cleanPath(qEnvironmentVariable("VF_PROGRAM_DIR",
                                                                   QCoreApplication::applicationDirPath())));
}

QTEST_MAIN(TestIni)
#include "tst_ini.moc"
