#include "Drcform.h"

#include "Drawingview.h"
#include "Editorcontext.h"
#include "Mainform.h"
#include "Numberinput.h"
#include "Settingsfile.h"
#include "Settingskeys.h"
#include "io/Veskdocument.h"
#include "model/Veskhistory.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace vesk {

namespace {

constexpr double kUnitsPerMm = 10.0;
// Around a finding when the view zooms to it, in document units (2 mm).
constexpr float kZoomMargin = 20.0f;
const QString kRuleRefused = QStringLiteral("0 以上 1000 未満の数値 (mm) を入れてください");

struct RuleField {
    const char16_t* key;
    const char* caption;
    double TDesignRules::*value;
};
const RuleField kFields[TDrcForm::RuleCount] = {
    { settings::kRuleClearance, "クリアランス", &TDesignRules::clearance },
    { settings::kRuleWidth, "最小線幅", &TDesignRules::width },
    { settings::kRuleRing, "アニュラリング", &TDesignRules::ring },
    { settings::kRuleHoleGap, "穴と穴の間隔", &TDesignRules::holeGap },
    { settings::kRuleEdge, "基板端との間隔", &TDesignRules::edge },
};

QString ruleName(TDrcRule rule)
{
    switch (rule) {
    case TDrcRule::Clearance:
        return QStringLiteral("クリアランス");
    case TDrcRule::Width:
        return QStringLiteral("最小線幅");
    case TDrcRule::AnnularRing:
        return QStringLiteral("アニュラリング");
    case TDrcRule::HoleToHole:
        return QStringLiteral("穴と穴の間隔");
    case TDrcRule::CopperToEdge:
        return QStringLiteral("基板端との間隔");
    }
    return {};
}

QString millimetres(double v)
{
    return QString::number(v, 'f', 3);
}

} // namespace

