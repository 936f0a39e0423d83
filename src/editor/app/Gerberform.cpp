#include "Gerberform.h"

#include "Japanesemessages.h"
#include "Mainform.h"
#include "Settingsfile.h"
#include "Settingskeys.h"
#include "Userdialogs.h"
#include "gerber/Gerberexport.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vesk {

namespace {

// The entries of the format box, in the order of their stored numbers.
constexpr TGerberFormat kFormats[] = { TGerberFormat::Rs274x, TGerberFormat::X2 };

// What the export did, in sections for the report: the layers that failed,
// what went wrong with the drill files, what was not written for want of
// anything to write, and the files written.
struct Report {
    QStringList failedLayers, drillProblems, notWritten, written, notes;

    bool Failed() const { return !failedLayers.isEmpty() || !drillProblems.isEmpty(); }
    QString Text() const
    {
        QStringList sections;
        if (!failedLayers.isEmpty())
            sections << QStringLiteral("書き出せなかったレイヤーがあります。\n\n") + failedLayers.join(u'\n');
        if (!drillProblems.isEmpty())
            sections << drillProblems.join(u'\n');
        if (!notWritten.isEmpty())
            sections << notWritten.join(u'\n');
        if (!written.isEmpty())
            sections << QStringLiteral("書き出したファイル:\n") + written.join(u'\n');
        sections << notes;
        return sections.join(QStringLiteral("\n\n"));
    }
};

void addDrillReport(const TDrillExportResult& drill, Report& report)
{
    for (const TDrillFileResult& file : drill.files) {
        const QString name = QFileInfo(file.fileName).fileName();
        if (!file.ok)
            report.drillProblems << InJapanese(file.error);
        else if (file.NothingToDrill())
            report.notWritten << InJapanese({ TMessageId::NothingToDrill, { name } });
        else
            report.written << QStringLiteral("%1 (穴 %2, 長穴 %3, ツール %4)")
                                  .arg(name)
                                  .arg(file.hits)
                                  .arg(file.slots)
                                  .arg(file.tools);
    }
    if (!drill.leftOut.empty())
        report.drillProblems
            << QStringLiteral("ドリルファイルに入れられない図形 (%1 個):").arg(drill.leftOut.size());
    for (const TVeskMessage& shape : drill.leftOut)
        report.drillProblems << QStringLiteral("  ") + InJapanese(shape);
}

} // namespace

TGerberForm::TGerberForm(
    TVeskForm& mainForm, TUserDialogs& dialogs, const QString& settingsFileName, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , mainForm_(mainForm)
    , dialogs_(dialogs)
    , settingsFileName_(settingsFileName)
{
    setWindowTitle(QStringLiteral("GerberExport"));

    auto* layerGroup = new QGroupBox(QStringLiteral("レイヤー設定"), this);
    layerList_ = new QListWidget(layerGroup);
    holeCheckBox_ = new QCheckBox(QStringLiteral("ホール出力"), layerGroup);
    // It only shows the chosen layer's cut-out flag: ticking it would change nothing.
    holeCheckBox_->setEnabled(false);
    holeCheckBox_->setToolTip(QStringLiteral("選んだレイヤーが「切り抜く」レイヤーかどうかを示します"));
    auto* layerBox = new QVBoxLayout(layerGroup);
    layerBox->addWidget(layerList_, 1);
    layerBox->addWidget(holeCheckBox_);
    connect(layerList_, &QListWidget::currentRowChanged, this, [this] { LayerListClick(); });

    auto* gerberGroup = new QGroupBox(QStringLiteral("ガーバ設定"), this);
    gerberRadio_ = new QRadioButton(QStringLiteral("ガーバ出力"), gerberGroup);
    outlineRadio_ = new QRadioButton(QStringLiteral("アウトライン出力"), gerberGroup);
    gerberRadio_->setChecked(true);
    formatBox_ = new QComboBox(gerberGroup);
    formatBox_->addItems({ QStringLiteral("RS-274X (従来)"), QStringLiteral("Gerber X2") });
    drillCheckBox_ = new QCheckBox(QStringLiteral("ドリルファイル出力"), gerberGroup);
    const TSettingsFile file(settingsFileName_);
    const QString section = settings::Key(settings::kGerberExport);
    // X2 unless the user chose otherwise: every reader puts it the same way
    // up, while the classic files rely on an image mirror some readers skip.
    constexpr int kDefaultFormat = 1;
    const int format = file.ReadInteger(section, settings::Key(settings::kGerberFormat), kDefaultFormat);
    formatBox_->setCurrentIndex(format >= 0 && format < formatBox_->count() ? format : kDefaultFormat);
    // A board without its drill file cannot be made.
    drillCheckBox_->setChecked(file.ReadInteger(section, settings::Key(settings::kGerberDrillFile), 1) != 0);
    okButton_ = new QPushButton(QStringLiteral("OK"), gerberGroup);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), gerberGroup);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* gerberBox = new QVBoxLayout(gerberGroup);
    gerberBox->addWidget(gerberRadio_);
    gerberBox->addWidget(outlineRadio_);
    gerberBox->addWidget(formatBox_);
    gerberBox->addWidget(drillCheckBox_);
    gerberBox->addStretch();
    gerberBox->addWidget(okButton_);
    gerberBox->addWidget(cancelButton);

    auto* all = new QHBoxLayout(this);
    all->addWidget(layerGroup, 1);
    all->addWidget(gerberGroup, 1);
    resize(339, 307);
}

