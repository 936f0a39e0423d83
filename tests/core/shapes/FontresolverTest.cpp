// Family resolution as texts read on worker threads use it.
#include "shapes/Fontresolver.h"

#include <QString>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace vesk {
namespace {

TEST(FontResolver, WorkerThreadsGetTheAnswersOfTheGuiThread)
{
    const QString families[] = { QStringLiteral("MS UI Gothic"), QStringLiteral("Arial"),
        QStringLiteral("No Such Family 67890"), QString(), QStringLiteral("IPAGothic"),
        QString::fromUtf16(u"ＭＳ 明朝"), QStringLiteral("Another Missing Family") };
    std::vector<QString> expected;
    for (const QString& family : families)
        expected.push_back(ResolveFontFamily(family));
    EXPECT_EQ(expected[2], DefaultFontFamily());
    EXPECT_EQ(expected[4], QStringLiteral("IPAGothic"));

    std::atomic<int> wrong { 0 };
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&] {
            InstallFontSubstitutions();
            for (int round = 0; round < 20; ++round)
                for (size_t i = 0; i < std::size(families); ++i)
                    if (ResolveFontFamily(families[i]) != expected[i]
                        || IsFontFamilyResolvable(families[i])
                            != (expected[i] == families[i] && !families[i].isEmpty()))
                        ++wrong;
        });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(wrong, 0);
}

} // namespace
} // namespace vesk