TDrcForm::TDrcForm(TVeskForm& mainForm, QString settingsFileName, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , mainForm_(mainForm)
    , settingsFileName_(std::move(settingsFileName))
    , layerList_(new QListWidget(this))
    , findingList_(new QTreeWidget(this))
    , summary_(new QLabel(this))
    , checkButton_(new QPushButton(QStringLiteral("チェック"), this))
    , clearButton_(new QPushButton(QStringLiteral("クリア"), this))
{
    setWindowTitle(QStringLiteral("デザインルールチェック"));
    auto* rules = new QFormLayout;
    for (int i = 0; i < RuleCount; ++i) {
        QLineEdit* edit = edits_[size_t(i)] = new QLineEdit(this);
        connect(edit, &QLineEdit::textEdited, this, [edit] { MarkRefused(*edit, QString()); });
        rules->addRow(QString::fromUtf8(kFields[i].caption) + QStringLiteral(" [mm]"), edit);
    }
    auto* copper = new QVBoxLayout;
    copper->addWidget(new QLabel(QStringLiteral("銅箔のレイヤー"), this));
    layerList_->setMaximumHeight(110);
    copper->addWidget(layerList_);
    auto* top = new QHBoxLayout;
    top->addLayout(rules, 3);
    top->addLayout(copper, 2);

    findingList_->setColumnCount(4);
    findingList_->setHeaderLabels({ QStringLiteral("ルール"), QStringLiteral("レイヤー"),
        QStringLiteral("検出値 [mm]"), QStringLiteral("必要値 [mm]") });
    findingList_->setRootIsDecorated(false);
    findingList_->setUniformRowHeights(true);
    findingList_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(findingList_, &QTreeWidget::currentItemChanged, this,
        [this](QTreeWidgetItem* item) { showFinding(item ? findingList_->indexOfTopLevelItem(item) : -1); });
    connect(findingList_, &QTreeWidget::itemClicked, this,
        [this](QTreeWidgetItem* item) { showFinding(findingList_->indexOfTopLevelItem(item)); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(summary_, 1);
    buttons->addWidget(checkButton_);
    buttons->addWidget(clearButton_);
    checkButton_->setDefault(true);
    connect(checkButton_, &QPushButton::clicked, this, [this] { RunCheck(); });
    connect(clearButton_, &QPushButton::clicked, this, [this] { ClearFindings(); });

    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(findingList_, 1);
    all->addLayout(buttons);
    resize(440, 420);
    readSettings();
}

void TDrcForm::readSettings()
{
    const TSettingsFile file(settingsFileName_);
    const QString section = settings::Key(settings::kDesignRules);
    const TDesignRules defaults;
    for (int i = 0; i < RuleCount; ++i) {
        double v = file.ReadFloat(section, settings::Key(kFields[i].key), defaults.*kFields[i].value);
        if (!(v >= 0 && v < 1000))
            v = defaults.*kFields[i].value;
        edits_[size_t(i)]->setText(DisplayNumber(v));
    }
    copperLayers_ = file.ReadStringList(section, settings::Key(settings::kCopperLayerPrefix));
    if (copperLayers_.isEmpty())
        copperLayers_ = defaults.copperLayers;
}

void TDrcForm::writeSettings(const TDesignRules& rules) const
{
    TSettingsFile file(settingsFileName_);
    const QString section = settings::Key(settings::kDesignRules);
    for (const RuleField& f : kFields)
        file.WriteString(section, settings::Key(f.key), QString::number(rules.*f.value, 'g', 10));
    file.WriteStringList(section, settings::Key(settings::kCopperLayerPrefix), rules.copperLayers);
    file.UpdateFile();
}

void TDrcForm::fillLayers()
{
    // Ticks follow the names, so that a layer renamed or added since is offered as it is now.
    QStringList ticked = copperLayers_;
    if (layerList_->count() > 0) {
        ticked.clear();
        for (int i = 0; i < layerList_->count(); ++i)
            if (layerList_->item(i)->checkState() == Qt::Checked)
                ticked << layerList_->item(i)->text();
    }
    layerList_->clear();
    const TVeskLayerList& layers = mainForm_.Context().Document().Layers();
    for (int i = 0; i < layers.LayerCount(); ++i) {
        const TVeskLayer* layer = layers.LayerAt(i);
        auto* item = new QListWidgetItem(layer->Name(), layerList_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked.contains(layer->Name()) ? Qt::Checked : Qt::Unchecked);
    }
}

bool TDrcForm::readRules(TDesignRules& rules)
{
    QLineEdit* firstRefused = nullptr;
    for (int i = 0; i < RuleCount; ++i) {
        QLineEdit& edit = *edits_[size_t(i)];
        double v = 0;
        if (ReadTypedNumber(edit.text(), &v) && v >= 0 && v < 1000) {
            rules.*kFields[i].value = v;
            continue;
        }
        MarkRefused(edit, kRuleRefused);
        if (!firstRefused)
            firstRefused = &edit;
    }
    if (firstRefused) {
        RefuseInput(*firstRefused, kRuleRefused);
        return false;
    }
    rules.copperLayers.clear();
    for (int i = 0; i < layerList_->count(); ++i)
        if (layerList_->item(i)->checkState() == Qt::Checked)
            rules.copperLayers << layerList_->item(i)->text();
    return true;
}

void TDrcForm::placeBesideTheWindows()
{
    // Beside whatever of the editor is shown, so that the finding a row
    // zooms to is not under the list; within the screen when there is no room.
    int right = mainForm_.frameGeometry().right();
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && !w->isModal())
            right = std::max(right, w->frameGeometry().right());
    const QRect area = mainForm_.screen()->availableGeometry();
    const int x = std::clamp(right + 1, area.left(), std::max(area.left(), area.right() - width()));
    const int y = std::clamp(
        mainForm_.frameGeometry().top(), area.top(), std::max(area.top(), area.bottom() - height()));
    move(x, y);
}

bool TDrcForm::RunCheck()
{
    if (!placed_) {
        placed_ = true;
        placeBesideTheWindows();
    }
    show();
    raise();
    fillLayers();
    TDesignRules rules;
    if (!readRules(rules))
        return false;
    copperLayers_ = rules.copperLayers;
    writeSettings(rules);
    ClearFindings();

    TEditorContext& context = mainForm_.Context();
    // The check reads the document on worker threads: nothing may edit it
    // meanwhile, so the progress window holds the whole program.
    QProgressDialog progress(
        QStringLiteral("デザインルールをチェックしています…"), QStringLiteral("キャンセル"), 0, 1, this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(400);
    const TDrcResult result = CheckDesignRules(
        context.Document().Root(), context.Document().Layers(), rules, [&progress](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
            QApplication::processEvents();
            return !progress.wasCanceled();
        });
    progress.reset();
    if (result.cancelled) {
        summary_->setText(QStringLiteral("チェックを中止しました。"));
        return false;
    }
    findings_ = result.findings;
    checkedRevision_ = context.History().Revision();
    showFindings();
    return true;
}

void TDrcForm::showFindings()
{
    findingList_->clear();
    for (const TDrcFinding& f : findings_)
        new QTreeWidgetItem(
            findingList_, { ruleName(f.rule), f.layer, millimetres(f.found), millimetres(f.required) });
    summary_->setText(findings_.empty() ? QStringLiteral("ルール違反は見つかりませんでした。")
                                        : QStringLiteral("%1 件見つかりました。").arg(findings_.size()));
    mark(-1);
}

void TDrcForm::showFinding(int row)
{
    if (row < 0 || row >= int(findings_.size()))
        return;
    const TDrcFinding& f = findings_[size_t(row)];
    const float left = std::min(f.from.X, f.to.X), top = std::min(f.from.Y, f.to.Y);
    const RectF area { left - kZoomMargin, top - kZoomMargin, std::abs(f.to.X - f.from.X) + 2 * kZoomMargin,
        std::abs(f.to.Y - f.from.Y) + 2 * kZoomMargin };
    mainForm_.ZoomTo(area);
    mark(row);
}

void TDrcForm::mark(int chosen)
{
    std::vector<TDrawingMarker> markers;
    markers.reserve(findings_.size());
    for (size_t i = 0; i < findings_.size(); ++i)
        markers.push_back({ findings_[i].from, findings_[i].to, int(i) == chosen });
    mainForm_.DrawingArea().SetMarkers(std::move(markers));
}

void TDrcForm::ClearFindings()
{
    findings_.clear();
    findingList_->clear();
    summary_->clear();
    mainForm_.DrawingArea().SetMarkers({});
}

void TDrcForm::NoteRevision(std::uint64_t revision)
{
    if (!findings_.empty() && revision != checkedRevision_) {
        ClearFindings();
        summary_->setText(QStringLiteral("図面が変わったのでマークを消しました。"));
    }
}

} // namespace vesk
