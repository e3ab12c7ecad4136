// The preview sheet: every picture in every colour, the terrain laid out as
// the editor's palette lays it out, and small maps joined from the pieces.

#include "Art.h"
#include "Palette.h"

#include <QPainter>

#include <string>

namespace art {

namespace {

// Masked drawing as the game does it: the mask with AND, then the picture with OR.
void drawMasked(QImage& on, int x, int y, const QImage& picture, const QImage& mask, int w = -1, int h = -1)
{
    if (w < 0)
        w = picture.width();
    if (h < 0)
        h = picture.height();
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx) {
            const int dx = x + xx, dy = y + yy;
            if (dx < 0 || dy < 0 || dx >= on.width() || dy >= on.height())
                continue;
            QRgb d = on.pixel(dx, dy);
            d = (d & mask.pixel(xx, yy)) | picture.pixel(xx, yy) | 0xFF000000u;
            on.setPixel(dx, dy, d);
        }
}

QImage scaled(const QImage& image, int k)
{
    return image.scaled(image.width() * k, image.height() * k, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void label(QPainter& p, int x, int y, const QString& text, QColor c = QColor(220, 224, 232))
{
    p.setPen(c);
    p.drawText(x, y, text);
}

// ---- Sample maps, drawn in characters ----
//   .  space          ,  floor          =  pad floor     ~  debris
//   #  rim (outer and inner corners follow from the neighbours)
//   G  ground patch   F  fortified      R  plateau (3 x 3 or more)
//   B  raised block   r  rough (2 x 2)  D  decorated (3 x 2)
//   x  hazard pad     V  vent (2 x 2)   y z  conduits   ^ v < >  ramps

struct Grid {
    std::vector<std::string> rows;
    char at(int c, int r) const
    {
        if (r < 0 || r >= int(rows.size()) || c < 0 || c >= int(rows[size_t(r)].size()))
            return '.';
        return rows[size_t(r)][size_t(c)];
    }
};

int bandOf(bool before, bool after) { return before && after ? 1 : after ? 0 : 2; }

int codeAt(const Grid& g, int c, int r)
{
    const char ch = g.at(c, r);
    auto nine = [&](const std::array<int, 9>& codes) {
        const int col = bandOf(g.at(c - 1, r) == ch, g.at(c + 1, r) == ch);
        const int row = bandOf(g.at(c, r - 1) == ch, g.at(c, r + 1) == ch);
        return codes[size_t(row * 3 + col)];
    };
    auto block = [&](int w, int h, std::initializer_list<int> codes) {
        int left = 0, up = 0;
        while (g.at(c - left - 1, r) == ch)
            ++left;
        while (g.at(c, r - up - 1) == ch)
            ++up;
        return *(codes.begin() + (up % h) * w + (left % w));
    };
    switch (ch) {
    case ',': return 0;
    case '=': return 52;
    case '~': return (c + r) % 2 ? 43 : 42;
    case 'x': return 53;
    case 'y': return 58;
    case 'z': return 59;
    case 'G': return nine({26, 31, 24, 33, 23, 32, 27, 30, 25});
    case 'F': return nine({38, 39, 40, 41, 37, 44, 45, 46, 47});
    case 'R': return nine({16, 15, 14, 17, 18, 13, 10, 11, 12});
    case 'B': return block(2, 2, {61, 62, 63, 64});
    case 'r': return block(2, 2, {48, 49, 50, 51});
    case 'V': return block(2, 2, {54, 55, 56, 57});
    case 'D': return block(3, 2, {65, 66, 67, 68, 69, 70});
    case '^': return 34;
    case 'v': return 35;
    case '<': return 36;
    case '>': return 60;
    case '#': {
        const bool up = g.at(c, r - 1) == '.', down = g.at(c, r + 1) == '.';
        const bool left = g.at(c - 1, r) == '.', right = g.at(c + 1, r) == '.';
        if (up)
            return left ? 1 : right ? 2 : 7;
        if (down)
            return left ? 3 : right ? 4 : 8;
        if (left)
            return 5;
        if (right)
            return 6;
        if (g.at(c + 1, r + 1) == '.')
            return 20;
        if (g.at(c - 1, r + 1) == '.')
            return 21;
        if (g.at(c + 1, r - 1) == '.')
            return 19;
        return 22;
    }
    default: return 9;
    }
}

struct Placed {
    int code, col, row;
};

QImage drawMap(const std::vector<std::string>& rows, const std::vector<QImage>& terrain,
               const std::vector<QImage>& buildings, const std::vector<Placed>& placed)
{
    const Grid g{rows};
    const int w = int(rows[0].size()), h = int(rows.size());
    QImage map(w * TileSize, h * TileSize, QImage::Format_RGB32);
    QPainter p(&map);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const int code = codeAt(g, c, r);
            if (code < int(terrain.size()))
                p.drawImage(c * TileSize, r * TileSize, terrain[size_t(code)]);
        }
    for (const Placed& b : placed)
        if (b.code < int(buildings.size()))
            p.drawImage(b.col * TileSize, b.row * TileSize, buildings[size_t(b.code)]);
    return map;
}


const QImage* find(const std::vector<NamedPicture>& list, const QString& name)
{
    for (const NamedPicture& n : list)
        if (n.name == name)
            return &n.image;
    return nullptr;
}

void text(QImage& on, int x, int y, const QString& t, QColor c, int px = 16, bool bold = false)
{
    QPainter p(&on);
    QFont f(QStringLiteral("Liberation Sans Narrow"));
    f.setPixelSize(px);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(c);
    p.drawText(x, y + QFontMetrics(f).ascent(), t);
}

// The battle window as the game would draw it, to judge the pictures together.
QImage mockBattle(const std::vector<UnitSprites>& units, const QImage& map, const std::vector<NamedPicture>& win)
{
    QImage screen(800, 500, QImage::Format_RGB32);
    screen.fill(Qt::black);
    {
        QPainter p(&screen);
        p.drawImage(0, 0, map.copy(10, 10, std::min(800, map.width() - 10), std::min(401, map.height() - 10)));
    }
    struct U {
        int type, owner, col, row;
        bool acted;
    };
    const U placed[] = {{13, 1, 4, 6, false}, {12, 1, 5, 7, true},   {6, 3, 9, 8, false},  {10, 2, 12, 7, false},
                        {1, 4, 14, 9, false}, {5, 2, 15, 4, false},  {2, 1, 6, 10, true},  {15, 3, 3, 11, false},
                        {4, 4, 16, 2, false}, {9, 1, 8, 3, false},   {14, 2, 12, 10, true}};
    for (const U& u : placed) {
        const QImage& base = units[size_t(u.type - 1)].images[u.owner % 2 ? 0 : 1];
        const Tint t = u.acted ? TintActed : u.owner == 2 ? TintBlue : u.owner == 3 ? TintGreen : u.owner == 4 ? TintYellow : Tint{0, 0, 0};
        const QImage pic = tinted(base, t);
        drawMasked(screen, u.col * 25, u.row * 25 - 2, pic, maskOf(pic), 25, 25);
    }
    const QImage& h1 = *find(win, QStringLiteral("halo1"));
    drawMasked(screen, 4 * 25, 6 * 25 - 2, *find(win, QStringLiteral("halo0")), h1, 25, 25);
    drawMasked(screen, 9 * 25, 8 * 25, *find(win, QStringLiteral("halo2")), h1, 25, 27);
    drawMasked(screen, 11 * 25, 5 * 25, *find(win, QStringLiteral("halo3")), h1, 25, 27);
    for (int c = 2; c <= 6; ++c)
        for (int r = 5; r <= 8; ++r)
            if (std::abs(c - 4) + std::abs(r - 6) <= 2) {
                const QImage& red = *find(win, QStringLiteral("halo4"));
                for (int y = 0; y < 25; ++y)
                    for (int x = 0; x < 25; ++x)
                        screen.setPixel(c * 25 + x, r * 25 + y, screen.pixel(c * 25 + x, r * 25 + y) | red.pixel(x, y));
            }
    drawMasked(screen, 5, 401, *find(win, QStringLiteral("menu0")), *find(win, QStringLiteral("menu1")));
    drawMasked(screen, 62, 409, *find(win, QStringLiteral("unitbox0")), *find(win, QStringLiteral("unitbox1")));
    drawMasked(screen, 67, 414, units[12].images[0], maskOf(units[12].images[0]));
    const char* lines[] = {"Red Commander", "Heavy Tank", "HP: 100", "Defense: 1", "Moves Left: 5"};
    for (int i = 0; i < 5; ++i)
        text(screen, 126, 408 + i * 14, QString::fromLatin1(lines[i]), Qt::white, 11);
    text(screen, 211, 408, QStringLiteral("Fuel: 70"), Qt::white, 11);
    text(screen, 211, 422, QStringLiteral("Ammo: 6"), Qt::white, 11);
    const char* cmds[] = {"Move", "Attack", "Wait"};
    for (int i = 0; i < 3; ++i)
        text(screen, 304, 411 + i * 24, QString::fromLatin1(cmds[i]), Qt::white, 16, true);
    drawMasked(screen, 304 - 24, 411 + 24, *find(win, QStringLiteral("arrow0")), *find(win, QStringLiteral("arrow1")));
    drawMasked(screen, 704, 408, *find(win, QStringLiteral("time0")), *find(win, QStringLiteral("time1")));
    text(screen, 732, 447, QStringLiteral("35"), QColor(128, 128, 128), 24, true);
    text(screen, 730, 445, QStringLiteral("35"), QColor(15, 0, 0), 24, true);
    {
        QPainter p(&screen);
        p.drawImage(15, 0, *find(win, QStringLiteral("options2")));
    }
    const char* buy[] = {"Infantry - $100", "Heavy Infantry - $300", "Rover - $500", "Armored ATV - $600",
                         "Heavy Tank - $1200", "Hover Tank - $1200", "Turret - $900", "Anti-Air - $750"};
    for (int i = 0; i < 8; ++i)
        text(screen, 25, 35 + 15 * i, QString::fromLatin1(buy[i]), QColor(15, 0, 0), 16);
    text(screen, 25, 360, QStringLiteral("Money: $4200"), QColor(15, 0, 0), 16, true);
    drawMasked(screen, 1, 35 + 15, *find(win, QStringLiteral("arrow0")), *find(win, QStringLiteral("arrow1")));
    return screen;
}

QImage mockAttack(const QImage& map, const std::vector<NamedPicture>& scenes, const std::vector<NamedPicture>& win, int set)
{
    QImage screen(800, 500, QImage::Format_RGB32);
    screen.fill(Qt::black);
    {
        QPainter p(&screen);
        p.drawImage(0, 0, map.copy(10, 10, std::min(800, map.width() - 10), std::min(401, map.height() - 10)));
    }
    const QString s = QString::number(set);
    drawMasked(screen, 9, 15, *find(scenes, s), *find(scenes, s + QStringLiteral("M")));
    drawMasked(screen, 310, 15, *find(scenes, s + QStringLiteral("B")), *find(scenes, s + QStringLiteral("BM")));
    QPainter p(&screen);
    for (int i = 1; i <= 15; ++i) {
        const bool large = i == 1 || i == 5 || i == 10 || i == 15;
        const bool lit = i == 7;
        const QString name = QStringLiteral("damagebar%1").arg(large ? (lit ? 0 : 2) : (lit ? 1 : 3));
        p.drawImage(105 + 30 * i, large ? 432 : 435, *find(win, name));
    }
    return screen;
}

}  // namespace

QImage makeSampleMaps(const std::vector<QImage>& terrain, const std::vector<QImage>& buildings)
{
    const std::vector<std::string> station = {
        "....................",
        ".#######.....######.",
        ".#,,,,,#######,,,,#.",
        ".#,GGG,,,,,,,,,x,,#.",
        ".#,GGG,,RRRR,,,,,,#.",
        ".#,GGG,,RRRR<,rr,,#.",
        ".#,,,,,,RRRR,,rr,,#.",
        ".#,,,,,,,^,,,,,,,,#.",
        ".#,FFF,,,,,####,,,#.",
        ".#,FFF,,DDD#..#,,,#.",
        ".#,FFF,,DDD####,VV#.",
        ".#,,,,,,,,,,,,,,VV#.",
        ".####=########=####.",
        ".~~.~=.~~.....=.....",
        "....=====,,,,,=yz,,.",
        "....................",
    };
    const std::vector<Placed> placed = {
        {2, 3, 8}, {4, 9, 2}, {6, 16, 3}, {10, 3, 11}, {3, 17, 6}, {0, 12, 14}, {9, 10, 11},
    };
    const std::vector<std::string> islands = {
        "..............",
        ".####..####...",
        ".#,,####,,#...",
        ".#,BB,,,,,#...",
        ".#vBB^,GG,###.",
        ".#,,,,,GG,,,#.",
        ".###,,,,,,,,#.",
        "...#,#####,,#.",
        "...#,#...#,,#.",
        "...#,#####,,#.",
        "...#,,,,,,,,#.",
        "...##########.",
        "..............",
    };
    // The plateau seen with a ramp on every side.
    const std::vector<std::string> ramps = {
        "..........",
        ".########.",
        ".#,,,v,,#.",
        ".#,RRRR,#.",
        ".#>RRRR<#.",
        ".#,RRRR,#.",
        ".#,,^,,,#.",
        ".########.",
        "..........",
    };
    const QImage a = drawMap(station, terrain, buildings, placed);
    const QImage b = drawMap(islands, terrain, buildings, {{5, 7, 5}, {17, 9, 2}});
    const QImage c = drawMap(ramps, terrain, buildings, {});
    QImage sheet(a.width() + std::max(b.width(), c.width()) + 30, std::max(a.height(), b.height() + c.height() + 10) + 20,
                 QImage::Format_RGB32);
    sheet.fill(QColor(40, 42, 48));
    QPainter p(&sheet);
    p.drawImage(10, 10, a);
    p.drawImage(a.width() + 20, 10, b);
    p.drawImage(a.width() + 20, b.height() + 20, c);
    return sheet;
}

QImage makePreview()
{
    const auto units = makeUnitSprites();
    const auto terrain = makeTerrain();
    const auto buildings = makeBuildings();
    const auto windows = makeWindowPictures();
    const auto scenes = makeAttackScenes();

    const int unitScale = 2;
    const int cell = SpriteWidth * unitScale + 4;
    const int unitsWidth = 20 * cell + 170;
    const int unitsHeight = int(units.size()) * (SpriteHeight * unitScale + 6) + 40;

    QImage mapSheet = makeSampleMaps(terrain, buildings);
    const int paletteW = 426 * 2, paletteH = 362 * 2;

    const int width = std::max({unitsWidth, paletteW + 40 + 400, mapSheet.width() * 2 + 20, 1640});
    const int height = unitsHeight + paletteH + mapSheet.height() * 2 + 3000;
    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(QColor(40, 42, 48));
    QPainter p(&sheet);
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);

