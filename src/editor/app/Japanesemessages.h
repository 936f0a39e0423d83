#pragma once

#include "model/Veskmessage.h"

#include <QString>

namespace vesk {

// The editor's wording of the core's reports, in Japanese as every text the
// editor shows.
QString JapanesePhrase(TMessageId id);
QString InJapanese(const TVeskMessage& message);

} // namespace vesk
