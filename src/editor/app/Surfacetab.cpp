#include "Surfacetab.h"

#include "Editorcontext.h"
#include "Glyphlibrary.h"
#include "Numberinput.h"
#include "Settingsfile.h"
#include "Settingskeys.h"
#include "Veskeventproc.h"
#include "io/Veskdocument.h"
#include "model/Veskedit.h"
#include "model/Veskobject.h"
#include "shapes/Veskpart.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QResizeEvent>
#include <QToolButton>

namespace vesk {

namespace {
constexpr int kBevel = 1;
constexpr int kRound = 2;
// Widths are taken from 0 up to, not including, 300 mm.
constexpr double kWidthLimit = 3000.0;
const QString kWidthRefused = QStringLiteral("0 以上 300 未満の数値を入れてください");
// Millimetres; the preset keys Width0, Width1, ... share the section.
const QString kNewWidthKey = QStringLiteral("NewObjectWidth");

QToolButton* joinButton(QWidget* parent, GlyphLibrary& glyphs, const char* glyph, const QString& hint, int x)
{
    auto* button = new QToolButton(parent);
    button->setGeometry(x, 4, 30, 30);
    button->setAutoRaise(true);
    button->setCheckable(true);
    button->setIcon(glyphs.Icon(QString::fromLatin1(glyph)));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(hint);
    return button;
}

// Whether every listed surface gives the same value.
template <class Get, class Listed> bool allEqual(const std::vector<Listed>& listed, const Get& get)
{
    for (const Listed& l : listed)
        if (!(get(*l.surface) == get(*listed.front().surface)))
            return false;
    return true;
}

void showCheck(QCheckBox& box, bool decided, bool value)
{
    box.setTristate(!decided);
    box.setCheckState(!decided ? Qt::PartiallyChecked : value ? Qt::Checked : Qt::Unchecked);
}
} // namespace

TSurfaceTab::TSurfaceTab(TEditorContext& context, GlyphLibrary& glyphs, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , currentSurface(7.5f, false, false, 4)
{
    bevelButton = joinButton(this, glyphs, "Bitmap\\Bevel.bmp", QStringLiteral("べベル結合なのです"), 72);
    roundButton = joinButton(this, glyphs, "Bitmap\\Round.bmp", QStringLiteral("まぁるぃ結合なのです"), 102);
    joinButtons_ = new QButtonGroup(this);
    joinButtons_->addButton(bevelButton);
    joinButtons_->addButton(roundButton);
    widthEdit = new QLineEdit(this);
    widthEdit->setGeometry(4, 4, 60, 20);
    widthList = new QListWidget(this);
    widthList->setGeometry(4, 28, 60, 113);
    cutOutCheck = new QCheckBox(QStringLiteral("切りぬく"), this);
    cutOutCheck->setGeometry(72, 108, 110, 17);
    fillCheck = new QCheckBox(QStringLiteral("ぬりつぶす"), this);
    fillCheck->setGeometry(72, 124, 110, 17);

    connect(bevelButton, &QToolButton::clicked, this, [this] { BevelButtonClick(); });
    connect(roundButton, &QToolButton::clicked, this, [this] { RoundButtonClick(); });
    connect(widthEdit, &QLineEdit::editingFinished, this, [this] { WidthEditChange(); });
    connect(widthList, &QListWidget::itemClicked, this, [this] { WidthListClick(); });
    connect(cutOutCheck, &QCheckBox::clicked, this, [this] { CutOutCheckClick(); });
    connect(fillCheck, &QCheckBox::clicked, this, [this] { FillCheckClick(); });
    // A layer just hidden or locked takes its objects out of what is shown here.
    connect(&context_.Document().Layers(), &TVeskLayerList::layerChanged, this, [this] {
        if (std::erase_if(
                listed_, [](const Listed& l) { return l.object->IsLocked() || !l.object->IsVisible(); }))
            loadControls();
    });
    // The width last chosen for new objects, as the previous run left it.
    const double stored = TSettingsFile(context_.SettingsFileName())
                              .ReadFloat(settings::Key(settings::kSurfaceTab), kNewWidthKey, -1.0);
    if (stored * 10.0 >= 0.0 && stored * 10.0 < kWidthLimit)
        currentSurface.SetWidth(float(stored * 10.0));
    startWidth_ = currentSurface.GetWidth();
    loadControls();
}

TSurfaceTab::~TSurfaceTab()
{
    if (currentSurface.GetWidth() == startWidth_)
        return;
    TSettingsFile file(context_.SettingsFileName());
    file.WriteString(settings::Key(settings::kSurfaceTab), kNewWidthKey,
        QString::number(double(currentSurface.GetWidth()) * 0.1, 'g', 6));
    file.UpdateFile();
}

void TSurfaceTab::RefreshStyle()
{
    if (listed_.size() == 1)
        currentSurface.Assign(*listed_.front().surface);
    listed_.clear();
    loadControls();
}

void TSurfaceTab::ShowSurfacesOf(const std::vector<TVeskObject*>& objects)
{
    for (TVeskObject* object : objects)
        if (TVeskSurface* surface = object ? object->GetEditSurface() : nullptr)
            listed_.push_back({ object, surface });
    loadControls();
}

void TSurfaceTab::ShowSurfaceOf(TVeskObject* object)
{
    ShowSurfacesOf({ object });
}

void TSurfaceTab::ForgetListed()
{
    listed_.clear();
    loadControls();
}

void TSurfaceTab::Refresh()
{
    // Track and print widths boards are commonly made with.
    FillPresetList(*widthList, TSettingsFile(context_.SettingsFileName()),
        settings::Key(settings::kSurfaceTab), settings::Key(settings::kWidthPrefix),
        { 0.2, 0.3, 0.5, 0.8, 1.0, 1.5, 2.0 });
    loadControls();
}

void TSurfaceTab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int h = height();
    widthList->resize(widthList->width(), std::max(0, h - 35));
    const int checkWidth = std::max(110, width() - cutOutCheck->x());
    cutOutCheck->setGeometry(cutOutCheck->x(), h - 40, checkWidth, 17);
    fillCheck->setGeometry(fillCheck->x(), h - 40 + 16, checkWidth, 17);
}

void TSurfaceTab::showJoin(bool decided, int join)
{
    // Undecided, neither button may stay down.
    joinButtons_->setExclusive(false);
    bevelButton->setChecked(decided && join == kBevel);
    roundButton->setChecked(decided && join != kBevel);
    joinButtons_->setExclusive(decided);
}

QString TSurfaceTab::Caption() const
{
    return listed_.empty() ? QStringLiteral("スタイル") : QStringLiteral("選択中 %1 個").arg(listed_.size());
}

QString TSurfaceTab::CaptionHint() const
{
    return listed_.empty() ? QStringLiteral("これから作るオブジェクトのスタイルです")
                           : QStringLiteral("選択中のオブジェクトのスタイルです");
}

void TSurfaceTab::loadControls()
{
    updating = true;
    if (listed_.empty()) {
        showJoin(true, currentSurface.GetLineJoin());
        showCheck(*cutOutCheck, true, currentSurface.GetCutOut());
        showCheck(*fillCheck, true, currentSurface.GetFill());
        widthEdit->setText(DisplayNumber(currentSurface.GetWidth() * 0.1));
    } else {
        const TVeskSurface& first = *listed_.front().surface;
        showJoin(
            allEqual(listed_, [](const TVeskSurface& s) { return s.GetLineJoin(); }), first.GetLineJoin());
        showCheck(*cutOutCheck, allEqual(listed_, [](const TVeskSurface& s) { return s.GetCutOut(); }),
            first.GetCutOut());
        showCheck(*fillCheck, allEqual(listed_, [](const TVeskSurface& s) { return s.GetFill(); }),
            first.GetFill());
        widthEdit->setText(allEqual(listed_, [](const TVeskSurface& s) { return s.GetWidth(); })
                ? DisplayNumber(first.GetWidth() * 0.1)
                : QString());
    }
    MarkRefused(*widthEdit, QString());
    updating = false;
    Q_EMIT captionChanged();
}

template <class Change, class Picks> void TSurfaceTab::edit(const Change& change, const Picks& picks)
{
    TVeskEventProc* tool = context_.ActiveTool();
    const bool joins = tool && tool->StyleJoinsGesture();
    // A gesture under way ends first: it may take listed objects away (a
    // shape half dragged out), and the change is a step of its own.
    if (tool && !joins)
        tool->EndGesture();
    change(currentSurface);
    // What the user can no longer see or edit keeps its style, whatever is listed.
    std::erase_if(listed_, [](const Listed& l) { return l.object->IsLocked() || !l.object->IsVisible(); });
    std::vector<Listed> changing;
    for (const Listed& l : listed_)
        if (picks(*l.surface)) {
            TVeskSurface changed = *l.surface;
            change(changed);
            if (!(changed == *l.surface))
                changing.push_back(l);
        }
    if (changing.empty()) {
        loadControls();
        return;
    }
    const auto apply = [&] {
        // Changed through the surface pointer, which the object cannot see:
        // its outlines are built again before the step is recorded.
        for (const Listed& l : changing) {
            context_.Edit().Modify(*l.object, true);
            change(*l.surface);
        }
    };
    if (joins) {
        apply();
        for (const Listed& l : changing)
            l.object->Rebuild();
        tool->StyleChanged();
        tool->RequestRedraw();
    } else {
        // A change of style takes no object away: what is listed stays listed.
        const std::vector<Listed> kept = listed_;
        context_.Command(QStringLiteral("スタイルの変更"), apply);
        listed_ = kept;
    }
    loadControls();
}

void TSurfaceTab::BevelButtonClick()
{
    setJoin(kBevel);
}

void TSurfaceTab::RoundButtonClick()
{
    setJoin(kRound);
}

void TSurfaceTab::setJoin(int joinAndCap)
{
    if (updating)
        return;
    edit(
        [joinAndCap](TVeskSurface& s) {
            s.SetLineJoin(joinAndCap);
            s.SetLineCap(joinAndCap);
        },
        [](const TVeskSurface&) { return true; });
}

void TSurfaceTab::WidthEditChange()
{
    if (updating || !widthEdit->isModified())
        return;
    widthEdit->setModified(false);
    const QString text = widthEdit->text();
    // An empty box stands for widths that differ; leaving it is no request.
    if (text.trimmed().isEmpty())
        return;
    double millimetres = 0.0;
    if (!ReadTypedNumber(text, &millimetres)
        || !(millimetres * 10.0 >= 0.0 && millimetres * 10.0 < kWidthLimit)) {
        MarkRefused(*widthEdit, kWidthRefused);
        return;
    }
    const float width = float(millimetres * 10.0);
    edit([width](TVeskSurface& s) { s.SetWidth(width); },
        [width](const TVeskSurface& s) { return s.GetFill() || width > 0.0f; });
}

void TSurfaceTab::WidthListClick()
{
    if (TakePreset(*widthList, *widthEdit))
        WidthEditChange();
}

void TSurfaceTab::CutOutCheckClick()
{
    checkClick(*cutOutCheck, &TVeskSurface::SetCutOut, [](const TVeskSurface&) { return true; });
}

void TSurfaceTab::FillCheckClick()
{
    checkClick(*fillCheck, &TVeskSurface::SetFill, [](const TVeskSurface& s) { return s.GetWidth() > 0.0f; });
}

template <class Picks>
void TSurfaceTab::checkClick(const QCheckBox& box, void (TVeskSurface::*set)(bool), const Picks& picks)
{
    if (updating)
        return;
    const bool ticked = box.checkState() == Qt::Checked;
    // Grayed, the box stands for values that differ: only the current surface follows.
    const bool grayed = box.checkState() == Qt::PartiallyChecked;
    edit([ticked, set](TVeskSurface& s) { (s.*set)(ticked); },
        [grayed, &picks](const TVeskSurface& s) { return !grayed && picks(s); });
}

} // namespace vesk
