#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

QString& chosenFolder()
{
    static QString folder;
    return folder;
}

QString normalized(const QString& folder)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

QString join(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

// `name` in `folder`: exact if it exists, else the first entry equal but for case.
QString matchEntry(const QString& folder, const QString& name)
{
    const QString exact = join(folder, name);
    if (QFileInfo::exists(exact))
        return exact;
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return join(folder, entry);
    }
    return {};
}

}  // namespace

QString programFolder()
{
    if (!chosenFolder().isEmpty())
        return chosenFolder();
    // Test hook: CTest points every test at the build's program folder.
    const QString fromEnv = qEnvironmentVariable("VF_PROGRAM_DIR");
    if (!fromEnv.isEmpty())
        return normalized(fromEnv);
    if (QCoreApplication::instance())
        return normalized(QCoreApplication::applicationDirPath());
    return normalized(QDir::currentPath());
}

void setProgramFolder(const QString& folder)
{
    chosenFolder() = folder.isEmpty() ? QString() : normalized(folder);
}

QString findFile(const QString& folder, const QString& name)
{
    const QString base = QDir::fromNativeSeparators(folder);
    const QString rel = QDir::fromNativeSeparators(name);
    const QString exact = join(base, rel);
    if (QFileInfo::exists(exact))
        return exact;

    // Names like "Images/Tank.gif" may differ in case in any part.
    QString path = base;
    const QStringList parts = rel.split(u'/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        path = matchEntry(path, part);
        if (path.isEmpty())
            return exact;
    }
    return parts.isEmpty() ? exact : path;
}

bool isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 32 || c.unicode() == 127)
            return false;
    }
    return true;
}

}  // namespace platform
