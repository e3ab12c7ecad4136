#include "data/MapFile.h"

#include "data/GameTypes.h"
#include "data/Records.h"
#include "platform/Text.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace mapfile {

namespace {

const QString& sectionName()
{
    static const QString name = QString::fromLatin1(Section);
    return name;
}

QString number(int value) { return QString::number(value); }

QString flag(const char* word) { return QString::fromLatin1(word); }

// Numeric editor settings that do not convert or fall outside their range keep
// the value they had, as the editor's controls refuse such values.
void readRanged(const MapReader& in, const QString& k, std::int16_t& target, int lo, int hi)
{
    if (auto v = in.number(k); v && *v >= lo && *v <= hi)
        target = *v;
}
void readRanged(const MapReader& in, const char* word, std::int16_t& target, int lo, int hi)
{
    readRanged(in, flag(word), target, lo, hi);
}

// A free-text setting: a key that is present wins even when empty.
void readText(const MapReader& in, const QString& k, QString& target)
{
    if (in.has(k))
        target = in.text(k);
}
void readText(const MapReader& in, const char* word, QString& target)
{
    readText(in, flag(word), target);
}

}  // namespace

QString key(const char* word, int index)
{
    return QString::fromLatin1(word) + QString::number(index);
}

MapReader::MapReader(const QString& path)
{
    exists_ = QFileInfo(path).isFile();
    QFile file(path);
    if (!exists_ || !file.open(QIODevice::ReadOnly))
        return;
    // Read no more than the limit and one byte: the file may grow while we read.
    QByteArray bytes = file.read(FileByteLimit + 1);
    if (bytes.size() <= FileByteLimit)
        doc_ = platform::IniDocument::fromBytes(std::move(bytes));
}

bool MapReader::has(const QString& key) const
{
    return doc_.contains(sectionName(), key);
}

QString MapReader::text(const QString& key) const
{
    return doc_.value(sectionName(), key);
}

std::optional<std::int16_t> MapReader::number(const QString& key) const
{
    if (!has(key))
        return std::nullopt;
    std::int16_t v = 0;
    if (!platform::parseInt16(text(key), v))
        return std::nullopt;
    return v;
}

std::int16_t MapReader::number(const QString& key, std::int16_t fallback) const
{
    return number(key).value_or(fallback);
}

MapDocument::MapDocument()
{
    EdTile.fill(SpaceTerrain);
    EdUnitType.fill(None);
    EdHQ.fill(None);
    EdBuildingType.fill(None);
}

bool write(const QString& path, const MapDocument& map)
{
    // Loading first keeps keys we do not write (stale T keys of a bigger map,
    // anything a newer version added) where they were.
    platform::IniDocument doc = platform::IniDocument::load(path);
    auto set = [&](const QString& k, const QString& v) { doc.setValue(sectionName(), k, v); };

    set(flag("MAX"), number(map.TileCount));
    set(flag("XMAX"), number(map.MapWidth));
    set(flag("YMAX"), number(map.MapHeight));
    set(flag("NAME"), map.Name);
    set(flag("DESC"), map.Desc);
    set(flag("PLAYERS"), number(map.Players));
    for (int p = 0; p < 3; ++p)
        set(key("P", p + 2), number(map.Enemy[p]));
    set(flag("VICTORYMSG"), map.VictoryMsg);
    set(flag("DEFEATMSG"), map.DefeatMsg);
    set(flag("WINHQCAPTURE"), number(map.WinHQCapture));
    set(flag("WINDESTROYALLUNITS"), number(map.WinDestroyAllUnits));
    set(flag("WINBUILDINGCAPTURE"), number(map.WinBuildingCapture));
    set(flag("WINBUILDINGSNEEDED"), map.WinBuildingsNeeded);
    set(flag("WINSURVIVAL"), number(map.WinSurvival));
    set(flag("WINDAYS"), map.WinDays);
    for (int d = 1; d <= DayMessages; ++d)
        set(key("DAYMSG", d), map.DayMsg[d - 1]);

    // MAX says how many T keys follow; never more than the table holds.
    const int tiles = std::clamp(map.TileCount, 0, EditorTileLimit);
    for (int i = 1; i <= tiles; ++i)
        set(key("T", i), number(map.EdTile[i]));

    // Every slot is written, free ones too: a reader that meets a missing UT
    // would keep whatever unit it held before.
    for (int i = 1; i <= UnitSlots; ++i) {
        set(key("UT", i), number(map.EdUnitType[i]));
        set(key("UP", i), number(map.EdUnitPlayer[i]));
        set(key("UTOP", i), number(map.EdUnitTop[i]));
        set(key("ULEFT", i), number(map.EdUnitLeft[i]));
        if (i <= HeadquarterSlots)
            set(key("HQ", i), number(map.EdHQ[i]));
        if (i <= BuildingSlots) {
            set(key("BT", i), number(map.EdBuildingType[i]));
            set(key("BP", i), number(map.EdBuildingPlayer[i]));
            set(key("BTOP", i), number(map.EdBuildingTop[i]));
            set(key("BLEFT", i), number(map.EdBuildingLeft[i]));
        }
    }
    return doc.save(path);
}

