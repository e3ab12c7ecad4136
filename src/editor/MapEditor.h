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
    // an editor already open keeps its map.
    void open();
    // Hides both windows.
    void close();
    bool isOpen() const;

    frmEditor& editor() { return editor_; }
    frmOptions& options() { return options_; }
    EditorCanvasWindow& canvasWindow() { return *canvasWindow_; }
    OptionsWindow& toolWindow() { return *toolWindow_; }

Q_SIGNALS:
    // "E&xit" was confirmed: the program ends.
    void exitRequested();

private:
    frmEditor editor_;
    frmOptions options_;
    EditorCanvasWindow* canvasWindow_;
    OptionsWindow* toolWindow_;
};
