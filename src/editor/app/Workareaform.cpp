#include "Workareaform.h"

#include "Numberinput.h"
#include "Settingsfile.h"
#include "Settingskeys.h"
#include "Windowplacement.h"

#include <QLineEdit>
#include <QPushButton>
#include <optional>

namespace vesk {

namespace {
// The design's client size; the buttons keep their distance to its lower right corner.
constexpr int kDesignWidth = 230;
constexpr int kDesignHeight = 122;

// Beyond this (a kilometre) the frame could not be shown, and its size would not fit the settings file.
constexpr double kLargestMillimetres = 1e6;
const QString kSizeRefused = QStringLiteral("0 より大きく 1000000 以下の数値 (mm) を入れてください");

// A size in document units, or nothing for a text that is not a size a frame can have.
std::optional<double> typedSize(const QString& text)
{
    double value = 0.0;
    if (!ReadTypedNumber(text, &value) || !(value > 0.0 && value <= kLargestMillimetres))
        return std::nullopt;
    return value * 10.0;
}

// A stored size as the dialog would take it typed; else the default.
double storedSize(const TSettingsFile& file, const QString& key, int fallback)
{
    const int stored = file.ReadInteger(settings::kWorkArea.Name(), key, fallback);
    return stored > 0 && stored <= kLargestMillimetres * 10.0 ? stored : fallback;
}

QString millimetres(double documentUnits)
{
    return QString::number(documentUnits * 0.1, 'g', 15);
}
} // namespace

TWorkAreaForm::TWorkAreaForm(QString settingsFileName, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , settingsFileName_(std::move(settingsFileName))
    , okButton(new QPushButton(QStringLiteral("OK"), this))
    , cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
    , widthPair(std::make_unique<TEditPair>(this))
    , heightPair(std::make_unique<TEditPair>(this))
{
    setWindowTitle(QStringLiteral("図面の設定"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    resize(kDesignWidth, kDesignHeight);
    okButton->setGeometry(56, 87, 75, 25);
    cancelButton->setGeometry(144, 87, 75, 25);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    for (TEditPair* pair : { widthPair.get(), heightPair.get() }) {
        QLineEdit* edit = pair->Edit();
        connect(edit, &QLineEdit::textEdited, this, [edit] { MarkRefused(*edit, QString()); });
    }

    widthPair->SetParent(this);
    widthPair->SetCaption(QStringLiteral("枠の幅[mm]"));
    widthPair->SetText(QStringLiteral("100"));
    widthPair->SetLeft(10);
    widthPair->SetTop(20);
    widthPair->SetWidth(150);
    heightPair->SetParent(this);
    heightPair->SetCaption(QStringLiteral("枠の高さ[mm]"));
    heightPair->SetText(QStringLiteral("75"));
    heightPair->SetLeft(10);
    heightPair->SetTop(45);
    heightPair->SetWidth(150);
    ApplyEdits();
    FormCreate();
}

TWorkAreaForm::~TWorkAreaForm()
{
    TSettingsFile file(settingsFileName_);
    WritePlacement(file, settings::kWorkArea, CapturePlacement(*this));
    file.WriteInteger(settings::kWorkArea.Name(), settings::Key(settings::kAreaWidth), int(areaWidth));
    file.WriteInteger(settings::kWorkArea.Name(), settings::Key(settings::kAreaHeight), int(areaHeight));
    file.UpdateFile();
}

void TWorkAreaForm::FormCreate()
{
    const TSettingsFile file(settingsFileName_);
    RestoreDialogPlacement(*this, file, settings::kWorkArea);
    // A size no frame can have (one an older version kept) gives way to the default.
    areaWidth = storedSize(file, settings::Key(settings::kAreaWidth), settings::kAreaWidthDefault);
    areaHeight = storedSize(file, settings::Key(settings::kAreaHeight), settings::kAreaHeightDefault);
    area = RectF(0.0f, 0.0f, float(areaWidth), float(areaHeight));
    showSize();
}

void TWorkAreaForm::showSize()
{
    widthPair->SetText(millimetres(areaWidth));
    heightPair->SetText(millimetres(areaHeight));
    for (TEditPair* pair : { widthPair.get(), heightPair.get() })
        MarkRefused(*pair->Edit(), QString());
}

void TWorkAreaForm::showEvent(QShowEvent* event)
{
    // What a cancelled opening left typed is not the size in force.
    showSize();
    QDialog::showEvent(event);
}

void TWorkAreaForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    widthPair->SetWidth(width() - 25);
    heightPair->SetWidth(width() - 25);
    const int dx = width() - kDesignWidth;
    const int dy = height() - kDesignHeight;
    okButton->move(56 + dx, 87 + dy);
    cancelButton->move(144 + dx, 87 + dy);
}

void TWorkAreaForm::OKButtonClick()
{
    if (ApplyEdits())
        accept();
}

bool TWorkAreaForm::ApplyEdits()
{
    const std::optional<double> width = typedSize(widthPair->GetText());
    const std::optional<double> height = typedSize(heightPair->GetText());
    // The height first, so that the width's refusal is the one pointed at.
    if (!height)
        RefuseInput(*heightPair->Edit(), kSizeRefused);
    if (!width)
        RefuseInput(*widthPair->Edit(), kSizeRefused);
    if (!width || !height)
        return false;
    areaWidth = *width;
    areaHeight = *height;
    area = RectF(0.0f, 0.0f, float(areaWidth), float(areaHeight));
    return true;
}

} // namespace vesk
