#include "Fontresolver.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QPointer>
#include <atomic>
#include <initializer_list>

namespace vesk {

namespace {
struct Substitution {
    std::initializer_list<const char16_t*> families;
    std::initializer_list<const char16_t*> substitutes; // first installed one wins
};

// IPA Gothic comes with the project's font package; the others are tried
// first where installed and are closer in shape. Every list ends in an
// IPA face so that a family from this table always resolves.
const Substitution kSubstitutions[] = {
    // Proportional gothic faces.
    { { u"MS UI Gothic", u"MS PGothic", u"ＭＳ Ｐゴシック", u"Meiryo", u"メイリオ", u"Meiryo UI",
          u"Yu Gothic", u"游ゴシック", u"Yu Gothic UI" },
        { u"IPAPGothic", u"IPAGothic" } },
    // Fixed-pitch gothic faces.
    { { u"MS Gothic", u"ＭＳ ゴシック" }, { u"IPAGothic", u"IPAPGothic" } },
    { { u"MS PMincho", u"ＭＳ Ｐ明朝" }, { u"IPAPMincho", u"IPAMincho", u"IPAPGothic" } },
    { { u"MS Mincho", u"ＭＳ 明朝" }, { u"IPAMincho", u"IPAPMincho", u"IPAGothic" } },
    // Liberation Sans keeps Arial's metrics; DejaVu Sans is Tahoma's and Verdana's kin.
    { { u"Arial", u"Arial Narrow", u"Helvetica", u"Calibri" },
        { u"Liberation Sans", u"DejaVu Sans", u"IPAPGothic" } },
    { { u"Tahoma", u"Verdana", u"Segoe UI", u"Microsoft Sans Serif", u"MS Sans Serif", u"Trebuchet MS" },
        { u"DejaVu Sans", u"Liberation Sans", u"IPAPGothic" } },
    { { u"Times New Roman", u"Times", u"Georgia", u"Century", u"MS Serif" },
        { u"Liberation Serif", u"DejaVu Serif", u"IPAPMincho", u"IPAPGothic" } },
    { { u"Courier New", u"Courier", u"Consolas", u"Lucida Console" },
        { u"Liberation Mono", u"DejaVu Sans Mono", u"IPAGothic" } },
};

QString fromUtf16(const char16_t* s)
{
    return QString::fromUtf16(s);
}

// hasFamily misses the generic names fontconfig lists ("Sans Serif",
// "Monospace"), which do draw; the family list has them.
bool isInstalled(const QString& family)
{
    return QFontDatabase::hasFamily(family)
        || QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

std::atomic<bool> substitutionsInstalled { false };

// Asking the font database costs a fontconfig substitution per family, and a
// board names the same few families thousands of times: the answers are kept
// until the application's fonts change.
QMutex knownFamiliesMutex;
QHash<QString, bool> knownFamilies;
QPointer<QGuiApplication> knownFamiliesApp; // whose font database gave the answers

// Forgets answers given by another application's fonts; knownFamiliesMutex held.
void forgetOtherApplication()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == knownFamiliesApp)
        return;
    knownFamilies.clear();
    knownFamiliesApp = app;
    if (app)
        QObject::connect(app, &QGuiApplication::fontDatabaseChanged, app, [] {
            QMutexLocker lock(&knownFamiliesMutex);
            knownFamilies.clear();
        });
}

bool askFontDatabase(const QString& family)
{
    if (isInstalled(family))
        return true;
    const QStringList substitutes = QFont::substitutes(family);
    for (const QString& substitute : substitutes)
        if (isInstalled(substitute))
            return true;
    return false;
}
} // namespace

bool FontEngineAvailable()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

void InstallFontSubstitutions()
{
    // Any thread may ask, as the header promises.
    if (substitutionsInstalled.load(std::memory_order_acquire) || !FontEngineAvailable())
        return;
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    if (substitutionsInstalled.load(std::memory_order_relaxed))
        return;
    for (const Substitution& s : kSubstitutions) {
        QStringList substitutes;
        for (const char16_t* name : s.substitutes)
            substitutes.append(fromUtf16(name));
        for (const char16_t* family : s.families)
            QFont::insertSubstitutions(fromUtf16(family), substitutes);
    }
    substitutionsInstalled.store(true, std::memory_order_release);
}

bool IsFontFamilyResolvable(const QString& family)
{
    if (family.isEmpty())
        return false;
    InstallFontSubstitutions();
    {
        QMutexLocker lock(&knownFamiliesMutex);
        forgetOtherApplication();
        if (const auto known = knownFamilies.constFind(family); known != knownFamilies.cend())
            return *known;
    }
    const bool resolvable = askFontDatabase(family);
    QMutexLocker lock(&knownFamiliesMutex);
    knownFamilies.insert(family, resolvable);
    return resolvable;
}

QString ResolveFontFamily(const QString& family)
{
    if (!FontEngineAvailable() || IsFontFamilyResolvable(family))
        return family;
    return DefaultFontFamily();
}

QString DrawingFontFamily(const QString& family)
{
    if (!FontEngineAvailable())
        return family;
    InstallFontSubstitutions();
    return QFontInfo(QFont(family)).family();
}

QStringList SelectableFontFamilies()
{
    QStringList list;
    if (!FontEngineAvailable())
        return list;
    for (const Substitution& s : kSubstitutions)
        for (const char16_t* name : s.families)
            if (IsFontFamilyResolvable(fromUtf16(name)))
                list.append(fromUtf16(name));
    const QStringList families = QFontDatabase::families();
    for (const QString& family : families)
        if (!list.contains(family, Qt::CaseInsensitive))
            list.append(family);
    return list;
}

} // namespace vesk
