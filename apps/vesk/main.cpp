// The editor: one main window over one document, started with the document
// named by the first argument if there is one.
#include "app/Editorcontext.h"
#include "app/Mainform.h"
#include "app/Settingsfile.h"
#include "Datafolder.h"
#include "shapes/Fontresolver.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

namespace {

// Answers that need no window: the version, and where the program finds its
// data (to check an installation).
int answerWithoutWindow(int argc, char** argv, const QString& option)
{
    QCoreApplication app(argc, argv);
    if (option == QLatin1String("--version")) {
        std::printf("vesk %s\n", VESK_VERSION);
        return 0;
    }
    for (const QString& name : { QStringLiteral("Bitmap"), QStringLiteral("pad"), QStringLiteral("lib") })
        std::printf("%s: %s\n", qPrintable(name), qPrintable(QDir::toNativeSeparators(vesk::FindDataFolder(name))));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1) {
        const QString option = QString::fromLocal8Bit(argv[1]);
        if (option == QLatin1String("--version") || option == QLatin1String("--data-folders"))
            return answerWithoutWindow(argc, argv, option);
    }
    QApplication app(argc, argv);
    // The title of the program; the window captions stay as the main window sets them.
    QApplication::setApplicationName(QStringLiteral("Vesk2.0"));
    // The whole interface is Japanese, so Qt's own dialogs (file choosers, standard
    // buttons) are too, whatever the user's locale.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    vesk::InstallFontSubstitutions();
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    vesk::TEditorContext context(vesk::TSettingsFile::DefaultFileName());
    vesk::TVeskForm window(context);
    const QStringList arguments = QApplication::arguments();
    window.StartUp(arguments.size() > 1 ? arguments.at(1) : QString());
    window.show();
    return QApplication::exec();
}
