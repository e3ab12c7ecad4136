#include "MapPlan.h"

#include "data/GameTypes.h"
#include "data/Records.h"

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <utility>

namespace maps {

// Drawing legend:
//   .  open space                     ,  floor plate
//   #  platform rim; the code follows from the sides that face space
//   =  walkway and bridge (pad floor)  ~  debris beside space
//   x y z  pads and conduits (nobody passes)
//   G  ground patch (any rectangle of at least 2 x 2)
//   F  fortified block (at least 3 x 3); its rim is rough going
//   R  plateau (at least 3 x 3), raised; climbed only by a ramp
//   B  raised block, 2 x 2 tiles     r  rough ground, 2 x 2 tiles
//   D  decorated plates, 3 x 2 tiles
//   ^ v < >  ramps, rising toward the arrow's point
namespace {

// The battle area is 800 x 401 pixels: 32 x 16 tiles.
constexpr int MaxWidth = 32;
constexpr int MaxHeight = 16;
constexpr int NameLimit = 25;
constexpr int TextLimit = 150;

// The movement groups, as the battle's move rule has them.
bool isFloor(int t) { return t == 0 || (t >= 37 && t <= 41) || t == 52 || (t >= 65 && t <= 70); }
bool isRaised(int t) { return (t >= 10 && t <= 17) || (t >= 61 && t <= 64); }
bool isRamp(int t) { return t == 18 || (t >= 34 && t <= 36) || t == 60; }
bool isGround(int t) { return t >= 23 && t <= 33; }
bool isRough(int t) { return t >= 42 && t <= 51; }
bool isBlocked(int t) { return t < 0 || t > LastTerrain || (t >= 53 && t <= 59); }

bool walkable(int t) { return isFloor(t) || isRaised(t) || isRamp(t) || isGround(t) || isRough(t); }

// Raised plates are climbed and left only by ramps or other raised plates.
bool groundStep(int from, int to)
{
    if (!walkable(to))
        return false;
    if (isRaised(to) && !isRaised(from) && !isRamp(from))
        return false;
    if (isRaised(from) && !isRaised(to) && !isRamp(to))
        return false;
    return true;
}

bool crossesSpace(int type)
{
    using namespace UnitType;
    return type == Bomber || type == BattleCruiser || type == Fighter || type == Recon || type == Transport;
}

bool canStand(int type, int terrain)
{
    if (crossesSpace(type))
        return !isBlocked(terrain);
    if (type == UnitType::HoverTankAir)
        return !isBlocked(terrain) && terrain != SpaceTerrain;
    return walkable(terrain);
}

char flipX(char c) { return c == '<' ? '>' : c == '>' ? '<' : c; }
char flipY(char c) { return c == '^' ? 'v' : c == 'v' ? '^' : c; }

int buildingCode(Kind kind, int owner)
{
    switch (kind) {
    case Kind::City: return BuildingType::City[owner];
    case Kind::Factory: return BuildingType::Factory[owner];
    case Kind::Airport: return BuildingType::Airport[owner];
    case Kind::Headquarters: return BuildingType::Headquarters[owner];
    case Kind::Plain: return BuildingType::NeutralPlain;
    }
    return -1;
}

// The colour a building code is drawn in, read off the code alone, so that a
// wrong owner cannot slip through by the same table that made the code.
int colourOf(int code)
{
    static const std::map<int, int> colours = {
        {0, 0}, {1, 0}, {8, 0}, {9, 0},
        {2, 1}, {4, 1}, {6, 1}, {10, 1},
        {3, 2}, {5, 2}, {7, 2}, {11, 2},
        {12, 3}, {13, 3}, {14, 3}, {15, 3},
        {16, 4}, {17, 4}, {18, 4}, {19, 4},
    };
    const auto it = colours.find(code);
    return it == colours.end() ? -1 : it->second;
}

struct Grid {
    int width = 0;
    int height = 0;
    std::vector<std::string> rows;

