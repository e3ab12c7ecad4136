#include "data/GameData.h"

#include "platform/Ini.h"

namespace modStrat {

void ResetAll()
{
    UserName.clear();
    ServerIP.clear();
    GameVersion.clear();
    GameNumber.clear();
    IsGameHost = false;
    Players.fill(PlayerRecord{});
    PlayerCount = 0;
    MyPlayer = 0;
    TimeLimit = 0;
    IsOfflineGame = false;
    MapPath.clear();
    StartGamePending = false;
    CurrentPlayer = 0;
    Money.fill(0);
    TargetUnit = 0;
    SelectedUnit = 0;
    DayCount = 0;
    UnitsProduced.fill(0);
    UnitsDestroyed.fill(0);
    UnitsLost.fill(0);
    Units.fill(UnitRecord{});
    Buildings.fill(BuildingRecord{});
    Tiles.fill(TileRecord{});
    HQ.fill(0);
    GameMessages.fill(TextItem{});
    DamageBarValue = 0;
    PlayerLost.fill(false);
    MapWidth = 0;
    MapHeight = 0;
    MapLeft = 0;
    MapTop = 0;
}

QString ReadIni(const QString& section, const QString& key, const QString& file)
{
    return platform::iniRead(section, key, file);
}

std::int16_t WriteIni(const QString& section, const QString& key, const QString& value, const QString& file)
{
    return platform::iniWrite(section, key, value, file) ? 1 : 0;
}

QString FreeText(const QString& text)
{
    QString clean = text;
    clean.remove(QLatin1Char('@')).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    return clean;
}

void ShowGameMessage(const QString& text)
{
    TextItem& newest = GameMessages[1];
    if (newest.Visible) {
        TextItem& older = GameMessages[2];
        older.Text = newest.Text;
        older.Visible = true;
        older.Life = newest.Life;
    }
    newest.Text = text;
    newest.Visible = true;
    newest.Life = GameMessageLife;
}

}  // namespace modStrat
