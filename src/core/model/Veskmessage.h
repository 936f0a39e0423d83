#pragma once

#include <QString>
#include <initializer_list>
#include <vector>

namespace vesk {

// The reports of the core that reach a person, each with the values it names.
enum class TMessageId {
    // A value the core does not word: a file name, a number, the system's
    // own reason for a failed file operation.
    Value,
    // Saving: %1 the deepest nesting a document can hold.
    NestedTooDeep,
    // Export of one layer: %1 its name, %2 the file written or why not.
    LayerReport,
    NoSuchLayer, // %1 index
    CannotCreate, // %1 file, %2 reason
    CannotWrite, // %1 file, %2 reason
    FileOfAnotherLayer, // %1 file
    FileNotOpen,
    // Gerber output refused: %1 why; nothing is written then.
    NothingWritten,
    PointOutOfRange, // %1 x, %2 y, %3 the limit, in mm
    ApertureTooLarge, // %1 the size, %2 the limit, in mm
    HatchBelowResolution, // %1 the pen width in mm
    TooManyHatchLines, // %1 by %2 mm, %3 pen width in mm, %4 the most lines
    // A shape of a hole layer that no drill makes: %1 layer, %2 kind, %3 its
    // name or nothing, %4 x, %5 y in mm, %6 why.
    ShapeLeftOut,
    ShapeName, // %1 the name
    ShapeEllipse,
    ShapeRectangle,
    ShapePath,
    ShapeText,
    IsCutOut,
    NotRound,
    NeitherStrokeNorCircle,
    NeitherRoundNorOblong,
    // A drill file without a hole: %1 the file not written.
    NothingToDrill,
};

// A report of the core for a person: which one it is and the values it
// names, each itself a message (a plain value is one of kind Value). The core
// does not phrase it for the reader: the command line words it in English
// and the editor in Japanese, each from its own table, so that both say the
// same and neither has to take the other's words apart.
struct TVeskMessage {
    TVeskMessage() = default;
    // A plain value.
    TVeskMessage(QString value)
        : text(std::move(value))
    {
    }
    TVeskMessage(TMessageId messageId, std::initializer_list<TVeskMessage> values = {})
        : id(messageId)
        , args(values)
    {
    }

    // Nothing to report: an empty value.
    bool IsEmpty() const { return id == TMessageId::Value && text.isEmpty(); }
    // In the command line's words.
    QString English() const;

    TMessageId id = TMessageId::Value;
    QString text;
    std::vector<TVeskMessage> args;
};

// The wording of each report in one language, %1 to %9 standing for its values.
using TPhrasebook = QString (*)(TMessageId);

QString EnglishPhrase(TMessageId id);
// The message worded from the book, its values worded from the same book.
QString Phrase(const TVeskMessage& message, TPhrasebook book);

} // namespace vesk