TGerberForm::~TGerberForm() = default;

void TGerberForm::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TGerberForm::hideEvent(QHideEvent* event)
{
    FormClose();
    QDialog::hideEvent(event);
}

void TGerberForm::FormShow()
{
    layerList_->clear();
    cutOutFlags.clear();
    const TVeskLayerList& layers = mainForm_.Document().Layers();
    // With no choice kept in the layers, the layers that hold something are
    // what a board needs; an empty list would export nothing.
    bool anyChosen = false;
    for (int i = 0; i < layers.LayerCount(); ++i)
        anyChosen |= layers.LayerAt(i)->printSelected;
    const TVeskPart& root = mainForm_.Document().Root();
    for (int i = 0; i < layers.LayerCount(); ++i) {
        const TVeskLayer* layer = layers.LayerAt(i);
        auto* item = new QListWidgetItem(layer->Name(), layerList_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool ticked = anyChosen ? layer->printSelected : root.UsesLayer(*layer);
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
        cutOutFlags.push_back(layer->mask);
    }
    LayerListClick();
    if (outputFolder.isEmpty() && !mainForm_.FileName().isEmpty())
        outputFolder = QFileInfo(mainForm_.FileName()).absolutePath();
}

void TGerberForm::FormClose()
{
    TVeskLayerList& layers = mainForm_.Document().Layers();
    for (int i = 0; i < layerList_->count(); ++i)
        if (TVeskLayer* layer = layers.LayerAt(i))
            layer->printSelected = layerList_->item(i)->checkState() == Qt::Checked;
}

void TGerberForm::WriteChoices() const
{
    TSettingsFile file(settingsFileName_);
    const QString section = settings::Key(settings::kGerberExport);
    file.WriteInteger(section, settings::Key(settings::kGerberFormat), formatBox_->currentIndex());
    file.WriteInteger(
        section, settings::Key(settings::kGerberDrillFile), drillCheckBox_->isChecked() ? 1 : 0);
    file.UpdateFile();
}

void TGerberForm::LayerListClick()
{
    const int row = layerList_->currentRow() >= 0 ? layerList_->currentRow() : 0;
    holeCheckBox_->setChecked(row < int(cutOutFlags.size()) && cutOutFlags[size_t(row)]);
}

void TGerberForm::ButtonOkClick()
{
    const QString folder = dialogs_.GetExistingDirectory(this, QStringLiteral("出力先の選択"), outputFolder);
    if (folder.isEmpty())
        return;
    outputFolder = folder;
    std::vector<int> chosen;
    for (int i = 0; i < layerList_->count(); ++i)
        if (layerList_->item(i)->checkState() == Qt::Checked)
            chosen.push_back(i);
    WriteChoices();
    TGerberExportOptions options;
    options.format = kFormats[formatBox_->currentIndex()];
    options.outline = outlineRadio_->isChecked();
    options.drillFile = drillCheckBox_->isChecked();
    const TVeskDocument& document = mainForm_.Document();
    const TGerberExportResult result
        = ExportFiles(document.Root(), document.Layers(), chosen, folder, options);
    accept();

    Report report;
    for (const TGerberLayerResult& layer : result.layers)
        (layer.ok ? report.written : report.failedLayers) << InJapanese(layer.Report());
    if (result.drill)
        addDrillReport(*result.drill, report);
    if (options.drillFile && options.format == TGerberFormat::Rs274x)
        report.notes << QStringLiteral(
            "注意: 従来形式 (RS-274X) のファイルは像の反転 (%MIA0B1*%) で上下を合わせています。"
            "これを無視する読み手 (tracespace など) では、銅箔・シルク・外形が上下逆になり、"
            "ドリルファイルの穴と合いません。どの読み手でも同じに読める Gerber X2 をお勧めします。");
    const QString text = report.Text();
    if (report.Failed())
        dialogs_.ShowError(&mainForm_, QStringLiteral("ガーバ出力エラー"), text);
    else if (!text.isEmpty())
        dialogs_.ShowMessage(&mainForm_, QStringLiteral("ガーバ出力"), text);
}

} // namespace vesk
