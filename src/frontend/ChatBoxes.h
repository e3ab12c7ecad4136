#pragma once
// Keeping the newest chat line in view after text was appended.

class QPlainTextEdit;
class QTextEdit;

namespace modStrat {

// The lobby's coloured chat log.
void ScrollRichTextToEnd(QTextEdit& box);
// The game rooms' plain chat boxes.
void ScrollTextBoxToEnd(QPlainTextEdit& box);

}  // namespace modStrat
