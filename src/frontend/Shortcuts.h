#pragma once
// Alt and a button's underlined letter press the button. While the button is
// disabled the keys do nothing, rather than type the letter into the text box
// that has the focus.

class QWidget;

namespace shortcuts {

// For the text boxes the window holds now.
void muteDisabledMnemonics(QWidget& window);

}  // namespace shortcuts
