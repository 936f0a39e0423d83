#pragma once

#include "model/Veskmessage.h"

#include <QString>

namespace vesk {

// The editor's wording of the core's reports, in Japanese as every text the
// editor shows.
QString JapanesePhrase(TMessageId id);
QString InJapanese(const TVeskMessage& message);
// What reading left out of a document or the clipboard: records whose
// values no drawing can have. `what` names the command, "貼り付け".
QString SkippedRecordsNote(const QString& what, int count);

} // namespace vesk
