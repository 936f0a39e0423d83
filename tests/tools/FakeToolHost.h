#pragma once

// A window stand-in for driving tools with synthetic input, and a tool that
// records what the framework passes on to it.

#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "Veskview.h"
#include "io/Veskdocument.h"
#include "model/Colorstyle.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"
#include "shapes/Veskpart.h"

#include <QImage>
#include <memory>
#include <string>
#include <vector>

namespace vesk::test {

class FakeToolHost : public TVeskToolHost {
public:
    FakeToolHost(int width = 200, int height = 100)
        : view(width, height)
    {
        document.Reset();
        view.AttachDrawStyle(&style);
        style.backgroundColor = 0xFFFFFFFF;
        style.gridColor = 0xFFFF0000;
    }

    TVeskDocument& Document() override { return document; }
    void RootReplaced() override { log.push_back("root"); }
    TVeskView& View() override { return view; }
    TDrawStyle& DrawStyle() override { return style; }
    RectF WorkArea() const override { return workArea; }
    TVeskGridSettings& Grid() override { return grid; }
    TVeskEdit& Edit() override { return edit; }
    QImage& DrawingImage() override { return drawing; }
    QImage& ScreenImage() override { return screen; }
    void PresentImage(const QImage& image) override
    {
        presented.push_back(image.copy());
        if (onPresent)
            onPresent();
    }
    void ScheduleIdle() override { ++idleRequests; }
    void SetEventHandler(TVeskEventProc* h) override { handler = h; }
    void ToolButtonsChanged() override { ++buttonChanges; }
    void AddOptionButton(const QString& glyph, const QString& hint, std::function<void()>) override
    {
        log.push_back("add " + glyph.toStdString());
        buttons.push_back({ glyph, hint });
    }
    void ClearOptionButtons() override
    {
        log.push_back("clear");
        buttons.clear();
    }
    void SetCursor(TVeskCursor c) override { cursor = c; }
    void ShowPosition(PointF p) override { position = p; }
    void SetReferencePoint(PointF p) override { reference = p; }
    void ShowMessage(const QString& text) override { messages.push_back(text); }
    void RefreshStyle() override { log.push_back("style"); }
    TVeskSurface CurrentSurface() const override { return surface; }
    void ShowSurfacesOf(const std::vector<TVeskObject*>& objects) override
    {
        log.push_back("surfaces " + std::to_string(objects.size()));
    }
    bool AskText(TVeskTextRequest& request) override
    {
        asked.push_back(request);
        return answerText && answerText(request);
    }
    bool AskNumericMove(TVeskNumericMove& move) override
    {
        ++numericAsked;
        return onNumericMove && onNumericMove(move);
    }
    std::unique_ptr<TVeskObject> PickLibraryPart() override
    {
        ++libraryAsked;
        return pickPart ? pickPart() : nullptr;
    }
    std::unique_ptr<TVeskObject> NewPad() override { return pad ? pad->Clone() : nullptr; }

    TVeskDocument document;
    TVeskView view;
    TDrawStyle style;
    RectF workArea { -50, -25, 100, 50 };
    TVeskGridSettings grid;
    TVeskSurface surface { 2.0f, false, true, 4 };
    TVeskHistory history;
    TVeskEdit edit { document, history };
    QImage drawing;
    QImage screen;
    std::vector<QImage> presented;
    std::function<void()> onPresent;
    // Answers the numeric input dialog; unset, the dialog is cancelled.
    std::function<bool(TVeskNumericMove&)> onNumericMove;
    int numericAsked = 0;
    // The pad list's choice (none when null), and the library window's
    // answer (cancelled when unset) with how often it was shown.
    std::unique_ptr<TVeskObject> pad;
    std::function<std::unique_ptr<TVeskObject>()> pickPart;
    int libraryAsked = 0;
    int idleRequests = 0;
    int buttonChanges = 0;
    TVeskEventProc* handler = nullptr;
    std::vector<std::string> log;
    std::vector<std::pair<QString, QString>> buttons;
    TVeskCursor cursor = TVeskCursor::Default;
    // The text dialog: what it was shown, and how it answers (cancel when unset).
    std::vector<TVeskTextRequest> asked;
    std::function<bool(TVeskTextRequest&)> answerText;
    PointF position;
    PointF reference;
    std::vector<QString> messages;
};

// Logs every call the framework passes on, in a compact text form.
class RecordingTool : public TVeskEventProc {
public:
    static constexpr int IdleMode = 4;

    explicit RecordingTool(TVeskToolBar& bar, QString name = QStringLiteral("RecordingTool"))
        : TVeskEventProc(
            bar, std::move(name), QStringLiteral("Bitmap\\Arrow00.bmp"), QStringLiteral("hint"), IdleMode)
    {
    }

    void UndoClick() override
    {
        calls.push_back("undo");
        TVeskEventProc::UndoClick();
    }
    void RedoClick() override
    {
        calls.push_back("redo");
        TVeskEventProc::RedoClick();
    }
    void FinishClick() override { calls.push_back("finish"); }
    void RenderDocument() override
    {
        calls.push_back("render");
        TVeskEventProc::RenderDocument();
    }
    void RenderOverlay() override
    {
        calls.push_back("overlay");
        TVeskEventProc::RenderOverlay();
    }
    void Present() override
    {
        calls.push_back("present");
        TVeskEventProc::Present();
    }

    // Own option buttons, added before the framework's three.
    std::vector<std::pair<QString, std::function<void()>>> ownButtons;

    std::vector<std::string> calls;
    std::vector<std::uint32_t> shifts;
    std::vector<PointF> points;

    using TVeskEventProc::PushMode;
    using TVeskEventProc::SetTopMode;

protected:
    void MouseDown(std::uint32_t shift, PointF p) override { mouse("down", shift, p); }
    void MouseMove(std::uint32_t shift, PointF p) override { mouse("move", shift, p); }
    void MouseUp(std::uint32_t shift, PointF p) override { mouse("up", shift, p); }
    void KeyDown(int vk) override { calls.push_back("keydown " + std::to_string(vk)); }
    void KeyUp(int vk) override { calls.push_back("keyup " + std::to_string(vk)); }
    void AddOwnOptionButtons() override
    {
        for (auto& [glyph, click] : ownButtons)
            ToolBar().AddOptionButton(glyph, QStringLiteral("own"), click);
    }

private:
    void mouse(const char* what, std::uint32_t shift, PointF p)
    {
        calls.push_back(what);
        shifts.push_back(shift);
        points.push_back(p);
    }
};

// A host with an empty tool bar holding one recording tool, active.
struct ActiveTool {
    explicit ActiveTool(int width = 200, int height = 100)
        : host(width, height)
        , bar(host, TVeskToolBar::Empty {})
    {
        tool = static_cast<RecordingTool*>(bar.AddTool(std::make_unique<RecordingTool>(bar)));
        bar.ResetToFirstTool();
        host.edit.Reset(30);
    }

    FakeToolHost host;
    TVeskToolBar bar;
    RecordingTool* tool = nullptr;
};

} // namespace vesk::test
