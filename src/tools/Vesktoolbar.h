#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace vesk {

class TVeskEventProc;
class TVeskRenderer;
class TVeskToolHost;

// One row of the tool table: the tool's name, glyph, hint and idle mode.
struct TVeskToolInfo {
    const char* name;
    const char* glyph;
    const char* hint;
    std::int32_t idleMode;
    // The name of the history step the tool's drawing makes ("長方形").
    const char* step;
};

// An option button the current tool added: glyph, hint, what a click does,
// and its place in the strip.
struct TVeskOptionButton {
    QString glyphName;
    QString hint;
    std::function<void()> onClick;
    int top = 0;
};

// The vertical strip of tool buttons beside the drawing, as a model: it owns
// the nine tools (select, point, Bezier, polyline, ellipse, rectangle, text,
// pad, library, top to bottom), knows the current one, switches between them,
// and keeps the option buttons the current tool shows below the tool buttons.
// The editor makes the widgets: one button per tool (glyph, hint, enabled and
// down state from the tool, a click calling ToolClick) and one per option
// button the host is asked to add.
class TVeskToolBar {
public:
    static constexpr int ButtonSize = 30;
    static constexpr int Width = 33;

    // The nine tools in button order.
    static std::span<const TVeskToolInfo> StandardTools();

    // Creates the nine tools, all disabled and up; CurrentTool() names the
    // first one, which is not active until ResetToFirstTool. Calls nothing on
    // the host, so a window may create its tool bar while it is being built.
    explicit TVeskToolBar(TVeskToolHost& host);
    // An empty bar, for tests that add tools of their own.
    struct Empty { };
    TVeskToolBar(TVeskToolHost& host, Empty);
    ~TVeskToolBar();
    TVeskToolBar(const TVeskToolBar&) = delete;
    TVeskToolBar& operator=(const TVeskToolBar&) = delete;

    TVeskToolHost& Host() const { return host_; }
    // The renderer every tool paints the window's images with.
    TVeskRenderer& Renderer() const { return *renderer_; }

    // Appends a tool below the others, disabled and up; returns it.
    TVeskEventProc* AddTool(std::unique_ptr<TVeskEventProc> tool);
    int ToolCount() const { return int(tools_.size()); }
    TVeskEventProc* Tool(int index) const;
    int IndexOf(const TVeskEventProc* tool) const;
    static int ToolTop(int index) { return index * ButtonSize; }

    // The active tool, or null after DeactivateAllTools.
    TVeskEventProc* CurrentTool() const { return currentTool_; }

    // Tool button click: deselects everything, deactivates every tool,
    // activates this one and requests a redraw. Ignores a tool that is not ours.
    void ToolClick(TVeskEventProc* tool);
    void ToolClick(int index) { ToolClick(Tool(index)); }
    // ToolClick on the first tool with that name; false (and no change) when none has it.
    bool SelectToolByName(const QString& name);
    // Every tool deactivated and enabled, the first one active. Deselects
    // nothing and requests no redraw: the callers do.
    void ResetToFirstTool();
    // Every tool deactivated and enabled; no current tool. Call before the
    // document is replaced.
    void DeactivateAllTools();

    // Adds an option button below the last one (or the last tool button);
    // returns its index.
    int AddOptionButton(const QString& glyphName, const QString& hint, std::function<void()> onClick);
    void ClearOptionButtons();
    const std::vector<TVeskOptionButton>& OptionButtons() const { return optionButtons_; }
    // Runs an option button's click; safe when the click removes the buttons.
    void ClickOptionButton(int index);

private:
    void deactivateAll();
    void switchTo(TVeskEventProc* tool, bool deselect);

    TVeskToolHost& host_;
    std::unique_ptr<TVeskRenderer> renderer_;
    TVeskEventProc* currentTool_ = nullptr;
    std::vector<std::unique_ptr<TVeskEventProc>> tools_;
    std::vector<TVeskOptionButton> optionButtons_;
};

} // namespace vesk
