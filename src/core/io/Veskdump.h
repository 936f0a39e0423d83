#pragma once

#include <QJsonObject>
#include <QString>

namespace vesk {

class TVeskDocument;
class TVeskObject;

// Readable views of a document for scripts and tests: a JSON tree of every
// field that the file stores, and a short human summary.
QJsonObject DocumentToJson(const TVeskDocument& doc);
QJsonObject ObjectToJson(const TVeskObject& object);
QString DocumentSummary(const TVeskDocument& doc);

} // namespace vesk
