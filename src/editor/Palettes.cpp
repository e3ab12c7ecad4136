#include "editor/Palettes.h"

#include "data/GameTypes.h"
#include "screen/PictureStore.h"

#include <QMouseEvent>
#include <QPainter>

namespace palettes {

namespace {

// One row of the tile palette: its top and each code with its left edge.
struct TileRow {
    int top;
    std::vector<std::pair<int, int>> codes;
};

const TileRow TileRows[] = {
    {16, {{1, 16}, {7, 48}, {2, 80}, {20, 120}, {21, 152}, {26, 192}, {24, 224}, {31, 304}, {29, 376}}},
    {48,
     {{5, 16}, {0, 48}, {6, 80}, {19, 120}, {22, 152}, {27, 192}, {25, 224}, {33, 272}, {23, 304}, {32, 336},
      {28, 376}}},
    {80, {{3, 16}, {8, 48}, {4, 80}, {30, 304}}},
    {104, {{9, 112}, {42, 144}, {43, 176}}},
    {144,
     {{16, 16}, {15, 48}, {14, 80}, {38, 136}, {39, 168}, {40, 200}, {48, 232}, {49, 264}, {52, 312}, {53, 344}}},
    {176,
     {{17, 16}, {18, 48}, {13, 80}, {41, 136}, {37, 168}, {44, 200}, {50, 232}, {51, 264}, {54, 312}, {55, 344},
      {58, 376}}},
    {208, {{10, 16}, {11, 48}, {12, 80}, {45, 136}, {46, 168}, {47, 200}, {56, 312}, {57, 344}, {59, 376}}},
    {240, {{65, 312}, {66, 344}, {67, 376}}},
    {248, {{36, 16}, {34, 48}, {35, 80}, {60, 112}}},
    {272, {{68, 312}, {69, 344}, {70, 376}}},
    {280, {{61, 16}, {62, 48}}},
    {312, {{63, 16}, {64, 48}}},
};

// Player rows: headquarters, city, factory, airport.
constexpr int PlayerRowTop = 24;
constexpr int PlayerRowStep = 32;
constexpr int PlayerColumnLeft[4] = {48, 80, 112, 144};

constexpr int UnitRowTop[2] = {24, 56};
constexpr int UnitLeft = 8;
constexpr int UnitStep = 32;
constexpr int UnitsInFirstRow = 8;
constexpr QPoint UnitTemplateAt{400, 200};

}  // namespace

const std::vector<PalettePlace>& tiles()
{
    static const std::vector<PalettePlace> places = [] {
        std::vector<PalettePlace> all;
        for (const TileRow& row : TileRows) {
            for (const auto& [code, left] : row.codes)
                all.push_back({code, {left, row.top}});
        }
        return all;
    }();
    return places;
}

std::vector<PalettePlace> buildings(int owner)
{
    if (owner == 0) {
        return {{BuildingType::NeutralCity, {80, 152}},
                {BuildingType::NeutralFactory, {112, 152}},
                {BuildingType::NeutralAirport, {144, 152}},
                {BuildingType::NeutralPlain, {16, 176}}};
    }
    if (owner < 1 || owner > 4)
        return {};
    const int top = PlayerRowTop + PlayerRowStep * (owner - 1);
    const int codes[4] = {BuildingType::Headquarters[owner], BuildingType::City[owner], BuildingType::Factory[owner],
                          BuildingType::Airport[owner]};
    std::vector<PalettePlace> row;
    for (int i = 0; i < 4; ++i)
        row.push_back({codes[i], {PlayerColumnLeft[i], top}});
    return row;
}

const std::vector<PalettePlace>& units()
{
    static const std::vector<PalettePlace> places = [] {
        std::vector<PalettePlace> all;
        for (int type = UnitType::First; type <= UnitType::Last; ++type) {
            const int row = type <= UnitsInFirstRow ? 0 : 1;
            const int column = row == 0 ? type - 1 : type - UnitsInFirstRow - 1;
            all.push_back({type, {UnitLeft + UnitStep * column, UnitRowTop[row]}});
        }
        all.push_back({0, UnitTemplateAt});
        return all;
    }();
    return places;
}

const QImage& unitTemplate()
{
    static const QImage picture = [] {
        QImage blank(PictureStore::SpriteWidth, PictureStore::SpriteHeight, QImage::Format_RGB32);
        blank.fill(Qt::black);
        return blank;
    }();
    return picture;
}

}  // namespace palettes

namespace {

QRect rectOf(const PaletteView::Item& item)
{
    const QSize size = item.picture.isNull() ? QSize(palettes::PictureSize, palettes::PictureSize)
                                             : item.picture.size();
    return {item.place.at, size};
}

}  // namespace

PaletteView::PaletteView(QWidget* parent) : QWidget(parent) {}

void PaletteView::setItems(std::vector<Item> items)
{
    items_ = std::move(items);
    update();
}

QPoint PaletteView::centreOf(int code) const
{
    for (const Item& item : items_) {
        if (item.place.code == code)
            return rectOf(item).center();
    }
    return {-1, -1};
}

void PaletteView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (const Item& item : items_) {
        if (!item.picture.isNull())
            painter.drawImage(item.place.at, item.picture);
    }
}

void PaletteView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    for (const Item& item : items_) {
        if (rectOf(item).contains(event->position().toPoint())) {
            emit picked(item.place.code);
            return;
        }
    }
    emit backgroundClicked();
}
