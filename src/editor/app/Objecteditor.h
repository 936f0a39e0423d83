#pragma once

#include <QWidget>
#include <memory>

class QTabWidget;

namespace vesk {

class GlyphLibrary;
class TEditorContext;
class TObjectListTab;
class TStatusTab;
class TSurfaceTab;

// The small floating window "ObjectEditor", always on top, with the style
// page (the surface of the listed objects and of new ones), the pad list
// and the grid page. It keeps its placement in the "ObjectEditor" section of the
// settings file: read when created, written when destroyed.
class TObjectEditor : public QWidget {
    Q_OBJECT
public:
    TObjectEditor(TEditorContext& context, QWidget* parent = nullptr);
    ~TObjectEditor() override;

    TSurfaceTab& SurfaceTab() { return *surfaceTab_; }
    TObjectListTab& ObjectListTab() { return *objectListTab_; }
    TStatusTab& StatusTab() { return *statusTab_; }
    QTabWidget& PageControl() { return *pageControl_; }

    // After start-up, new and open: the pages read their presets again and
    // the pad list its folder.
    void RefreshObjectEditor();

private:
    TEditorContext& context_;
    std::unique_ptr<GlyphLibrary> glyphs_;
    QTabWidget* pageControl_ = nullptr;
    TSurfaceTab* surfaceTab_ = nullptr;
    TObjectListTab* objectListTab_ = nullptr;
    TStatusTab* statusTab_ = nullptr;
};

} // namespace vesk
