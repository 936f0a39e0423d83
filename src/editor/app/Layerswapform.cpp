#include "Layerswapform.h"

#include "Mainform.h"
#include "Settingsfile.h"
#include "Settingskeys.h"
#include "Valuelisteditor.h"
#include "Veskcommand.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "Windowplacement.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"

#include <map>

namespace vesk {

TLayerSwapForm::TLayerSwapForm(TVeskForm& mainForm, QString settingsFileName, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , mainForm_(mainForm)
    , settingsFileName_(std::move(settingsFileName))
{
    setWindowTitle(QStringLiteral("LayerSwapForm"));
    layerList_ = TValueListEditor::BuildDialog(*this, QStringLiteral("レイヤーの入れ替え"),
        QStringLiteral("src"), QStringLiteral("dist"), [this] { OKButtonClick(); });

    const TSettingsFile file(settingsFileName_);
    RestoreDialogPlacement(*this, file, settings::kLayerSwapWindow);
}

TLayerSwapForm::~TLayerSwapForm()
{
    TSettingsFile file(settingsFileName_);
    WritePlacement(file, settings::kLayerSwapWindow, CapturePlacement(*this));
    file.UpdateFile();
}

void TLayerSwapForm::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TLayerSwapForm::FormShow()
{
    // A layer renamed, added or removed since the last showing must not be
    // offered under its old name: the rows are always the table as it is.
    const TVeskLayerList& layers = mainForm_.Document().Layers();
    std::map<const TVeskLayer*, TVeskLayer*> chosen;
    for (size_t row = 0; row < sources_.size(); ++row)
        chosen[sources_[row]] = destinations_[row];
    QStringList names;
    for (int i = 0; i < layers.LayerCount(); ++i)
        names << layers.LayerAt(i)->Name();
    sources_.clear();
    destinations_.clear();
    layerList_->ClearRows();
    for (int i = 0; i < layers.LayerCount(); ++i) {
        const TVeskLayer* source = layers.LayerAt(i);
        TVeskLayer* destination = chosen[source];
        if (destination && layers.LayerAt(destination->index) != destination)
            destination = nullptr;
        sources_.push_back(source);
        destinations_.push_back(destination);
        layerList_->AddRow(source->Name(), destination ? destination->Name() : QString(), names);
    }
}

void TLayerSwapForm::done(int result)
{
    captureChoices();
    QDialog::done(result);
}

void TLayerSwapForm::captureChoices()
{
    const TVeskLayerList& layers = mainForm_.Document().Layers();
    for (int row = 0; row < layerList_->rowCount() && row < int(sources_.size()); ++row) {
        const QString to = layerList_->Value(row);
        destinations_[size_t(row)] = to.isEmpty() ? nullptr : layers.FindLayer(to);
    }
}

void TLayerSwapForm::OKButtonClick()
{
    captureChoices();
    std::map<const TVeskLayer*, TVeskLayer*> targets;
    for (size_t row = 0; row < sources_.size(); ++row)
        if (destinations_[row] && destinations_[row] != sources_[row])
            targets[sources_[row]] = destinations_[row];
    TVeskDocument& document = mainForm_.Document();
    TVeskCommand swap(mainForm_.ToolBar(), QStringLiteral("レイヤーの入れ替え"));
    std::vector<TVeskObject*> selected;
    document.Root().CollectByLayer(selected, -1);
    int moved = 0;
    for (TVeskObject* object : selected) {
        auto* instance = dynamic_cast<TVeskInstance*>(object);
        const auto target = instance ? targets.find(instance->GetLayer()) : targets.end();
        if (target == targets.end())
            continue;
        instance->SetLayer(target->second);
        ++moved;
    }
    swap.Commit();
    if (selected.empty())
        mainForm_.ShowMessage(QStringLiteral("レイヤーの入れ替え: オブジェクトが選択されていません。"));
    else if (moved == 0)
        mainForm_.ShowMessage(QStringLiteral(
            "レイヤーの入れ替え: 入れ替え先のあるレイヤーに選択中のオブジェクトはありません。"));
    else
        mainForm_.ShowMessage(
            QStringLiteral("レイヤーの入れ替え: %1 個のオブジェクトを移しました。").arg(moved));
    accept();
}

} // namespace vesk
