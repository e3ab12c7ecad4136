#pragma once
// The map editor: its two windows over the map being edited. Made on first
// use and kept for the whole run; closing it only hides its windows, so the
// settings wait for the next opening and the shared pictures are untouched.

#include "editor/frmEditor.h"
#include "editor/frmOptions.h"

#include <QObject>

class EditorCanvasWindow;
class OptionsWindow;
class PictureStore;

class MapEditor : public QObject {
    Q_OBJECT

public:
    explicit MapEditor(const PictureStore& pictures, QObject* parent = nullptr);
    ~MapEditor() override;

    // Opens the editor on an empty 25 x 16 map, with both windows in front;
    // an editor already open keeps its map, and so does one whose unsaved
    // changes the user does not want to lose.
    void open();
    // Hides both windows. Closing either window by hand asks first when the
    // map has unsaved changes.
    void close();
    bool isOpen() const;

    frmEditor& editor() { return editor_; }
    frmOptions& options() { return options_; }
    EditorCanvasWindow& canvasWindow() { return *canvasWindow_; }
    OptionsWindow& toolWindow() { return *toolWindow_; }

Q_SIGNALS:
    // "E&xit" was confirmed: the program ends.
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmEditor editor_;
    frmOptions options_;
    EditorCanvasWindow* canvasWindow_;
    OptionsWindow* toolWindow_;
};
