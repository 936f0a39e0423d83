#include "Statustab.h"

#include "Editorcontext.h"
#include "Mainform.h"
#include "Numberinput.h"
#include "Settingsfile.h"
#include "Settingskeys.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QResizeEvent>

namespace vesk {

namespace {
// Pitches are taken strictly between 0 and 100 mm.
constexpr double kPitchLimit = 1000.0;
const QString kPitchRefused = QStringLiteral("0 より大きく 100 未満の数値を入れてください");
constexpr int kPitchPanel = 2;
} // namespace

TStatusTab::TStatusTab(TEditorContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
{
    gridEdit = new QLineEdit(this);
    gridEdit->setGeometry(4, 4, 60, 20);
    gridList = new QListWidget(this);
    gridList->setGeometry(4, 28, 60, 113);
    showGridCheck = new QCheckBox(QStringLiteral("グリッドを表示"), this);
    showGridCheck->setGeometry(72, 108, 120, 17);
    showGridCheck->setChecked(true);
    snapCheck = new QCheckBox(QStringLiteral("グリッドにスナップ"), this);
    snapCheck->setGeometry(72, 124, 120, 17);
    snapCheck->setChecked(true);

    connect(gridEdit, &QLineEdit::editingFinished, this, [this] { GridEditChange(); });
    connect(gridList, &QListWidget::itemClicked, this, [this] { GridListClick(); });
    connect(snapCheck, &QCheckBox::clicked, this, [this] { SnapCheckClick(); });
    connect(showGridCheck, &QCheckBox::clicked, this, [this] { ShowGridCheckClick(); });
    gridEdit->setText(DisplayNumber(GridPitch() * 0.1));
}

TStatusTab::~TStatusTab() = default;

void TStatusTab::Refresh()
{
    const TSettingsFile file(context_.SettingsFileName());
    // The pitches boards are drawn on: metric steps and the inch grid's fractions.
    FillPresetList(*gridList, file, settings::Key(settings::kStatusTab), settings::Key(settings::kGridPrefix),
        { 0.1, 0.25, 0.5, 0.635, 1.0, 1.27, 2.54 });
    context_.Grid().pitch = ReadDefaultGridPitch(file, context_.Grid().pitch);
    showPitch();
    context_.Grid().snap = snapCheck->isChecked();
    context_.Grid().showGrid = showGridCheck->isChecked();
}

void TStatusTab::SetSnap(bool value)
{
    context_.Grid().snap = value;
    snapCheck->setChecked(value);
}

void TStatusTab::SetShowGrid(bool value)
{
    context_.Grid().showGrid = value;
    showGridCheck->setChecked(value);
}

bool TStatusTab::Snap() const
{
    return context_.Grid().snap;
}

bool TStatusTab::ShowGrid() const
{
    return context_.Grid().showGrid;
}

double TStatusTab::GridPitch() const
{
    return context_.Grid().pitch;
}

void TStatusTab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int h = height();
    gridList->resize(gridList->width(), std::max(0, h - 35));
    // The captions take what room the page has beside the list.
    const int checkWidth = std::max(120, width() - showGridCheck->x());
    showGridCheck->setGeometry(showGridCheck->x(), h - 40, checkWidth, 17);
    snapCheck->setGeometry(snapCheck->x(), h - 40 + 16, checkWidth, 17);
}

void TStatusTab::showPitch()
{
    const QString millimetres = DisplayNumber(GridPitch() * 0.1);
    gridEdit->setText(millimetres);
    MarkRefused(*gridEdit, QString());
    if (context_.mainForm)
        context_.mainForm->ShowStatusText(kPitchPanel, millimetres + QStringLiteral("mm"));
}

void TStatusTab::GridEditChange()
{
    if (!gridEdit->isModified())
        return;
    gridEdit->setModified(false);
    double millimetres = 0.0;
    const bool number = ReadTypedNumber(gridEdit->text(), &millimetres);
    const double pitch = millimetres * 10.0;
    if (!number || !(pitch > 0.0 && pitch < kPitchLimit)) {
        MarkRefused(*gridEdit, kPitchRefused);
        return;
    }
    context_.Grid().pitch = pitch;
    showPitch();
    context_.RequestRedraw();
}

void TStatusTab::GridListClick()
{
    if (TakePreset(*gridList, *gridEdit))
        GridEditChange();
}

void TStatusTab::SnapCheckClick()
{
    context_.Grid().snap = snapCheck->isChecked();
}

void TStatusTab::ShowGridCheckClick()
{
    context_.Grid().showGrid = showGridCheck->isChecked();
    context_.RequestRedraw();
}

} // namespace vesk
