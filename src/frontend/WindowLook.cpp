#include "frontend/WindowLook.h"

#include "platform/Surface.h"

#include <QApplication>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QProxyStyle>
#include <QWidget>

namespace windowlook {

namespace {

// The application's style, except that hidden text shows as stars.
class PasswordStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

}  // namespace

void paintBackground(QPainter& painter, const QRect& rect)
{
    QLinearGradient sky(rect.topLeft(), rect.bottomLeft());
    sky.setColorAt(0.0, QColor(8, 10, 32));
    sky.setColorAt(0.65, QColor(34, 30, 72));
    sky.setColorAt(1.0, QColor(96, 52, 60));
    painter.fillRect(rect, sky);
    // A few fixed stars: the same sky at every showing.
    painter.setPen(QColor(200, 205, 230));
    for (int i = 0; i < 60; ++i) {
        const int x = rect.left() + (i * 977 + 131) % qMax(1, rect.width());
        const int y = rect.top() + (i * 389 + 57) % qMax(1, rect.height() * 3 / 5);
        painter.drawPoint(x, y);
    }
}

void useLightText(QWidget& window)
{
    QPalette palette = window.palette();
    palette.setColor(QPalette::WindowText, QColor(236, 232, 220));
    window.setPalette(palette);
}

QFont headingFont(int pixels)
{
    QFont font = platform::resolveFont({QStringLiteral("Impact"), 8, true});
    font.setPixelSize(pixels);
    return font;
}

void usePasswordStars(QLineEdit& box)
{
    // One style serves every password box until the application ends.
    static QPointer<PasswordStyle> style;
    if (!style) {
        style = new PasswordStyle;
        style->setParent(qApp);
    }
    box.setEchoMode(QLineEdit::Password);
    box.setStyle(style);
}

}  // namespace windowlook
