#include "Gerberform.h"

#include "Mainform.h"
#include "Userdialogs.h"
#include "gerber/Gerberexport.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vesk {

TGerberForm::TGerberForm(TVeskForm& mainForm, TUserDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , mainForm_(mainForm)
    , dialogs_(dialogs)
{
    setWindowTitle(QStringLiteral("GerberExport"));

    auto* layerGroup = new QGroupBox(QStringLiteral("レイヤー設定"), this);
    layerList_ = new QListWidget(layerGroup);
    holeCheckBox_ = new QCheckBox(QStringLiteral("ホール出力"), layerGroup);
    auto* layerBox = new QVBoxLayout(layerGroup);
    layerBox->addWidget(layerList_, 1);
    layerBox->addWidget(holeCheckBox_);
    connect(layerList_, &QListWidget::currentRowChanged, this, [this] { LayerListClick(); });

    auto* gerberGroup = new QGroupBox(QStringLiteral("ガーバ設定"), this);
    gerberRadio_ = new QRadioButton(QStringLiteral("ガーバ出力"), gerberGroup);
    outlineRadio_ = new QRadioButton(QStringLiteral("アウトライン出力"), gerberGroup);
    gerberRadio_->setChecked(true);
    okButton_ = new QPushButton(QStringLiteral("OK"), gerberGroup);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), gerberGroup);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* gerberBox = new QVBoxLayout(gerberGroup);
    gerberBox->addWidget(gerberRadio_);
    gerberBox->addWidget(outlineRadio_);
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
    for (int i = 0; i < layers.LayerCount(); ++i) {
        const TVeskLayer* layer = layers.LayerAt(i);
        auto* item = new QListWidgetItem(layer->Name(), layerList_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(layer->printSelected ? Qt::Checked : Qt::Unchecked);
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
    const TVeskDocument& document = mainForm_.Document();
    const TGerberExportResult result = gerberRadio_->isChecked()
        ? ExportGerberFiles(document.Root(), document.Layers(), chosen, folder)
        : ExportOutlineFiles(document.Root(), document.Layers(), chosen, folder);
    accept();

    QStringList written, failed;
    for (const TGerberLayerResult& layer : result.layers)
        (layer.ok ? written : failed) << layer.Message();
    if (!failed.isEmpty()) {
        QString text = QStringLiteral("書き出せなかったレイヤーがあります。\n\n") + failed.join(u'\n');
        if (!written.isEmpty())
            text += QStringLiteral("\n\n書き出したファイル:\n") + written.join(u'\n');
        dialogs_.ShowError(&mainForm_, QStringLiteral("ガーバ出力エラー"), text);
    } else if (!written.isEmpty()) {
        dialogs_.ShowMessage(&mainForm_, QStringLiteral("ガーバ出力"),
            QStringLiteral("書き出したファイル:\n") + written.join(u'\n'));
    }
}

} // namespace vesk
