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
    ApplyPlacement(*this, ReadPlacement(file, settings::kLayerSwapWindow), true);
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
    const TVeskLayerList& layers = mainForm_.Document().Layers();
    std::vector<const TVeskLayer*> now;
    QStringList names;
    for (int i = 0; i < layers.LayerCount(); ++i) {
        now.push_back(layers.LayerAt(i));
        names << layers.LayerAt(i)->Name();
    }
    if (now == layers_)
        return;
    layers_ = std::move(now);
    layerList_->ClearRows();
    for (const QString& name : names)
        layerList_->AddRow(name, QString(), names);
}

void TLayerSwapForm::OKButtonClick()
{
    TVeskCommand swap(mainForm_.ToolBar(), QStringLiteral("レイヤーの入れ替え"));
    TVeskDocument& document = mainForm_.Document();
    std::vector<TVeskObject*> selected;
    document.Root().CollectByLayer(selected, -1);
    for (TVeskObject* object : selected) {
        auto* instance = dynamic_cast<TVeskInstance*>(object);
        if (!instance || !instance->GetLayer())
            continue;
        const QString from = instance->GetLayer()->Name();
        for (int row = 0; row < layerList_->rowCount(); ++row) {
            if (layerList_->Key(row) != from)
                continue;
            const QString to = layerList_->Value(row);
            if (TVeskLayer* target = to.isEmpty() ? nullptr : document.Layers().FindLayer(to))
                if (target != instance->GetLayer())
                    instance->SetLayer(target);
            break;
        }
    }
    swap.Commit();
    accept();
}

} // namespace vesk
