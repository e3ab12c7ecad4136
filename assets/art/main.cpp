// vf-makeart: draws all of the game's pictures.
//
//   vf-makeart <program folder> <picture folder> <resource file>
//       writes the sprites and attack-scene GIFs into the program folder and
//       the built-in pictures as PNGs plus the .qrc that lists them
//   vf-makeart --preview <sheet.png>
//       writes one sheet with everything, and <sheet>-maps.png with sample maps

#include "Art.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

namespace {

bool savePng(const QImage& image, const QString& path)
{
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "vf-makeart: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool saveGif(const QImage& image, const QString& path)
{
    if (!art::writeGif(image, path)) {
        std::fprintf(stderr, "vf-makeart: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

int writeAll(const QString& programDir, const QString& pictureDir, const QString& qrcPath)
{
    const QDir program(programDir);
    if (!program.mkpath(QStringLiteral("Images")) || !QDir().mkpath(pictureDir)) {
        std::fprintf(stderr, "vf-makeart: cannot create the output folders\n");
        return 1;
    }
    bool ok = true;
    for (const art::UnitSprites& u : art::makeUnitSprites())
        for (art::Facing f : art::AllFacings)
            ok = saveGif(u.images[size_t(f)], program.filePath(QStringLiteral("Images/") + u.base + art::facingSuffix(f))) && ok;
    for (const art::NamedPicture& s : art::makeAttackScenes())
        ok = saveGif(s.image, program.filePath(s.name + QStringLiteral(".gif"))) && ok;

    // Built-in pictures: PNG files and the resource list that rcc compiles.
    QStringList entries;
    const QDir pictures(pictureDir);
    auto builtIn = [&](const QString& folder, const QString& name, const QImage& image) {
        pictures.mkpath(folder);
        const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        ok = savePng(image, pictures.filePath(file)) && ok;
        entries << file;
    };
    const auto terrain = art::makeTerrain();
    for (size_t i = 0; i < terrain.size(); ++i)
        builtIn(QStringLiteral("terrain"), QString::number(i), terrain[i]);
    const auto buildings = art::makeBuildings();
    for (size_t i = 0; i < buildings.size(); ++i)
        builtIn(QStringLiteral("buildings"), QString::number(i), buildings[i]);
    for (const art::NamedPicture& w : art::makeWindowPictures())
        builtIn(QStringLiteral("window"), w.name, w.image);

    QFile qrc(qrcPath);
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "vf-makeart: cannot write %s\n", qPrintable(qrcPath));
        return 1;
    }
    QTextStream out(&qrc);
    const QDir qrcDir = QFileInfo(qrcPath).absoluteDir();
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/pictures\">\n";
    for (const QString& e : entries)
        out << "  <file alias=\"" << e << "\">" << qrcDir.relativeFilePath(pictures.absoluteFilePath(e)) << "</file>\n";
    out << "</qresource>\n</RCC>\n";
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--preview")) {
        const QString sheet = args[2];
        const QFileInfo info(sheet);
        const QString maps = info.dir().filePath(info.completeBaseName() + QStringLiteral("-maps.png"));
        const bool ok = savePng(art::makePreview(), sheet)
                        && savePng(art::makeSampleMaps(art::makeTerrain(), art::makeBuildings()), maps);
        return ok ? 0 : 1;
    }
    if (args.size() == 4)
        return writeAll(args[1], args[2], args[3]);
    std::fprintf(stderr,
                 "usage: vf-makeart <program folder> <picture folder> <resource file>\n"
                 "       vf-makeart --preview <sheet.png>\n");
    return 2;
}
