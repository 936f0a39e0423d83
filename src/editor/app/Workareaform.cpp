#include "Workareaform.h"

#include "Numberinput.h"
#include "Settingsfile.h"
#include "Settingskeys.h"
#include "Windowplacement.h"

#include <QLineEdit>
#include <QPushButton>
#include <climits>
#include <cmath>

namespace vesk {

namespace {
// The design's client size; the buttons keep their distance to its lower right corner.
constexpr int kDesignWidth = 230;
constexpr int kDesignHeight = 122;

// Beyond this (a kilometre) the frame could not be shown, and its size would not fit the settings file.
constexpr double kLargestMillimetres = 1e6;

bool toNumber(const QString& text, double* out)
{
    double value = 0.0;
    if (!ReadTypedNumber(text, &value) || std::fabs(value) > kLargestMillimetres)
        return false;
    *out = value;
    return true;
}

int truncateToInt(double value)
{
    if (!(value > double(INT_MIN)))
        return INT_MIN;
    if (!(value < double(INT_MAX)))
        return INT_MAX;
    return int(value);
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
    file.WriteInteger(
        settings::kWorkArea.Name(), settings::Key(settings::kAreaWidth), truncateToInt(areaWidth));
    file.WriteInteger(
        settings::kWorkArea.Name(), settings::Key(settings::kAreaHeight), truncateToInt(areaHeight));
    file.UpdateFile();
}

void TWorkAreaForm::FormCreate()
{
    const TSettingsFile file(settingsFileName_);
    ApplyPlacement(*this, ReadPlacement(file, settings::kWorkArea), true);
    const QString section = settings::kWorkArea.Name();
    areaWidth = file.ReadInteger(section, settings::Key(settings::kAreaWidth), settings::kAreaWidthDefault);
    areaHeight
        = file.ReadInteger(section, settings::Key(settings::kAreaHeight), settings::kAreaHeightDefault);
    area = RectF(0.0f, 0.0f, float(areaWidth), float(areaHeight));
    widthPair->SetText(millimetres(areaWidth));
    heightPair->SetText(millimetres(areaHeight));
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
    ApplyEdits();
    accept();
}

void TWorkAreaForm::ApplyEdits()
{
    double value = 0.0;
    if (toNumber(widthPair->GetText(), &value)) {
        areaWidth = value * 10.0;
        if (toNumber(heightPair->GetText(), &value))
            areaHeight = value * 10.0;
    }
    area = RectF(0.0f, 0.0f, float(areaWidth), float(areaHeight));
}

} // namespace vesk
