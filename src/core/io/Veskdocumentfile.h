#pragma once

#include "Veskdocument.h"

#include <QString>
#include <functional>

namespace vesk {

class TVeskObject;
class TVesk_ostream;

// Where a save keeps the version it replaced: "board.vbf" → "board.vbf.bak".
QString BackupPath(const QString& fileName);

// Writes a document file through `write`, which gets a stream that has
// written the header: into a temporary file renamed over fileName once
// complete, so that a failure leaves any previous file untouched. With
// keepBackup the file it replaces stays as BackupPath(fileName); the
// backup is replaced only once the new file is in place, and a failed
// save leaves it as it was.
TDocumentResult WriteDocumentFile(
    const QString& fileName, bool keepBackup, const std::function<void(TVesk_ostream&)>& write);

// TVeskDocument::Write, keeping the replaced file as a backup when asked.
TDocumentResult WriteDocument(const TVeskDocument& document, const QString& fileName, bool keepBackup);

// Whether some container lies more than TVeskContainer::kMaxNesting levels
// below the root when `object` is a child of the root: such a file would
// read back without everything enclosing the deepest group.
bool NestsTooDeep(const TVeskObject& object);

} // namespace vesk
