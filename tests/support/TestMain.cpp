// Test entry point: one Qt application per binary on the offscreen platform,
// so fonts, painting and images work without a display.
#include <gtest/gtest.h>

#include <QtGlobal>
#if __has_include(<QApplication>) && defined(VESK_TEST_WIDGETS)
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