std::optional<MapDocument> read(const QString& path)
{
    const MapReader in(path);
    if (!in.exists())
        return std::nullopt;

    const auto width = in.number(flag("XMAX"));
    const auto height = in.number(flag("YMAX"));
    if (!width || !height || *width < 1 || *height < 1)
        return std::nullopt;
    const int tiles = int(*width) * int(*height);
    if (tiles > EditorTileLimit)
        return std::nullopt;

    MapDocument map;
    map.MapWidth = *width;
    map.MapHeight = *height;
    map.TileCount = tiles;

    readText(in, "NAME", map.Name);
    readText(in, "DESC", map.Desc);
    readRanged(in, "PLAYERS", map.Players, 2, MaxPlayers);
    // 2 is the grey state of the editor's check boxes, which it keeps as is.
    for (int p = 0; p < 3; ++p)
        readRanged(in, key("P", p + 2), map.Enemy[p], 0, 2);
    readText(in, "VICTORYMSG", map.VictoryMsg);
    readText(in, "DEFEATMSG", map.DefeatMsg);
    readRanged(in, "WINHQCAPTURE", map.WinHQCapture, 0, 2);
    readRanged(in, "WINDESTROYALLUNITS", map.WinDestroyAllUnits, 0, 2);
    readRanged(in, "WINBUILDINGCAPTURE", map.WinBuildingCapture, 0, 2);
    readText(in, "WINBUILDINGSNEEDED", map.WinBuildingsNeeded);
    readRanged(in, "WINSURVIVAL", map.WinSurvival, 0, 2);
    readText(in, "WINDAYS", map.WinDays);
    for (int d = 1; d <= DayMessages; ++d)
        readText(in, key("DAYMSG", d), map.DayMsg[d - 1]);

    // A code with no picture would be drawn as nothing and blocks everyone; open
    // space is the honest reading of a tile we cannot make sense of.
    for (int i = 1; i <= tiles; ++i) {
        const auto t = in.number(key("T", i));
        map.EdTile[i] = (t && *t >= 0 && *t <= LastTerrain) ? *t : std::int16_t(SpaceTerrain);
    }

    // A slot whose type is missing or unknown is free; its other keys are kept
    // like the editor keeps them for a freed slot.
    for (int i = 1; i <= UnitSlots; ++i) {
        const auto t = in.number(key("UT", i));
        map.EdUnitType[i] = (t && *t >= UnitType::First && *t <= UnitType::Last) ? *t : std::int16_t(None);
        map.EdUnitPlayer[i] = in.number(key("UP", i), 0);
        map.EdUnitTop[i] = in.number(key("UTOP", i), 0);
        map.EdUnitLeft[i] = in.number(key("ULEFT", i), 0);
    }
    for (int p = 1; p <= HeadquarterSlots; ++p) {
        const auto hq = in.number(key("HQ", p));
        map.EdHQ[p] = (hq && *hq >= 1 && *hq <= BuildingSlots) ? *hq : std::int16_t(None);
    }
    for (int i = 1; i <= BuildingSlots; ++i) {
        const auto t = in.number(key("BT", i));
        map.EdBuildingType[i] = (t && *t >= 0 && *t <= BuildingType::Last) ? *t : std::int16_t(None);
        map.EdBuildingPlayer[i] = in.number(key("BP", i), 0);
        map.EdBuildingTop[i] = in.number(key("BTOP", i), 0);
        map.EdBuildingLeft[i] = in.number(key("BLEFT", i), 0);
    }
    return map;
}

}  // namespace mapfile