    bool inside(int c, int r) const { return c >= 0 && r >= 0 && c < width && r < height; }
    // Beyond the map edge is open space.
    char at(int c, int r) const { return inside(c, r) ? rows[size_t(r)][size_t(c)] : '.'; }
};

QString where(int c, int r) { return QStringLiteral("(%1,%2)").arg(c).arg(r); }

// Position in a band of like tiles along one axis: 0 first, 1 inner, 2 last.
// -1 when the band is a single tile thick.
int band(bool before, bool after)
{
    if (before && after)
        return 1;
    if (after)
        return 0;
    if (before)
        return 2;
    return -1;
}

// Rectangles drawn from a 3 x 3 set: corners, sides and a centre that repeats.
int ninePatch(const Grid& g, int c, int r, const std::array<int, 9>& codes, QStringList& errors)
{
    const char ch = g.at(c, r);
    const int col = band(g.at(c - 1, r) == ch, g.at(c + 1, r) == ch);
    const int row = band(g.at(c, r - 1) == ch, g.at(c, r + 1) == ch);
    if (col < 0 || row < 0) {
        errors << QStringLiteral("'%1' at %2 is only one tile thick").arg(ch).arg(where(c, r));
        return SpaceTerrain;
    }
    // There are no inner-corner pieces for these, so only rectangles can be drawn.
    for (int dc : {-1, 1})
        for (int dr : {-1, 1})
            if (g.at(c + dc, r) == ch && g.at(c, r + dr) == ch && g.at(c + dc, r + dr) != ch) {
                errors << QStringLiteral("'%1' at %2 is not part of a rectangle").arg(ch).arg(where(c, r));
                return SpaceTerrain;
            }
    return codes[size_t(row * 3 + col)];
}

// Fixed-size pieces (2 x 2, 3 x 2) laid side by side.
int block(const Grid& g, int c, int r, int w, int h, const int* codes, QStringList& errors)
{
    const char ch = g.at(c, r);
    int left = 0;
    while (g.at(c - left - 1, r) == ch)
        ++left;
    int up = 0;
    while (g.at(c, r - up - 1) == ch)
        ++up;
    const int bc = c - left % w;
    const int br = r - up % h;
    for (int y = br; y < br + h; ++y)
        for (int x = bc; x < bc + w; ++x)
            if (g.at(x, y) != ch) {
                errors << QStringLiteral("'%1' at %2 is not part of a whole %3 x %4 piece")
                              .arg(ch).arg(where(c, r)).arg(w).arg(h);
                return SpaceTerrain;
            }
    return codes[(r - br) * w + (c - bc)];
}

int rim(const Grid& g, int c, int r, QStringList& errors)
{
    const bool up = g.at(c, r - 1) == '.';
    const bool down = g.at(c, r + 1) == '.';
    const bool left = g.at(c - 1, r) == '.';
    const bool right = g.at(c + 1, r) == '.';
    if ((up && down) || (left && right) || !(up || down || left || right)) {
        errors << QStringLiteral("rim at %1 does not border space on exactly one side or corner").arg(where(c, r));
        return SpaceTerrain;
    }
    if (up)
        return left ? 1 : right ? 2 : 7;
    if (down)
        return left ? 3 : right ? 4 : 8;
    return left ? 5 : 6;
}

int terrainAt(const Grid& g, int c, int r, QStringList& errors)
{
    static constexpr std::array<int, 9> ground = {26, 31, 24, 33, 23, 32, 27, 30, 25};
    static constexpr std::array<int, 9> fort = {38, 39, 40, 41, 37, 44, 45, 46, 47};
    static constexpr std::array<int, 9> plateau = {16, 15, 14, 17, 18, 13, 10, 11, 12};
    static constexpr int raisedBlock[] = {61, 62, 63, 64};
    static constexpr int roughBlock[] = {48, 49, 50, 51};
    static constexpr int plates[] = {65, 66, 67, 68, 69, 70};

    switch (const char ch = g.at(c, r)) {
    case '.': return SpaceTerrain;
    case ',': return 0;
    case '=': return 52;
    case '~': return (c + r) % 2 ? 43 : 42;
    case 'x': return 53;
    case 'y': return 58;
    case 'z': return 59;
    case '#': return rim(g, c, r, errors);
    case 'G': return ninePatch(g, c, r, ground, errors);
    case 'F': return ninePatch(g, c, r, fort, errors);
    case 'R': return ninePatch(g, c, r, plateau, errors);
    case 'B': return block(g, c, r, 2, 2, raisedBlock, errors);
    case 'r': return block(g, c, r, 2, 2, roughBlock, errors);
    case 'D': return block(g, c, r, 3, 2, plates, errors);
    case '^': case 'v': case '<': case '>': {
        const int dc = ch == '<' ? -1 : ch == '>' ? 1 : 0;
        const int dr = ch == '^' ? -1 : ch == 'v' ? 1 : 0;
        const char top = g.at(c + dc, r + dr);
        if (top != 'R' && top != 'B')
            errors << QStringLiteral("ramp at %1 leads to no raised plate").arg(where(c, r));
        return ch == '^' ? 34 : ch == 'v' ? 35 : ch == '<' ? 36 : 60;
    }
    default:
        errors << QStringLiteral("unknown character '%1' at %2").arg(ch).arg(where(c, r));
        return SpaceTerrain;
    }
}

bool validOwner(int owner) { return owner >= 0 && owner <= MaxPlayers; }

struct Image {
    int col;
    int row;
    int owner;
};

// Where a piece of the drawn part appears on the whole map (itself first).
std::vector<Image> images(const MapPlan& plan, int c, int r, int owner)
{
    const int w = plan.width;
    const int h = plan.height;
    auto swap = [owner](std::array<int, 5> to) { return validOwner(owner) ? to[size_t(owner)] : owner; };
    switch (plan.symmetry) {
    case Symmetry::None:
        return {{c, r, owner}};
    case Symmetry::Point:
        return {{c, r, owner}, {w - 1 - c, h - 1 - r, swap({0, 2, 1, 3, 4})}};
    case Symmetry::MirrorX:
        return {{c, r, owner}, {w - 1 - c, r, swap({0, 2, 1, 3, 4})}};
    case Symmetry::MirrorXY:
        return {{c, r, owner},
                {w - 1 - c, r, swap({0, 2, 1, 4, 3})},
                {c, h - 1 - r, swap({0, 3, 4, 1, 2})},
                {w - 1 - c, h - 1 - r, swap({0, 4, 3, 2, 1})}};
    }
    return {};
}

}  // namespace

std::vector<std::string> expandDrawing(const MapPlan& plan, QStringList& errors)
{
    const int w = plan.width;
    const int h = plan.height;
    const bool mirrorsX = plan.symmetry != Symmetry::None;
    const bool mirrorsY = plan.symmetry == Symmetry::MirrorXY;
    const int dw = mirrorsX ? (w + 1) / 2 : w;
    const int dh = mirrorsY ? (h + 1) / 2 : h;

    if (int(plan.drawing.size()) != dh) {
        errors << QStringLiteral("the drawing has %1 rows, not %2").arg(plan.drawing.size()).arg(dh);
        return {};
    }
    for (size_t r = 0; r < plan.drawing.size(); ++r)
        if (int(plan.drawing[r].size()) != dw) {
            errors << QStringLiteral("drawing row %1 is %2 wide, not %3").arg(r).arg(plan.drawing[r].size()).arg(dw);
            return {};
        }

    std::vector<std::string> rows(size_t(h), std::string(size_t(w), '.'));
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            int sc = c;
            int sr = r;
            bool fx = false;
            bool fy = false;
            if (mirrorsX && c >= dw) {
                sc = w - 1 - c;
                fx = true;
                if (plan.symmetry == Symmetry::Point) {
                    sr = h - 1 - r;
                    fy = true;
                }
            }
            if (mirrorsY && r >= dh) {
                sr = h - 1 - r;
                fy = true;
            }
            char ch = plan.drawing[size_t(sr)][size_t(sc)];
            if (fx)
                ch = flipX(ch);
            if (fy)
                ch = flipY(ch);
            rows[size_t(r)][size_t(c)] = ch;
        }