    // Units: four facings, each in red, blue, green, yellow and grey (acted).
    const Tint none{0, 0, 0};
    const char* variants[] = {"P1", "P2", "P3", "P4", "acted"};
    int y = 20;
    for (int f = 0; f < 4; ++f)
        for (int v = 0; v < 5; ++v)
            label(p, 170 + (f * 5 + v) * cell, y - 6,
                  QString::fromLatin1(variants[v]) + (v == 0 ? QStringLiteral(" ") + facingSuffix(AllFacings[size_t(f)]) : QString()));
    p.end();
    for (const UnitSprites& u : units) {
        {
            QPainter lp(&sheet);
            lp.setFont(font);
            label(lp, 10, y + 30, QStringLiteral("%1 %2").arg(u.type).arg(u.name));
        }
        for (int f = 0; f < 4; ++f) {
            const bool turned = AllFacings[size_t(f)] == Facing::Up || AllFacings[size_t(f)] == Facing::Down;
            const Tint tints[] = {none, TintBlue, TintGreen, turned ? TintYellowTurned : TintYellow, TintActed};
            for (int v = 0; v < 5; ++v) {
                const QImage pic = tinted(u.images[size_t(f)], tints[v]);
                const int x = 170 + (f * 5 + v) * cell;
                // Half on floor, half on space, as the map shows them.
                const QImage ground = terrain.size() > 9 ? (v % 2 ? terrain[9] : terrain[0]) : QImage();
                QImage tileBg(SpriteWidth, SpriteHeight, QImage::Format_RGB32);
                tileBg.fill(QColor(v % 2 ? 8 : 86, v % 2 ? 10 : 94, v % 2 ? 20 : 108));
                if (!ground.isNull()) {
                    QPainter tp(&tileBg);
                    tp.drawImage(0, 2, ground);
                }
                drawMasked(tileBg, 0, 0, pic, maskOf(pic), SpriteWidth, TileSize);
                QPainter sp(&sheet);
                sp.drawImage(x, y, scaled(tileBg, unitScale));
            }
        }
        y += SpriteHeight * unitScale + 6;
    }
    y += 20;

