#pragma once

#include <QScrollArea>
#include <functional>
#include <optional>
#include <vector>

class QToolButton;

namespace vesk {

class GlyphLibrary;
class TVeskToolBar;

// The vertical strip at the left of the main window that shows the tool bar:
// one flat 30 x 30 button per tool (glyph, hint, enabled and down state taken
// from the tool) and below them the option buttons of the current tool. It
// scrolls when the window is too short for all buttons, and widens by the
// scroll bar's width while the bar shows. The buttons never take the
// keyboard focus, so Space keeps reaching the tools. Its position is that of
// the buttons inside the strip: Top is 0, or negative once scrolled down.
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

    // The buttons' position as the settings file keeps it ("ToolWindow"):
    // a Top that is not 0 scrolls the strip as far as it can go towards it.
    void SetPosition(int top, int left);
    QPoint Position() const;

    const std::vector<QToolButton*>& ToolButtons() const { return toolButtons_; }
    const std::vector<QToolButton*>& OptionButtons() const { return optionButtons_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QToolButton* makeButton(const QString& glyphName, const QString& hint, int index);
    void fitContents();
    void fitWidth();
    void applyPendingPosition();

    TVeskToolBar& toolBar_;
    GlyphLibrary& glyphs_;
    QWidget* contents_;
    std::vector<QToolButton*> toolButtons_;
    std::vector<QToolButton*> optionButtons_;
    std::optional<int> pendingTop_;
};

} // namespace vesk
