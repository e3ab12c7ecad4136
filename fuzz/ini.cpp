// Any bytes as an INI file. Reading never fails; a file nobody changed is
// written back byte for byte; after a few changes, the file written reads back
// exactly as the document in memory answers.

#include "platform/Ini.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {

// Section and key names to try: GEN and T1 as maps use them, and the first
// words of the input itself, so names the file holds are tried as well.
QList<QString> namesFrom(const QByteArray& bytes)
{
    QList<QString> names{QStringLiteral("GEN"), QStringLiteral("T1")};
    for (const QByteArray& line : bytes.left(512).split('\n').mid(0, 8)) {
        const QByteArray word = line.split('=').first().replace('[', ' ').replace(']', ' ');
        names << QString::fromLatin1(word);
    }
    return names;
}

void check(bool ok)
{
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    platform::IniDocument doc = platform::IniDocument::fromBytes(bytes);
    check(doc.toBytes() == bytes);

    const QList<QString> names = namesFrom(bytes);
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& section = names[i];
        const QString& key = names[(i + 1) % names.size()];
        check(doc.value(section, key).size() <= platform::IniValueLimit);
        doc.setValue(section, key, names[(i + 2) % names.size()] + QStringLiteral(" \r\nX=1"));
    }
    const platform::IniDocument reread = platform::IniDocument::fromBytes(doc.toBytes());
    for (const QString& section : names) {
        for (const QString& key : names)
            check(reread.value(section, key) == doc.value(section, key));
    }
    return 0;
}
