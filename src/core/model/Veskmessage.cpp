#include "Veskmessage.h"

namespace vesk {

QString TVeskMessage::English() const
{
    return Phrase(*this, EnglishPhrase);
}

QString EnglishPhrase(TMessageId id)
{
    switch (id) {
    case TMessageId::Value:
        return QStringLiteral("%1");
    case TMessageId::NestedTooDeep:
        return QStringLiteral("groups are nested more than %1 levels deep; the document would not read back");
    case TMessageId::LayerReport:
        return QStringLiteral("layer \"%1\": %2");
    case TMessageId::NoSuchLayer:
        return QStringLiteral("there is no layer %1");
    case TMessageId::CannotCreate:
        return QStringLiteral("cannot create %1: %2");
    case TMessageId::CannotWrite:
        return QStringLiteral("cannot write %1: %2");
    case TMessageId::FileOfAnotherLayer:
        return QStringLiteral("%1 was written for another layer of this export; rename one of the layers");
    case TMessageId::FileNotOpen:
        return QStringLiteral("the file is not open for writing");
    case TMessageId::NothingWritten:
        return QStringLiteral("%1; nothing was written");
    case TMessageId::PointOutOfRange:
        return QStringLiteral(
            "the point (%1 mm, %2 mm) lies outside the Gerber coordinate range of -%3 to %3 mm");
    case TMessageId::ApertureTooLarge:
        return QStringLiteral("an aperture of %1 mm (a pen width or a flash size) cannot be written: it "
                              "must be a finite size below %2 mm");
    case TMessageId::HatchBelowResolution:
        return QStringLiteral("filling a shape with a pen of %1 mm would lay its hatch lines closer than "
                              "the file's resolution of 0.001 mm; give the shape a wider outline or none");
    case TMessageId::TooManyHatchLines:
        return QStringLiteral(
            "filling a shape of %1 by %2 mm with a pen of %3 mm takes more than %4 hatch lines");
    case TMessageId::ShapeLeftOut:
        return QStringLiteral("layer \"%1\": %2%3 at (%4 mm, %5 mm) %6; it is not in the drill file");
    case TMessageId::ShapeName:
        return QStringLiteral(" \"%1\"");
    case TMessageId::ShapeEllipse:
        return QStringLiteral("ellipse");
    case TMessageId::ShapeRectangle:
        return QStringLiteral("rectangle");
    case TMessageId::ShapePath:
        return QStringLiteral("path");
    case TMessageId::ShapeText:
        return QStringLiteral("text");
    case TMessageId::IsCutOut:
        return QStringLiteral("is a cut-out");
    case TMessageId::NotRound:
        return QStringLiteral("is not round");
    case TMessageId::NeitherStrokeNorCircle:
        return QStringLiteral("is neither a round-capped straight stroke nor a circle");
    case TMessageId::NeitherRoundNorOblong:
        return QStringLiteral("is neither round nor an oblong");
    case TMessageId::NothingToDrill:
        return QStringLiteral("%1: nothing to drill, not written");
    }
    return QString();
}

QString Phrase(const TVeskMessage& message, TPhrasebook book)
{
    if (message.id == TMessageId::Value)
        return message.text;
    // One pass, so that a value holding "%2" is never taken for a place.
    const QString pattern = book(message.id);
    QString out;
    out.reserve(pattern.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        const int place = i + 1 < pattern.size() ? pattern[i + 1].digitValue() : -1;
        if (c == u'%' && place >= 1 && place <= 9) {
            if (size_t(place) <= message.args.size())
                out += Phrase(message.args[size_t(place - 1)], book);
            ++i;
            continue;
        }
        out += c;
    }
    return out;
}

} // namespace vesk