    // Terrain as the editor's palette places it.
    struct Slot {
        int code, left, top;
    };
    const std::vector<Slot> palettePlaces = {
        {1, 16, 16}, {7, 48, 16}, {2, 80, 16}, {20, 120, 16}, {21, 152, 16}, {26, 192, 16}, {24, 224, 16}, {31, 304, 16}, {29, 376, 16},
        {5, 16, 48}, {0, 48, 48}, {6, 80, 48}, {19, 120, 48}, {22, 152, 48}, {27, 192, 48}, {25, 224, 48}, {33, 272, 48}, {23, 304, 48}, {32, 336, 48}, {28, 376, 48},
        {3, 16, 80}, {8, 48, 80}, {4, 80, 80}, {30, 304, 80},
        {9, 112, 104}, {42, 144, 104}, {43, 176, 104},
        {16, 16, 144}, {15, 48, 144}, {14, 80, 144}, {38, 136, 144}, {39, 168, 144}, {40, 200, 144}, {48, 232, 144}, {49, 264, 144}, {52, 312, 144}, {53, 344, 144},
        {17, 16, 176}, {18, 48, 176}, {13, 80, 176}, {41, 136, 176}, {37, 168, 176}, {44, 200, 176}, {50, 232, 176}, {51, 264, 176}, {54, 312, 176}, {55, 344, 176}, {58, 376, 176},
        {10, 16, 208}, {11, 48, 208}, {12, 80, 208}, {45, 136, 208}, {46, 168, 208}, {47, 200, 208}, {56, 312, 208}, {57, 344, 208}, {59, 376, 208},
        {65, 312, 240}, {66, 344, 240}, {67, 376, 240},
        {36, 16, 248}, {34, 48, 248}, {35, 80, 248}, {60, 112, 248},
        {68, 312, 272}, {69, 344, 272}, {70, 376, 272},
        {61, 16, 280}, {62, 48, 280},
        {63, 16, 312}, {64, 48, 312},
    };
    {
        QPainter tp(&sheet);
        tp.setFont(font);
        label(tp, 10, y, QStringLiteral("Terrain (the editor's palette, twice the size) and buildings"));
        QImage palette(426, 362, QImage::Format_RGB32);
        palette.fill(QColor(200, 200, 200));
        QPainter pp(&palette);
        for (const Slot& s : palettePlaces)
            if (s.code < int(terrain.size()))
                pp.drawImage(s.left, s.top, terrain[size_t(s.code)]);
        pp.end();
        tp.drawImage(10, y + 8, scaled(palette, 2));
        // Buildings: one row per owner, at three times their size.
        const std::vector<std::vector<int>> rows = {{0, 1, 9, 8}, {2, 4, 6, 10}, {3, 5, 7, 11}, {12, 13, 14, 15}, {16, 17, 18, 19}};
        const char* owners[] = {"neutral", "P1", "P2", "P3", "P4"};
        for (size_t r = 0; r < rows.size(); ++r) {
            label(tp, paletteW + 30, y + 30 + int(r) * 84, QString::fromLatin1(owners[r]));
            for (size_t i = 0; i < rows[r].size(); ++i)
                if (rows[r][i] < int(buildings.size()))
                    tp.drawImage(paletteW + 80 + int(i) * 80, y + 8 + int(r) * 84, scaled(buildings[size_t(rows[r][i])], 3));
        }
    }
    y += paletteH + 20;

