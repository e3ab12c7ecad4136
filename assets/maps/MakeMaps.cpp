// vf-makemaps <program folder> <map file name>...
// Checks our maps and writes them into the program folder. The names given are
// the files the build expects; any difference from our list fails the build.
// --show prints each map's drawing as a whole.

#include "MapPlan.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <cstdio>

namespace {

template <typename T, int N>
bool sameTable(const Table<T, N>& a, const Table<T, N>& b)
{
    return std::equal(a.begin(), a.end(), b.begin());
}

// Everything the file carries, compared after a write and a read.
bool sameMap(const mapfile::MapDocument& a, const mapfile::MapDocument& b)
{
    return a.MapWidth == b.MapWidth && a.MapHeight == b.MapHeight && a.TileCount == b.TileCount
        && a.Name == b.Name && a.Desc == b.Desc && a.Players == b.Players && a.Enemy == b.Enemy
        && a.VictoryMsg == b.VictoryMsg && a.DefeatMsg == b.DefeatMsg
        && a.WinHQCapture == b.WinHQCapture && a.WinDestroyAllUnits == b.WinDestroyAllUnits
        && a.WinBuildingCapture == b.WinBuildingCapture && a.WinBuildingsNeeded == b.WinBuildingsNeeded
        && a.WinSurvival == b.WinSurvival && a.WinDays == b.WinDays && a.DayMsg == b.DayMsg
        && sameTable(a.EdTile, b.EdTile) && sameTable(a.EdUnitType, b.EdUnitType)
        && sameTable(a.EdUnitPlayer, b.EdUnitPlayer) && sameTable(a.EdUnitTop, b.EdUnitTop)
        && sameTable(a.EdUnitLeft, b.EdUnitLeft) && sameTable(a.EdHQ, b.EdHQ)
        && sameTable(a.EdBuildingType, b.EdBuildingType) && sameTable(a.EdBuildingPlayer, b.EdBuildingPlayer)
        && sameTable(a.EdBuildingTop, b.EdBuildingTop) && sameTable(a.EdBuildingLeft, b.EdBuildingLeft);
}

int count(const auto& table)
{
    return int(std::count_if(table.begin(), table.end(), [](auto v) { return v != 999; }));
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const bool show = args.removeAll(QStringLiteral("--show")) > 0;
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: vf-makemaps [--show] <program folder> [<map file name>...]\n");
        return 2;
    }
    const QDir folder(args.takeFirst());
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "vf-makemaps: cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }

    const std::vector<maps::MapPlan> plans = maps::allMaps();
    QStringList errors;

    QSet<QString> ours;
    for (const maps::MapPlan& plan : plans)
        ours.insert(plan.file);
    const QSet<QString> expected(args.begin(), args.end());
    if (!args.isEmpty() && ours != expected)
        errors << QStringLiteral("the build expects the maps \"%1\" but we make \"%2\"")
                      .arg(QStringList(expected.begin(), expected.end()).join(QStringLiteral("\", \"")),
                           QStringList(ours.begin(), ours.end()).join(QStringLiteral("\", \"")));

    for (const maps::MapPlan& plan : plans) {
        if (show) {
            QStringList ignored;
            std::printf("%s (%d x %d)\n", qPrintable(plan.file), plan.width, plan.height);
            for (const std::string& row : maps::expandDrawing(plan, ignored))
                std::printf("  %s\n", row.c_str());
        }
        const auto doc = maps::build(plan, errors);
        if (!doc)
            continue;

        // A fresh file: writing over an old one would keep its stray keys.
        const QString path = folder.filePath(plan.file);
        QFile::remove(path);
        if (!mapfile::write(path, *doc)) {
            errors << plan.file + QStringLiteral(": cannot write ") + path;
            continue;
        }
        const auto back = mapfile::read(path);
        if (!back || !sameMap(*doc, *back)) {
            errors << plan.file + QStringLiteral(": reads back differently");
            continue;
        }
        std::printf("vf-makemaps: %s, %d x %d, %d players, %d buildings, %d units\n", qPrintable(plan.file),
                    plan.width, plan.height, plan.players, count(doc->EdBuildingType), count(doc->EdUnitType));
    }

    for (const QString& e : errors)
        std::fprintf(stderr, "vf-makemaps: %s\n", qPrintable(e));
    return errors.isEmpty() ? 0 : 1;
}
