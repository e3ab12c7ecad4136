#pragma once
// The look shared by the start and results windows: a dusk sky behind light text.

#include <QFont>

class QLineEdit;
class QPainter;
class QRect;
class QWidget;

// A control's object name is its member name, so the test driver finds it.
#define VF_NAMED(control) (control)->setObjectName(QStringLiteral(#control))

namespace windowlook {

// Paints the background over `rect`.
void paintBackground(QPainter& painter, const QRect& rect);
// Light captions on the dark background; edit boxes and buttons keep their own colours.
void useLightText(QWidget& window);
// A heading in the game's display face at `pixels` height.
QFont headingFont(int pixels);
// A password box: what is typed shows as "*", one per character.
void usePasswordStars(QLineEdit& box);

}  // namespace windowlook
