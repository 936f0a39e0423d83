#include "Gerberbody.h"

#include <charconv>
#include <cmath>

namespace vesk {

namespace {

QString millimetres(float documentUnits)
{
    return QString::number(double(documentUnits) * 0.1, 'f', 3);
}

void appendNumber(QByteArray& to, std::int64_t n)
{
    if (n < 0) {
        to += '-';
        n = -n;
    }
    char digits[20];
    int count = 0;
    do {
        digits[count++] = char('0' + n % 10);
        n /= 10;
    } while (n > 0);
    for (int i = count; i < 6; ++i)
        to += '0';
    while (count > 0)
        to += digits[--count];
}

} // namespace

double TGerberBody::DecimalValue(float v)
{
    char digits[32];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, v);
    double value = double(v);
    if (ec == std::errc())
        std::from_chars(digits, end, value);
    return value;
}

bool TGerberBody::CoordinateNumber(float v, std::int64_t& n)
{
    // To the nearest micrometre: truncating put 21.59 mm at 21.589.
    const double scaled = std::round(DecimalValue(v) * 100.0);
    if (!(std::fabs(scaled) < double(kCoordinateLimit)))
        return false;
    n = std::int64_t(scaled);
    return true;
}

bool TGerberBody::X2CoordinateNumbers(PointF p, std::int64_t& x, std::int64_t& y)
{
    const double nx = std::round(DecimalValue(p.X) * 100000.0);
    const double ny = -std::round(DecimalValue(p.Y) * 100000.0);
    const double limit = double(kX2CoordinateLimit);
    if (!(std::fabs(nx) < limit) || !(std::fabs(ny) < limit))
        return false;
    x = std::int64_t(nx);
    y = std::int64_t(ny);
    return true;
}

bool TGerberBody::AppendCoordinateWord(QByteArray& to, PointF p)
{
    std::int64_t x = 0, y = 0;
    if (!CoordinateNumber(p.X, x) || !CoordinateNumber(p.Y, y))
        return false;
    to += 'X';
    appendNumber(to, x);
    to += 'Y';
    appendNumber(to, y);
    return true;
}

void TGerberBody::Refuse(const TVeskMessage& why)
{
    if (!Refused())
        refusal_ = why;
}

void TGerberBody::refuseAt(PointF p)
{
    if (Refused())
        return;
    outOfRange_ = p;
    Refuse({ TMessageId::PointOutOfRange,
        { millimetres(p.X), millimetres(p.Y),
            format_ == TGerberFormat::X2 ? QStringLiteral("9999.999999") : QStringLiteral("999.999") } });
}

bool TGerberBody::CheckApertureSize(float size)
{
    if (Refused())
        return false;
    if (std::isfinite(size) && std::fabs(size) < kMaxApertureSize)
        return true;
    Refuse({ TMessageId::ApertureTooLarge,
        { QString::number(double(size) * 0.1, 'g', 6),
            QString::number(double(kMaxApertureSize) * 0.1, 'f', 0) } });
    return false;
}

bool TGerberBody::CheckHatchPen(float width, float step)
{
    if (Refused())
        return false;
    if (step >= kResolution)
        return true;
    Refuse({ TMessageId::HatchBelowResolution, { QString::number(double(width) * 0.1, 'g', 6) } });
    return false;
}

void TGerberBody::Polarity(bool clear)
{
    if (!Refused())
        text_ += clear ? "%LPC*%\n" : "%LPD*%\n";
}

void TGerberBody::BeginRegion()
{
    if (!Refused())
        text_ += "G36*\n";
}

void TGerberBody::EndRegion()
{
    if (!Refused())
        text_ += "G37*\n";
}

void TGerberBody::Select(std::int32_t code)
{
    if (Refused())
        return;
    text_ += format_ == TGerberFormat::X2 ? "D" : "G54D";
    text_ += QByteArray::number(code);
    text_ += "*\n";
}

bool TGerberBody::CheckRange(PointF p)
{
    std::int64_t n = 0, m = 0;
    if (Refused())
        return false;
    if (format_ == TGerberFormat::X2 ? X2CoordinateNumbers(p, n, m)
                                     : CoordinateNumber(p.X, n) && CoordinateNumber(p.Y, n))
        return true;
    refuseAt(p);
    return false;
}

void TGerberBody::unitsRecord(std::int64_t x, std::int64_t y, const char* ending)
{
    if (Refused())
        return;
    text_ += 'X';
    text_ += QByteArray::number(qlonglong(x));
    text_ += 'Y';
    text_ += QByteArray::number(qlonglong(y));
    text_ += ending;
}

void TGerberBody::coordinateRecord(PointF p, const char* ending)
{
    if (Refused())
        return;
    if (format_ == TGerberFormat::X2) {
        std::int64_t x = 0, y = 0;
        if (!X2CoordinateNumbers(p, x, y)) {
            refuseAt(p);
            return;
        }
        unitsRecord(x, y, ending);
        return;
    }
    if (!AppendCoordinateWord(text_, p)) {
        refuseAt(p);
        return;
    }
    text_ += ending;
}

} // namespace vesk
