#pragma once

// A 1920 x 1080 window without widgets for driving the real tools on the
// benchmark board: it keeps the images the tools paint and shows nothing.

#include "BenchBoard.h"
#include "Vesktoolhost.h"
#include "Veskview.h"
#include "io/Veskdocument.h"
#include "model/Colorstyle.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"
#include "shapes/Veskpart.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace vesk {

class BenchToolHost : public TVeskToolHost {
public:
    static constexpr int kWidth = 1920;
    static constexpr int kHeight = 1080;

    BenchToolHost()
        : view(kWidth, kHeight)
    {
        LoadBenchBoard(document);
        view.AttachDrawStyle(&style);
        edit.Reset(30);
    }

    TVeskDocument& Document() override { return document; }
    TVeskView& View() override { return view; }
    TDrawStyle& DrawStyle() override { return style; }
    RectF WorkArea() const override { return { 0, 0, 1000, 750 }; }
    TVeskGridSettings& Grid() override { return grid; }
    TVeskEdit& Edit() override { return edit; }
    QImage& DrawingImage() override { return drawing; }
    QImage& ScreenImage() override { return screen; }
    void PresentImage(const QImage& image) override { benchmark::DoNotOptimize(image.constBits()); }
    void ScheduleIdle() override { }
    void SetEventHandler(TVeskEventProc*) override { }
    void AddOptionButton(const QString&, const QString&, std::function<void()>) override { }
    void ClearOptionButtons() override { }
    void SetCursor(TVeskCursor) override { }
    void ShowPosition(PointF) override { }
    void SetReferencePoint(PointF) override { }
    void ShowMessage(const QString&) override { }
    bool AskText(TVeskTextRequest&) override { return false; }
    std::unique_ptr<TVeskObject> PickLibraryPart() override { return nullptr; }
    std::unique_ptr<TVeskObject> NewPad() override { return nullptr; }

    TVeskDocument document;
    TVeskView view;
    TDrawStyle style;
    TVeskGridSettings grid;
    TVeskHistory history; // after the document: its states go first
    TVeskEdit edit { document, history };
    QImage drawing;
    QImage screen;
};

} // namespace vesk
