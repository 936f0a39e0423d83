#pragma once

#include <QScrollArea>
#include <functional>
#include <vector>

class QToolButton;

namespace vesk {

class GlyphLibrary;
class TVeskToolBar;

// The vertical strip at the left of the main window that shows the tool bar:
// one flat 30 x 30 button per tool (glyph, hint, enabled and down state taken
// from the tool) and below them the option buttons of the current tool. It
// scrolls when the window is too short for all buttons. The buttons never
// take the keyboard focus, so Space keeps reaching the tools.
class TToolStrip : public QScrollArea {
    Q_OBJECT
public:
    TToolStrip(TVeskToolBar& toolBar, GlyphLibrary& glyphs, QWidget* parent = nullptr);

    // Creates the tool buttons; call once the tool bar has its tools.
    void BuildToolButtons();
    // Enabled and down state of every tool button from its tool.
    void SyncToolButtons();

    void AddOptionButton(const QString& glyphName, const QString& hint, std::function<void()> onClick);
    void ClearOptionButtons();

    const std::vector<QToolButton*>& ToolButtons() const { return toolButtons_; }
    const std::vector<QToolButton*>& OptionButtons() const { return optionButtons_; }

private:
    QToolButton* makeButton(const QString& glyphName, const QString& hint, int index);
    void fitContents();

    TVeskToolBar& toolBar_;
    GlyphLibrary& glyphs_;
    QWidget* contents_;
    std::vector<QToolButton*> toolButtons_;
    std::vector<QToolButton*> optionButtons_;
};

} // namespace vesk
