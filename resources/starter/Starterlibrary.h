#pragma once

#include <QString>

namespace vesk {

// What writing the starter library came to; `error` says why in a sentence
// when `ok` is false.
struct TStarterResult {
    bool ok = true;
    QString error;
    int files = 0;
};

// Writes the starter pads into `folder`/pad and the starter parts into
// `folder`/lib, replacing whatever those two folders held (a file dropped
// from the set must not linger) and leaving the rest of `folder` alone.
// The set is drawn anew into a staging folder first, so a failure leaves the
// previous folders as they were. Same bytes on every run.
TStarterResult WriteStarterLibrary(const QString& folder);

} // namespace vesk
