#include "Vesktoolbar.h"

#include "Veskellipseproc.h"
#include "Veskeventproc.h"
#include "Veskinertproc.h"
#include "Vesklibproc.h"
#include "Veskpadproc.h"
#include "Veskpathproc.h"
#include "Veskpointproc.h"
#include "Veskrectproc.h"
#include "Veskstringproc.h"
#include "Veskselectproc.h"
#include "Vesktoolhost.h"
#include "io/Veskdocument.h"
#include "render/Veskrenderer.h"
#include "shapes/Veskpart.h"

#include <array>

namespace vesk {

namespace {

constexpr std::array<TVeskToolInfo, 9> standardTools { {
    { "SelectTool", "Bitmap\\Arrow00.bmp", "オブジェクトを選択します", ModeSelectIdle, "移動" },
    { "PointTool", "Bitmap\\Arrow01.bmp", "ポイントを選択します", ModePointIdle, "点の編集" },
    { "BezierTool", "Bitmap\\Line.bmp", "ベジェ曲線を作成します", ModePathIdle, "ベジェ曲線" },
    { "PolylineTool", "Bitmap\\Poly.bmp", "ポリラインを作成します", ModePolyIdle, "ポリライン" },
    { "EllipseTool", "Bitmap\\Ellipse.bmp", "楕円を作成します", ModeEllipseIdle, "楕円" },
    { "RectangleTool", "Bitmap\\Rect.bmp", "長方形を作成します", ModeRectIdle, "長方形" },
    { "TextTool", "Bitmap\\Text.bmp", "文字列を入力します", ModeTextIdle, "文字列" },
    { "PadTool", "Bitmap\\Pad.bmp", "パッドを作成します", ModePadIdle, "パッドの配置" },
    { "LibraryTool", "Bitmap\\Lib.bmp", "ライブラリ", ModeLibIdle, "部品の配置" },
} };

// The tool of one row of the table. Rows whose tool is not built yet get an
// inert one with the row's name, glyph, hint and idle mode.
std::unique_ptr<TVeskEventProc> createStandardTool(TVeskToolBar& bar, const TVeskToolInfo& info)
{
    switch (info.idleMode) {
    case ModeSelectIdle:
        return std::make_unique<TVeskSelectProc>(bar);
    case ModePointIdle:
        return std::make_unique<TVeskPointProc>(bar, info);
    case ModeRectIdle:
        return std::make_unique<TVeskRectProc>(bar, info);
    case ModeEllipseIdle:
        return std::make_unique<TVeskEllipseProc>(bar, info);
    case ModePathIdle:
        return std::make_unique<TVeskPathProc>(bar, info);
    case ModePolyIdle:
        return std::make_unique<TVeskPolyProc>(bar, info);
    case ModeTextIdle:
        return std::make_unique<TVeskStringProc>(bar, info);
    case ModePadIdle:
        return std::make_unique<TVeskPadProc>(bar, info);
    case ModeLibIdle:
        return std::make_unique<TVeskLibProc>(bar, info);
    default:
        return std::make_unique<TVeskInertProc>(bar, info);
    }
}

} // namespace

std::span<const TVeskToolInfo> TVeskToolBar::StandardTools()
{
    return standardTools;
}

TVeskToolBar::TVeskToolBar(TVeskToolHost& host)
    : host_(host)
    , renderer_(std::make_unique<TVeskRenderer>())
{
    for (const TVeskToolInfo& info : standardTools)
        AddTool(createStandardTool(*this, info));
    currentTool_ = tools_.front().get();
}

TVeskToolBar::TVeskToolBar(TVeskToolHost& host, Empty)
    : host_(host)
    , renderer_(std::make_unique<TVeskRenderer>())
{
}

TVeskToolBar::~TVeskToolBar() = default;

TVeskEventProc* TVeskToolBar::AddTool(std::unique_ptr<TVeskEventProc> tool)
{
    if (!tool)
        return nullptr;
    tools_.push_back(std::move(tool));
    TVeskEventProc* added = tools_.back().get();
    added->SetButtonState(false, false);
    return added;
}

TVeskEventProc* TVeskToolBar::Tool(int index) const
{
    return index >= 0 && index < ToolCount() ? tools_[std::size_t(index)].get() : nullptr;
}

int TVeskToolBar::IndexOf(const TVeskEventProc* tool) const
{
    for (int i = 0; i < ToolCount(); ++i)
        if (tools_[std::size_t(i)].get() == tool)
            return i;
    return -1;
}

void TVeskToolBar::deactivateAll()
{
    for (auto& tool : tools_) {
        tool->Deactivate();
        tool->SetButtonState(true, false);
    }
}

void TVeskToolBar::switchTo(TVeskEventProc* tool, bool deselect)
{
    if (deselect)
        host_.Document().Root().SetSelected(false);
    deactivateAll();
    tool->Activate();
    tool->SetButtonState(true, true);
    currentTool_ = tool;
}

void TVeskToolBar::ToolClick(TVeskEventProc* tool)
{
    if (!tool || IndexOf(tool) < 0)
        return;
    switchTo(tool, true);
    tool->RequestRedraw();
}

bool TVeskToolBar::SelectToolByName(const QString& name)
{
    for (auto& tool : tools_) {
        if (tool->GetToolName() == name) {
            ToolClick(tool.get());
            return true;
        }
    }
    return false;
}

void TVeskToolBar::ResetToFirstTool()
{
    if (tools_.empty()) {
        currentTool_ = nullptr;
        return;
    }
    switchTo(tools_.front().get(), false);
}

void TVeskToolBar::DeactivateAllTools()
{
    deactivateAll();
    currentTool_ = nullptr;
}

int TVeskToolBar::AddOptionButton(
    const QString& glyphName, const QString& hint, std::function<void()> onClick)
{
    TVeskOptionButton button { glyphName, hint, onClick, 0 };
    button.top = (ToolCount() + int(optionButtons_.size())) * ButtonSize;
    optionButtons_.push_back(std::move(button));
    host_.AddOptionButton(glyphName, hint, std::move(onClick));
    return int(optionButtons_.size()) - 1;
}

void TVeskToolBar::ClearOptionButtons()
{
    optionButtons_.clear();
    host_.ClearOptionButtons();
}

void TVeskToolBar::ClickOptionButton(int index)
{
    if (index < 0 || index >= int(optionButtons_.size()))
        return;
    // A copy: the click may clear the buttons, and with them this function.
    const std::function<void()> onClick = optionButtons_[std::size_t(index)].onClick;
    if (onClick)
        onClick();
}

} // namespace vesk
