#pragma once

#include "model/Vesksurface.h"

#include <QWidget>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QToolButton;

namespace vesk {

class GlyphLibrary;
class TEditorContext;
class TVeskObject;

// The object editor's "スタイル" page: the outline style (width, bevel or
// round joins, fill, cut-out) of the objects the active tool has listed, and
// the current surface that new objects receive. With several objects listed,
// an attribute they disagree on shows as undecided (both join buttons up, an
// empty width, a grayed check box) and is left alone until the user sets it.
// Each change to listed objects rebuilds their outlines and is one history
// step. Widths are shown and typed in millimetres, ten document units each.
class TSurfaceTab : public QWidget {
    Q_OBJECT
public:
    TSurfaceTab(TEditorContext& context, GlyphLibrary& glyphs, QWidget* parent = nullptr);
    ~TSurfaceTab() override;

    // What tools give the objects they create; width 7.5 with round joins at
    // first, then the width last chosen, kept in the settings file across runs.
    const TVeskSurface& CurrentSurface() const { return currentSurface; }
    // With exactly one surface listed, it becomes the current one; the list
    // is emptied and the controls show the current surface.
    void RefreshStyle();
    void ShowSurfacesOf(const std::vector<TVeskObject*>& objects);
    void ShowSurfaceOf(TVeskObject* object);
    // The listed objects are gone (another document, an undo): forget them
    // without taking anything from them.
    void ForgetListed();
    int ListedCount() const { return int(listed_.size()); }
    // The page's title and hint: whether it edits listed objects or the
    // style of new ones, which otherwise look alike.
    QString Caption() const;
    QString CaptionHint() const;
    // The width presets from the settings file; the controls show the style again.
    void Refresh();

    QToolButton* bevelButton = nullptr;
    QToolButton* roundButton = nullptr;
    QLineEdit* widthEdit = nullptr;
    QListWidget* widthList = nullptr;
    QCheckBox* cutOutCheck = nullptr;
    QCheckBox* fillCheck = nullptr;

Q_SIGNALS:
    void captionChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Listed {
        TVeskObject* object;
        TVeskSurface* surface;
    };

    void loadControls();
    void showJoin(bool decided, int join);
    void BevelButtonClick();
    void RoundButtonClick();
    void setJoin(int joinAndCap);
    void WidthEditChange();
    void WidthListClick();
    void CutOutCheckClick();
    void FillCheckClick();
    // A check box click: the current surface takes the ticked state, and so
    // do the listed surfaces the picks choose unless the box is grayed.
    template <class Picks>
    void checkClick(const QCheckBox& box, void (TVeskSurface::*set)(bool), const Picks& picks);
    // Applies the change to the current surface and to the listed surfaces
    // it picks; one history step when any listed surface changed.
    template <class Change, class Picks> void edit(const Change& change, const Picks& picks);

    TEditorContext& context_;
    QButtonGroup* joinButtons_ = nullptr;
    TVeskSurface currentSurface;
    // The width of new objects at the start of the run; another is stored at its end.
    float startWidth_ = 0;
    std::vector<Listed> listed_;
    bool updating = false;
};

} // namespace vesk