    // An odd-width map draws its middle column itself; it must match its own image.
    if (plan.symmetry == Symmetry::Point && w % 2)
        for (int r = 0; r < h; ++r) {
            const char a = rows[size_t(r)][size_t(w / 2)];
            const char b = rows[size_t(h - 1 - r)][size_t(w / 2)];
            if (a != flipX(flipY(b)))
                errors << QStringLiteral("the middle column is not symmetric at row %1").arg(r);
        }
    return rows;
}

std::optional<mapfile::MapDocument> build(const MapPlan& plan, QStringList& errors)
{
    const int errorsBefore = errors.size();
    auto fail = [&](const QString& text) { errors << plan.file + QStringLiteral(": ") + text; };

    if (plan.width < 1 || plan.height < 1 || plan.width > MaxWidth || plan.height > MaxHeight) {
        fail(QStringLiteral("size %1 x %2 does not fit the battle area").arg(plan.width).arg(plan.height));
        return std::nullopt;
    }
    if (plan.players < 2 || plan.players > MaxPlayers)
        fail(QStringLiteral("%1 players").arg(plan.players));
    if (plan.name.isEmpty() || plan.name.size() > NameLimit)
        fail(QStringLiteral("the name must be 1 to %1 characters").arg(NameLimit));
    for (const QString& text : {plan.desc, plan.victory, plan.defeat})
        if (text.size() > TextLimit || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
            fail(QStringLiteral("texts are one line of at most %1 characters").arg(TextLimit));
    if (plan.dayMessages.size() > mapfile::DayMessages)
        fail(QStringLiteral("too many day messages"));

    QStringList drawErrors;
    const Grid grid{plan.width, plan.height, expandDrawing(plan, drawErrors)};
    if (grid.rows.empty()) {
        for (const QString& e : drawErrors)
            fail(e);
        return std::nullopt;
    }

    mapfile::MapDocument doc;
    doc.MapWidth = std::int16_t(plan.width);
    doc.MapHeight = std::int16_t(plan.height);
    doc.TileCount = plan.width * plan.height;
    doc.Name = plan.name;
    doc.Desc = plan.desc;
    doc.Players = std::int16_t(plan.players);
    for (int p = 2; p <= MaxPlayers; ++p)
        doc.Enemy[size_t(p - 2)] = p <= plan.players ? 1 : 0;
    doc.VictoryMsg = plan.victory;
    doc.DefeatMsg = plan.defeat;
    doc.WinHQCapture = 1;
    doc.WinDestroyAllUnits = 1;
    for (int d = 0; d < std::min<int>(plan.dayMessages.size(), mapfile::DayMessages); ++d)
        doc.DayMsg[size_t(d)] = plan.dayMessages[d];

    for (int r = 0; r < grid.height; ++r)
        for (int c = 0; c < grid.width; ++c)
            doc.EdTile[r * grid.width + c + 1] = std::int16_t(terrainAt(grid, c, r, drawErrors));
    for (const QString& e : drawErrors)
        fail(e);
    auto terrain = [&](int c, int r) { return int(doc.EdTile[r * grid.width + c + 1]); };

    // Pieces in a stable order: by owner (neutral last), then row and column.
    std::vector<Building> buildings;
    for (const Building& b : plan.buildings)
        for (const Image& i : images(plan, b.col, b.row, b.owner))
            buildings.push_back({b.kind, i.owner, i.col, i.row});
    buildings.insert(buildings.end(), plan.fixedBuildings.begin(), plan.fixedBuildings.end());
    std::vector<Unit> units;
    for (const Unit& u : plan.units)
        for (const Image& i : images(plan, u.col, u.row, u.owner))
            units.push_back({u.type, i.owner, i.col, i.row});
    units.insert(units.end(), plan.fixedUnits.begin(), plan.fixedUnits.end());

    auto order = [](int owner) { return owner == 0 ? MaxPlayers + 1 : owner; };
    auto byPlace = [&](const auto& a, const auto& b) {
        return std::tuple(order(a.owner), a.row, a.col) < std::tuple(order(b.owner), b.row, b.col);
    };
    std::stable_sort(buildings.begin(), buildings.end(), byPlace);
    std::stable_sort(units.begin(), units.end(), byPlace);

    if (int(buildings.size()) > mapfile::BuildingSlots)
        fail(QStringLiteral("%1 buildings, more than the %2 slots").arg(buildings.size()).arg(mapfile::BuildingSlots));
    if (int(units.size()) > mapfile::UnitSlots)
        fail(QStringLiteral("%1 units, more than the %2 slots").arg(units.size()).arg(mapfile::UnitSlots));

    std::map<std::pair<int, int>, int> taken;
    std::array<int, MaxPlayers + 1> factories{};
    std::array<int, MaxPlayers + 1> unitCount{};
    int airports = 0;
    int cities = 0;
    int slot = 0;
    for (const Building& b : buildings) {
        if (++slot > mapfile::BuildingSlots)
            break;
        const QString at = where(b.col, b.row);
        if (!grid.inside(b.col, b.row)) {
            fail(QStringLiteral("building %1 lies off the map").arg(at));
            continue;
        }
        if (b.owner < 0 || b.owner > plan.players || (b.kind == Kind::Plain && b.owner != 0)
            || (b.kind == Kind::Headquarters && b.owner == 0)) {
            fail(QStringLiteral("building %1 has owner %2").arg(at).arg(b.owner));
            continue;
        }
        if (!walkable(terrain(b.col, b.row)))
            fail(QStringLiteral("building %1 stands where no infantry can reach it").arg(at));
        if (taken[{b.col, b.row}]++)
            fail(QStringLiteral("two buildings at %1").arg(at));

        const int code = buildingCode(b.kind, b.owner);
        if (colourOf(code) != b.owner)
            fail(QStringLiteral("building %1 has code %2 for owner %3").arg(at).arg(code).arg(b.owner));
        doc.EdBuildingType[slot] = std::int16_t(code);
        doc.EdBuildingPlayer[slot] = std::int16_t(b.owner);
        doc.EdBuildingLeft[slot] = std::int16_t(b.col * TileSize);
        doc.EdBuildingTop[slot] = std::int16_t(b.row * TileSize);

        if (b.kind == Kind::Headquarters) {
            if (doc.EdHQ[b.owner] != None)
                fail(QStringLiteral("player %1 has two headquarters").arg(b.owner));
            doc.EdHQ[b.owner] = std::int16_t(slot);
        }
        factories[size_t(b.owner)] += b.kind == Kind::Factory;
        airports += b.kind == Kind::Airport;
        cities += b.kind == Kind::City;
    }

    taken.clear();
    slot = 0;
    for (const Unit& u : units) {
        if (++slot > mapfile::UnitSlots)
            break;
        const QString at = where(u.col, u.row);
        if (u.type < UnitType::First || u.type > UnitType::Last || u.owner < 1 || u.owner > plan.players) {
            fail(QStringLiteral("unit %1 has type %2 and owner %3").arg(at).arg(u.type).arg(u.owner));
            continue;
        }
        if (!grid.inside(u.col, u.row)) {
            fail(QStringLiteral("unit %1 lies off the map").arg(at));
            continue;
        }
        if (!canStand(u.type, terrain(u.col, u.row)))
            fail(QStringLiteral("unit type %1 cannot stand on terrain %2 at %3")
                     .arg(u.type).arg(terrain(u.col, u.row)).arg(at));
        if (taken[{u.col, u.row}]++)
            fail(QStringLiteral("two units at %1").arg(at));
        doc.EdUnitType[slot] = std::int16_t(u.type);
        doc.EdUnitPlayer[slot] = std::int16_t(u.owner);
        doc.EdUnitLeft[slot] = std::int16_t(u.col * TileSize);
        doc.EdUnitTop[slot] = std::int16_t(u.row * TileSize - UnitRaise);
        ++unitCount[size_t(u.owner)];
    }

    for (int p = 1; p <= plan.players; ++p) {
        if (doc.EdHQ[p] == None)
            fail(QStringLiteral("player %1 has no headquarters").arg(p));
        if (!factories[size_t(p)])
            fail(QStringLiteral("player %1 has no factory").arg(p));
        if (!unitCount[size_t(p)])
            fail(QStringLiteral("player %1 has no units").arg(p));
    }
    if (!airports || !cities)
        fail(QStringLiteral("a map needs airports and cities"));

    // Infantry must be able to walk from the first headquarters to every building,
    // or a base could only be taken from the air.
    if (const int hq = doc.EdHQ[1]; hq != None) {
        std::vector<char> seen(size_t(grid.width * grid.height), 0);
        std::deque<std::pair<int, int>> open;
        const int c0 = doc.EdBuildingLeft[hq] / TileSize;
        const int r0 = doc.EdBuildingTop[hq] / TileSize;
        open.push_back({c0, r0});
        seen[size_t(r0 * grid.width + c0)] = 1;
        while (!open.empty()) {
            const auto [c, r] = open.front();
            open.pop_front();
            static constexpr int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& s : steps) {
                const int nc = c + s[0];
                const int nr = r + s[1];
                if (!grid.inside(nc, nr) || seen[size_t(nr * grid.width + nc)])
                    continue;
                if (!groundStep(terrain(c, r), terrain(nc, nr)))
                    continue;
                seen[size_t(nr * grid.width + nc)] = 1;
                open.push_back({nc, nr});
            }
        }
        for (int i = 1; i <= mapfile::BuildingSlots; ++i) {
            if (doc.EdBuildingType[i] == None)
                continue;
            const int c = doc.EdBuildingLeft[i] / TileSize;
            const int r = doc.EdBuildingTop[i] / TileSize;
            if (grid.inside(c, r) && !seen[size_t(r * grid.width + c)])
                fail(QStringLiteral("no ground route from player 1's headquarters to the building at %1")
                         .arg(where(c, r)));
        }
    }

    if (errors.size() > errorsBefore)
        return std::nullopt;
    return doc;
}

}  // namespace maps