    {
        QPainter mp(&sheet);
        mp.setFont(font);
        label(mp, 10, y + 10, QStringLiteral("Sample maps (twice the size)"));
        mp.drawImage(10, y + 16, scaled(mapSheet, 2));
    }
    y += mapSheet.height() * 2 + 40;

    // Window pictures on a grey ground, each picture drawn masked when it has a mask.
    {
        QPainter wp(&sheet);
        wp.setFont(font);
        label(wp, 10, y, QStringLiteral("Window pictures and the attack scene"));
        int x = 10, rowTop = y + 10, rowHeight = 0;
        for (const NamedPicture& np : windows) {
            const QImage& img = np.image;
            if (x + img.width() + 10 > width) {
                x = 10;
                rowTop += rowHeight + 24;
                rowHeight = 0;
            }
            wp.fillRect(x - 2, rowTop - 2, img.width() + 4, img.height() + 4, QColor(70, 74, 84));
            wp.drawImage(x, rowTop, img);
            label(wp, x, rowTop + img.height() + 13, np.name);
            x += img.width() + 16;
            rowHeight = std::max(rowHeight, img.height());
        }
        y = rowTop + rowHeight + 30;
        x = 10;
        for (const NamedPicture& np : scenes) {
            const QImage small = np.image.scaled(np.image.width() / 2, np.image.height() / 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            if (x + small.width() > width) {
                x = 10;
                y += small.height() + 24;
            }
            wp.drawImage(x, y, small);
            label(wp, x, y + small.height() + 13, np.name);
            x += small.width() + 10;
        }
        y += 470 / 2 + 40;
    }
    // The pictures together, as the battle window shows them.
    {
        QPainter bp(&sheet);
        bp.setFont(font);
        label(bp, 10, y, QStringLiteral("A battle screen and the attack scenes, at their real size"));
        bp.drawImage(10, y + 8, mockBattle(units, mapSheet, windows));
        bp.drawImage(820, y + 8, mockAttack(mapSheet, scenes, windows, 0));
        bp.drawImage(10, y + 520, mockAttack(mapSheet, scenes, windows, 1));
    }
    y += 1040;
    return sheet.copy(0, 0, width, y);
}

}  // namespace art
