#pragma once

#include <QStringList>

namespace vesk::cli {

enum Exit : int { Ok = 0, Failed = 1, Usage = 2 };

// Runs one command line (without the program name); returns the exit code.
int Run(QStringList args);

} // namespace vesk::cli
