// Where the program looks for its own data: beside the executable, in the
// install's share folder, in the user's folder of the program, then in the
// shared data folders, in that order.
#include "Datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vesk;

namespace {

TEST(DataFolder, CandidatesComeInTheirOrderAndTheFirstThatExistsWins)
{
    const QDir program(QCoreApplication::applicationDirPath());
    const QString own = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ASSERT_FALSE(own.isEmpty());
    const QStringList candidates = DataFolderCandidates(QStringLiteral("pad"));
    ASSERT_GE(candidates.size(), 4);
    EXPECT_EQ(candidates[0], program.filePath(QStringLiteral("pad")));
    EXPECT_EQ(candidates[1], QDir::cleanPath(program.filePath(QStringLiteral("../share/vesk2/pad"))));
    EXPECT_EQ(candidates[2], QDir(own).filePath(QStringLiteral("pad")));
    EXPECT_TRUE(candidates[3].endsWith(QStringLiteral("/vesk2/pad")));

    // None there: the folder beside the executable, where a user would look.
    EXPECT_EQ(FindDataFolder(QStringLiteral("no-such-folder-here")),
        program.filePath(QStringLiteral("no-such-folder-here")));
}

} // namespace
