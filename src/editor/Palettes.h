#pragma once
// Where the tool window's palettes put their pictures, in pixels within their
// page; and a widget that shows such a palette and reports picks.

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <vector>

struct PalettePlace {
    int code = 0;      // terrain code, building type or unit type
    QPoint at;         // top-left within the page
};

namespace palettes {

inline constexpr int PictureSize = 25;

// All 71 terrain pictures, placed so that pieces that join stand together.
const std::vector<PalettePlace>& tiles();
// The four building pictures of an owner (0 neutral, 1..4).
std::vector<PalettePlace> buildings(int owner);
// Unit types 1..15 in two rows, and element 0 of the sprite arrays apart.
const std::vector<PalettePlace>& units();
// Element 0 of the unit sprite arrays: the template the sprites are made from,
// a sprite of no unit, all background.
const QImage& unitTemplate();

// Top of the row of owner options on the unit and building pages.
inline constexpr int OwnerRowTop = 224;
// Left edges of the owner options: buildings Neutral, Player 1..4; units Player 1..4, Neutral.
inline constexpr int BuildingOwnerLeft[5] = {16, 80, 144, 216, 288};
inline constexpr int UnitOwnerLeft[5] = {8, 72, 136, 200, 280};

}  // namespace palettes

// A page's pictures at their places; a click on one reports its code, a click
// anywhere else reports the background.
class PaletteView : public QWidget {
    Q_OBJECT

public:
    struct Item {
        PalettePlace place;
        QImage picture;
    };

    explicit PaletteView(QWidget* parent = nullptr);
    void setItems(std::vector<Item> items);
    const std::vector<Item>& items() const { return items_; }
    // Centre of the picture of `code`; a point off the palette when it is not shown.
    QPoint centreOf(int code) const;

Q_SIGNALS:
    void picked(int code);
    void backgroundClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<Item> items_;
};
