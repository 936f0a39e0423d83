#include "Printform.h"

#include "Userdialogs.h"
#include "Vesktoolhost.h"
#include "gerber/Drillexport.h"
#include "io/Veskdocument.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"
#include "render/Veskrenderer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace vesk {

namespace {

const QString kErrorCaption = QStringLiteral("印刷エラー");

double printableWidthMm(const QPagedPaintDevice& device)
{
    return device.pageLayout().paintRect(QPageLayout::Millimeter).width();
}

// The layers a toner-transfer print of one copper side needs: the copper,
// every hole layer (they print as paper over the copper, marking the drill
// centres) and the outline.
bool tonerLayer(const QString& name, const QLatin1String& copper)
{
    return name == copper || name == QLatin1String("hole") || IsNonPlatedLayer(name)
        || name == QLatin1String("dimension");
}

} // namespace

TPrintForm::TPrintForm(TVeskToolHost& host, TUserDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , host_(host)
    , dialogs_(dialogs)
{
    setWindowTitle(QStringLiteral("印刷"));

    auto* layerGroup = new QGroupBox(QStringLiteral("レイヤー"), this);
    layerList_ = new QListWidget(layerGroup);
    layerList_->setSelectionMode(QAbstractItemView::MultiSelection);
    auto* layerBox = new QVBoxLayout(layerGroup);
    layerBox->addWidget(layerList_);

    auto* colorGroup = new QGroupBox(QStringLiteral("カラー印刷"), this);
    colorButton_ = new QRadioButton(QStringLiteral("Color"), colorGroup);
    blackButton_ = new QRadioButton(QStringLiteral("Black"), colorGroup);
    blackButton_->setChecked(true);
    auto* colorBox = new QVBoxLayout(colorGroup);
    colorBox->addWidget(colorButton_);
    colorBox->addWidget(blackButton_);

    auto* optionGroup = new QGroupBox(QStringLiteral("オプション"), this);
    mirror_ = new QCheckBox(QStringLiteral("反転印刷"), optionGroup);
    negative_ = new QCheckBox(QStringLiteral("ネガ印刷"), optionGroup);
    // Colour printing has no negative: the box is for black and white only.
    connect(blackButton_, &QRadioButton::toggled, negative_, &QCheckBox::setEnabled);
    auto* optionBox = new QVBoxLayout(optionGroup);
    optionBox->addWidget(mirror_);
    optionBox->addWidget(negative_);

    presetBox_ = new QComboBox(this);
    presetBox_->addItems({ QStringLiteral("プリセットなし"), QStringLiteral("トナー転写: はんだ面"),
        QStringLiteral("トナー転写: 部品面") });
    presetBox_->setToolTip(QStringLiteral("はんだ面はそのまま、部品面は反転して印刷します"));
    connect(presetBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!applyingPreset_ && index > 0)
            ApplyPreset(TPreset(index));
    });
    connect(layerList_, &QListWidget::itemSelectionChanged, this, [this] { leavePreset(); });
    for (QAbstractButton* button :
        std::initializer_list<QAbstractButton*> { colorButton_, blackButton_, mirror_, negative_ })
        connect(button, &QAbstractButton::toggled, this, [this] { leavePreset(); });

    auto* configButton = new QPushButton(QStringLiteral("印刷の設定"), this);
    auto* previewButton = new QPushButton(QStringLiteral("印刷プレビュー"), this);
    pdfButton_ = new QPushButton(QStringLiteral("PDFに出力"), this);
    printButton_ = new QPushButton(QStringLiteral("印刷"), this);
    auto* cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    connect(configButton, &QPushButton::clicked, this, [this] { ConfigButtonClick(); });
    connect(previewButton, &QPushButton::clicked, this, [this] { PreviewButtonClick(); });
    connect(pdfButton_, &QPushButton::clicked, this, [this] { PdfButtonClick(); });
    connect(printButton_, &QPushButton::clicked, this, [this] { PrintButtonClick(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // Enter prints, whichever button happens to come first.
    printButton_->setDefault(true);

    auto* side = new QVBoxLayout;
    side->addWidget(presetBox_);
    side->addWidget(colorGroup);
    side->addWidget(optionGroup);
    side->addStretch();
    for (QPushButton* button : { configButton, previewButton, pdfButton_, printButton_, cancelButton })
        side->addWidget(button);
    auto* all = new QHBoxLayout(this);
    all->addWidget(layerGroup, 1);
    all->addLayout(side);
    resize(300, 300);
}

TPrintForm::~TPrintForm() = default;

void TPrintForm::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TPrintForm::hideEvent(QHideEvent* event)
{
    FormClose();
    QDialog::hideEvent(event);
}

void TPrintForm::ApplyPreset(TPreset preset)
{
    if (preset == TPreset::None)
        return;
    applyingPreset_ = true;
    const QLatin1String copper(
        preset == TPreset::TonerSolderSide ? QLatin1String("solder") : QLatin1String("component"));
    for (int i = 0; i < layerList_->count(); ++i)
        layerList_->item(i)->setSelected(tonerLayer(layerList_->item(i)->text(), copper));
    blackButton_->setChecked(true);
    negative_->setChecked(false);
    // Laid face down, the print turns over: the solder side, seen from
    // below, is the drawing as it is; the component side its mirror image.
    mirror_->setChecked(preset == TPreset::TonerComponentSide);
    presetBox_->setCurrentIndex(int(preset));
    applyingPreset_ = false;
}

bool TPrintForm::matchesPreset(TPreset preset) const
{
    if (preset == TPreset::None)
        return true;
    const QLatin1String copper(
        preset == TPreset::TonerSolderSide ? QLatin1String("solder") : QLatin1String("component"));
    for (int i = 0; i < layerList_->count(); ++i)
        if (layerList_->item(i)->isSelected() != tonerLayer(layerList_->item(i)->text(), copper))
            return false;
    return blackButton_->isChecked() && !negative_->isChecked()
        && mirror_->isChecked() == (preset == TPreset::TonerComponentSide);
}

void TPrintForm::leavePreset()
{
    if (!applyingPreset_)
        presetBox_->setCurrentIndex(0);
}

void TPrintForm::FormShow()
{
    const QSignalBlocker quiet(layerList_);
    layerList_->clear();
    const TVeskLayerList& layers = host_.Document().Layers();
    for (int i = 0; i < layers.LayerCount(); ++i) {
        const TVeskLayer* layer = layers.LayerAt(i);
        auto* item = new QListWidgetItem(layer->Name(), layerList_);
        item->setSelected(layer->printSelected);
    }
    // The layers may have been chosen elsewhere meanwhile (the Gerber dialog).
    if (!matchesPreset(TPreset(presetBox_->currentIndex())))
        presetBox_->setCurrentIndex(0);
}

void TPrintForm::FormClose()
{
    TVeskLayerList& layers = host_.Document().Layers();
    for (int i = 0; i < layerList_->count(); ++i)
        if (TVeskLayer* layer = layers.LayerAt(i))
            layer->printSelected = layerList_->item(i)->isSelected();
}

TPrintSetup TPrintForm::Setup(double pageWidthMm) const
{
    TPrintSetup setup;
    const int layers = host_.Document().Layers().LayerCount();
    for (int i = 0; i < layerList_->count() && i < layers; ++i)
        if (layerList_->item(i)->isSelected())
            setup.layers.push_back(i);
    setup.black = blackButton_->isChecked();
    setup.negative = setup.black && negative_->isChecked();
    setup.mirror = mirror_->isChecked();
    setup.pageWidthMm = pageWidthMm;
    // White paper takes no toner; a negative's black paper the renderer paints.
    setup.paintPaper = false;
    return setup;
}

bool TPrintForm::PrintOn(QPagedPaintDevice& device, QString* error)
{
    QPainter g;
    if (!g.begin(&device)) {
        if (error)
            *error = QStringLiteral("印刷を始められませんでした。プリンターの設定を確かめてください。");
        return false;
    }
    TVeskRenderer renderer;
    const TVeskDocument& document = host_.Document();
    renderer.Print(g, document.Root(), document.Layers(), host_.DrawStyle(), Setup(printableWidthMm(device)));
    return g.end();
}

void TPrintForm::ConfigButtonClick()
{
    QPrintDialog dialog(&printer_, this);
    dialog.exec();
}

void TPrintForm::PrintButtonClick()
{
    QString error;
    if (!PrintOn(printer_, &error)) {
        reportError(error);
        return;
    }
    if (printer_.printerState() == QPrinter::Aborted)
        reportError(QStringLiteral("印刷は中止されました。"));
    else if (printer_.printerState() == QPrinter::Error)
        reportError(QStringLiteral("印刷できませんでした。プリンターを確かめてください。"));
}

void TPrintForm::PreviewButtonClick()
{
    QPrintPreviewDialog preview(&printer_, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) {
        QString error;
        if (!PrintOn(*printer, &error))
            reportError(error);
    });
    preview.exec();
}

void TPrintForm::PdfButtonClick()
{
    TFileDialogOptions options;
    options.filter = QStringLiteral("PDF files|*.pdf|All files|*.*");
    options.defaultExtension = QStringLiteral("pdf");
    const QString path = dialogs_.GetSaveFileName(this, options);
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    QString error;
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Vesk2.0"));
        pdf.setResolution(printer_.resolution());
        pdf.setPageLayout(printer_.pageLayout());
        written = PrintOn(pdf, &error);
    }
    if (written && file.commit())
        return;
    file.cancelWriting();
    reportError(QStringLiteral("PDFファイルを書けませんでした: ") + path + QStringLiteral("\n")
        + (error.isEmpty() ? file.errorString() : error));
}

void TPrintForm::reportError(const QString& text)
{
    dialogs_.ShowError(this, kErrorCaption, text);
}

} // namespace vesk
