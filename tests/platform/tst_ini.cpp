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
    void init()
    {
        QVERIFY(dir_.isValid());
        iniForgetCache();
    }
    void cleanup() { iniFreezeClock(std::nullopt); }

    void reads_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("names ignore case and blanks") << " general " << " NAME " << "  Red Army  ";
        QTest::newRow("single quotes") << "General" << "single" << "it''s";
        QTest::newRow("quotes that do not pair") << "General" << "mismatch" << "\"abc'";
        QTest::newRow("doubled quotes lose one pair") << "General" << "double" << "\"x\"";
        QTest::newRow("later equals signs") << "General" << "eq" << "a=b";
        QTest::newRow("first of a repeated key") << "General" << "Name" << "  Red Army  ";
        QTest::newRow("no equals sign") << "General" << "no equals sign" << "";
        QTest::newRow("a comment") << "General" << "HIDDEN" << "";
        QTest::newRow("before any section") << "" << "TOP" << "";
        QTest::newRow("repeated section is not read") << "General" << "LATE" << "";
        QTest::newRow("LF line ends") << "other" << "K" << "lf only";
        QTest::newRow("300 characters") << "Other" << "LONG" << QString(IniValueLimit, u'x');
        QTest::newRow("missing section") << "Nope" << "k" << "";
    }

    void reads()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const QString file = path("rules.ini");
        const QByteArray longValue(300, 'x');
        putFile(file,
                "TOP=before any section\r\n; comment\r\n  [ General ]  \r\n  Name  =  \"  Red Army  \"  \r\n"
                "single='it''s'\r\nmismatch=\"abc'\r\nlone=\"\r\ndouble=\"\"x\"\"\r\nno equals sign\r\n;HIDDEN=1\r\n"
                "name=second\r\neq=a=b\r\n  = nameless\r\n[general]\r\nLATE=1\r\n[Other]\nk=lf only\n"
                "LONG=" + longValue + "\nQUOTED=\"" + longValue + "\"\n");
        QCOMPARE(iniRead(section, key, file), expected);
        QCOMPARE(IniDocument::load(file).value(section, key), expected);
        QCOMPARE(iniRead(section, key, path("missing.ini")), QString());
        QVERIFY(!QFile::exists(path("missing.ini")));  // reading never creates a file
    }

    void writes_data()
    {
        QTest::addColumn<QByteArray>("before");  // "-": no file
        QTest::addColumn<QStringList>("edit");   // section, key, value
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("replaced in place, spelled as the file spells it")
            << QByteArray("; c\r\n[Game]\r\n  Speed = 3  \r\nodd line\r\n\r\nName=x\n[Sound]\r\nVolume=7")
            << QStringList{"GAME", "speed", "5"}
            << QByteArray("; c\r\n[Game]\r\nSpeed=5\r\nodd line\r\n\r\nName=x\n[Sound]\r\nVolume=7");
        QTest::newRow("the last line gains its line end")
            << QByteArray("[Sound]\r\nVolume=7") << QStringList{"sound", "VOLUME", "9"} << QByteArray("[Sound]\r\nVolume=9\r\n");
        QTest::newRow("new key after its section's last key")
            << QByteArray("[A]\r\nx=1\r\n; about B\r\n\r\n[B]\r\ny=2\r\n") << QStringList{"a", "NEW", "n"}
            << QByteArray("[A]\r\nx=1\r\nNEW=n\r\n; about B\r\n\r\n[B]\r\ny=2\r\n");
        QTest::newRow("after a repeated key, never into a repeated section")
            << QByteArray("[A]\r\nx=1\r\nX=2\r\n\r\n[a]\r\ny=3\r\n") << QStringList{"A", "k", "v"}
            << QByteArray("[A]\r\nx=1\r\nX=2\r\nk=v\r\n\r\n[a]\r\ny=3\r\n");
        QTest::newRow("right under the header of a section with no key")
            << QByteArray("[Empty]\r\n\r\n[B]\r\n") << QStringList{"Empty", "k", "v"} << QByteArray("[Empty]\r\nk=v\r\n\r\n[B]\r\n");
        QTest::newRow("new section at the end, lines kept apart")
            << QByteArray("[A]\r\nx=1") << QStringList{" B ", " y ", "2"} << QByteArray("[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
        QTest::newRow("new file") << QByteArray("-") << QStringList{"Map", "Path", "maps/a.spw"} << QByteArray("[Map]\r\nPath=maps/a.spw\r\n");
        QTest::newRow("only a value's first line")
            << QByteArray("-") << QStringList{"GEN", "DESC", "abc\rT5=53\r\n"} << QByteArray("[GEN]\r\nDESC=abc\r\n");
        QTest::newRow("names cannot add lines") << QByteArray("-") << QStringList{"GEN\r\n[EVIL]", "K\nT1", "v"}
                                                << QByteArray("[GEN]\r\nK=v\r\n");
        // Names that would read back as something else set nothing.
        for (const char* key : {"a=b", " ;k", "[k"})
            QTest::newRow(key) << QByteArray("[GEN]\r\n") << QStringList{"GEN", key, "v"} << QByteArray("[GEN]\r\n");
        QTest::newRow("section with ]") << QByteArray("[GEN]\r\n") << QStringList{"a]b", "k", "v"} << QByteArray("[GEN]\r\n");
        // Latin-1 both ways, its no-break space no blank to trim; beyond it, '?'.
        QTest::newRow("Latin-1") << QByteArray("-") << QStringList{"S", "V", QStringLiteral(u"\u00a0\u00e9\u00ff\u20ac\u00a0")}
                                 << QByteArray("[S]\r\nV=\xa0\xe9\xff?\xa0\r\n");
    }

    void writes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, edit);
        QFETCH(QByteArray, after);
        const QString file = path("write.ini");
        QFile::remove(file);
        if (before != "-")
            putFile(file, before);
        QVERIFY(iniWrite(edit[0], edit[1], edit[2], file));
        QCOMPARE(fileBytes(file), after);
        iniForgetCache();
        QCOMPARE(iniRead(edit[0], edit[1], file), IniDocument::fromBytes(after).value(edit[0], edit[1]));
    }

    // Lines point into the bytes read, also when those only borrowed a buffer gone before the write.
    void untouchedFileWritesBackByteForByte()
    {
        const QByteArray bytes = "; c\r\n[A]\r\n  x = 1 \n\r\n\n;\r\ny\r\n[a]\r\nz=2\r\nlast";
        std::string borrowed = bytes.toStdString();
        const IniDocument doc = IniDocument::fromBytes(QByteArray::fromRawData(borrowed.data(), qsizetype(borrowed.size())));
        borrowed.assign(borrowed.size(), '#');
        QCOMPARE(doc.toBytes(), bytes);
        QCOMPARE(doc.value(u"A", u"X"), QStringLiteral("1"));
    }

    void documentEqualsKeyByKey()
    {
        const QByteArray start = "; kept\r\n[GEN]\r\nNAME=old\r\nT1=9\r\n\r\n[OTHER]\r\nA=1\r\n";
        const QString one = path("bykey.ini");
        const QString all = path("bydoc.ini");
        putFile(one, start);
        putFile(all, start);
        IniDocument doc = IniDocument::load(all);
        const QList<QStringList> edits = {{"GEN", "name", "new"}, {"GEN", "T2", "3"}, {"NEW", "X", "1"},
                                          {"other", "B", "2"},    {"GEN", "T1", "4"}, {"NEW", "x", "5"}};
        for (const QStringList& e : edits) {
            QVERIFY(iniWrite(e[0], e[1], e[2], one));
            doc.setValue(e[0], e[1], e[2]);
        }
        QVERIFY(doc.save(all));
        QCOMPARE(fileBytes(all), fileBytes(one));
        QCOMPARE(fileBytes(all),
                 QByteArray("; kept\r\n[GEN]\r\nNAME=new\r\nT1=4\r\nT2=3\r\n\r\n[OTHER]\r\nA=1\r\nB=2\r\n[NEW]\r\nX=5\r\n"));
    }

    void failedWritesChangeNothing()
    {
        const QString nowhere = dir_.filePath("no/such/folder/x.ini");
        QVERIFY(!IniDocument().save(nowhere));
        QVERIFY(!iniWrite("A", "B", "C", nowhere));
        QCOMPARE(iniRead("A", "B", nowhere), QString());

        if (::geteuid() == 0)
            QSKIP("root ignores permissions");
        // A read-only folder refuses the temporary file; the old file stays as it was.
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
        // Nor is a file we cannot read replaced by one holding only the new key.
        const QString unreadable = path("unreadable.ini");
        putFile(unreadable, "[A]\r\nB=old\r\nC=keep\r\n");
        QFile::setPermissions(unreadable, QFile::WriteOwner);
        const bool replaced = iniWrite("A", "B", "new", unreadable);
        QFile::setPermissions(unreadable, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(!replaced);
        QCOMPARE(fileBytes(unreadable), QByteArray("[A]\r\nB=old\r\nC=keep\r\n"));
    }

    // A file clock that stands still plays one too coarse to tell two writes
    // within a tick apart: the rewrite keeps the file's stamp.
    void rewriteWithinATick_data()
    {
        QTest::addColumn<bool>("ours");          // the first contents came from our own write
        QTest::addColumn<qint64>("age");         // of the stamp when those contents were read
        QTest::addColumn<QByteArray>("rewrite");
        QTest::addColumn<QString>("read");
        const QByteArray sameSize = "[S]\r\nK=2\r\n";
        QTest::newRow("read at once") << false << qint64(0) << sameSize << "2";
        QTest::newRow("written at once") << true << qint64(0) << sameSize << "2";
        QTest::newRow("read a tick later") << false << qint64(IniStampTickNs) << sameSize << "2";
        // Past the tick the stamp is trusted: a real rewrite would have moved it.
        QTest::newRow("read later") << false << qint64(IniStampTickNs + 1) << sameSize << "1";
        QTest::newRow("read later, other size") << false << qint64(IniStampTickNs + 1) << QByteArray("[S]\r\nK=22\r\n") << "22";
    }

    void rewriteWithinATick()
    {
        QFETCH(bool, ours);
        QFETCH(qint64, age);
        QFETCH(QByteArray, rewrite);
        QFETCH(QString, read);
        const QString file = path("coarse.ini");
        constexpr qint64 Stamp = 1'700'000'000'000'000'000;
        iniFreezeClock(IniFrozenClock{Stamp, Stamp + age});
        if (ours)
            QVERIFY(iniWrite("S", "K", "1", file));
        else
            putFile(file, "[S]\r\nK=1\r\n");
        QCOMPARE(iniRead("S", "K", file), QStringLiteral("1"));
        putFile(file, rewrite);
        QCOMPARE(iniRead("S", "K", file), read);
    }

    void cacheSeesOutsideChanges()
    {
        const QString file = path("shared.ini");
        QVERIFY(iniWrite("S", "K", "1", file));
        QCOMPARE(iniRead("S", "K", file), QStringLiteral("1"));
        // Our next write starts from what is on disk, not from the stale parse.
        putFile(file, "[S]\r\nK=4\r\nOTHER=x\r\n");
        QVERIFY(iniWrite("S", "NEW", "y", file));
        QCOMPARE(fileBytes(file), QByteArray("[S]\r\nK=4\r\nOTHER=x\r\nNEW=y\r\n"));
        // Replaced by rename, then removed.
        putFile(path("shared.tmp"), "[S]\r\nK=5\r\n");
        QVERIFY(QFile::remove(file) && QFile::rename(path("shared.tmp"), file));
        QCOMPARE(iniRead("S", "K", file), QStringLiteral("5"));
        QVERIFY(QFile::remove(file));
        QCOMPARE(iniRead("S", "K", file), QString());
    }

    // Lines no lookup reaches must not cost memory line by line: a map of such
    // lines once held 16 to 35 times its size.
    void hostileFilesHoldLittleMemory_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("blank lines") << QByteArray("\r\n");
        QTest::newRow("one section again and again") << QByteArray("[a]\n");
        QTest::newRow("one key again and again") << QByteArray("a=1\n");
        QTest::newRow("comments") << QByteArray(";\n");
    }

    void hostileFilesHoldLittleMemory()
    {
        QFETCH(QByteArray, line);
        const QByteArray bytes = "[GEN]\r\nXMAX=2\r\n" + line.repeated((1 << 20) / line.size());
        malloc_trim(0);
        const auto inUse = [] {
            const auto m = mallinfo2();
            return m.uordblks + m.hblkhd;
        };
        const size_t before = inUse();
        const IniDocument doc = IniDocument::fromBytes(bytes);
        QVERIFY2(inUse() - before < size_t(bytes.size()) / 8, qPrintable(QString::number(inUse() - before)));
        QCOMPARE(doc.value(u"GEN", u"XMAX"), QStringLiteral("2"));
    }

    void findFileIgnoresCase()
    {
        const QString root = dir_.filePath("prog");
        QVERIFY(QDir().mkpath(root + "/Images"));
        putFile(root + "/Map One.SPW", "x");
        putFile(root + "/Images/Tank.gif", "x");
        QCOMPARE(findFile(root, "map one.spw"), root + "/Map One.SPW");
        QCOMPARE(findFile(root + "/", "IMAGES/tank.GIF"), root + "/Images/Tank.gif");
        QCOMPARE(findFile(root, "images/Missing.gif"), root + "/images/Missing.gif");
        setProgramFolder(root);
        QCOMPARE(programFolder(), root);
        setProgramFolder({});
    }

private:
    QTemporaryDir dir_;
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
};

QTEST_MAIN(TestIni)
#include "tst_ini.moc"
