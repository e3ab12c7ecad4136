#pragma once
// A clean slate for a front-end test: scripted boxes, fresh game data and a
// program folder of the test's own (with the build's unit sprites when it has them).

#include "../battle/BattleKit.h"
#include "../platform/ModalKit.h"
#include "data/GameTypes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class FrontendFolder {
public:
    FrontendFolder()
    {
        platform::dialogScript::enable();
        platform::dialogScript::clear();
        platform::iniForgetCache();
        modStrat::ResetAll();
        const QString build = qEnvironmentVariable("VF_PROGRAM_DIR");
        if (QDir(build + QStringLiteral("/Images")).exists())
            QFile::link(build + QStringLiteral("/Images"), path(QStringLiteral("Images")));
        platform::setProgramFolder(folder.path());
    }
    ~FrontendFolder() { platform::setProgramFolder(QString()); }

    QString path(const QString& name) const { return folder.path() + QLatin1Char('/') + name; }

    QString writeMap(const MapBuilder& builder, const QString& name)
    {
        const QString file = path(name);
        mapfile::write(file, builder.map);
        return file;
    }

    // A small map for `players`: a headquarters and an infantry unit each.
    QString writeDuel(const QString& name = QStringLiteral("duel.spw"), int players = 2)
    {
        MapBuilder map(8, 6, 0);
        map.map.Players = static_cast<std::int16_t>(players);
        map.map.Name = QStringLiteral("Duel");
        map.map.Desc = QStringLiteral("Two bases <b>face</b> each other.");
        for (int p = 1; p <= players; ++p) {
            const int column = p % 2 ? 0 : 7;
            const int row = p <= 2 ? 0 : 5;
            map.headquarters(p, map.building(BuildingType::Headquarters[p], p, column, row));
            map.unit(UnitType::Infantry, p, column, row == 0 ? 1 : 4);
        }
        return writeMap(map, name);
    }

    QTemporaryDir folder;
};
