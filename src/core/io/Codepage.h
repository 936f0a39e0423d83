#pragma once

#include <QByteArray>
#include <QString>

namespace vesk {

// 8-bit names in documents are CP932 (Shift-JIS as Japanese Windows writes it).
// Bytes that are not valid CP932 decode to lone surrogates U+DC80..U+DCFF and
// encode back to the same byte, so any stored name survives a round trip.
QString DecodeAnsi(const QByteArray& bytes);
QByteArray EncodeAnsi(const QString& text);

} // namespace vesk
