#include "app/Settingsfile.h"

#include "app/Settingskeys.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace vesk;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("VeskV.ini")); }

    void writeBytes(const QByteArray& bytes) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray readBytes() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

TEST_F(SettingsFileTest, ReadsValuesOrTheirDefaults)
{
    const QByteArray file = "Top=1\n"
                            "[MainWindow]\n"
                            "  top = 7  \n"
                            "Left=abc\n"
                            ";Width=3\n"
                            "Height=12x\n"
                            "[WorkArea]\n"
                            "AreaWidth=1605\r\n"
                            "Name=Layer=one\n"
                            "[mainwindow]\n"
                            "Width=999\n"
                            "[StatusTab]\n"
                            "DefaultGrid=2.54\n"
                            "Grid0=-0.5\n";
    writeBytes(file);
    const TSettingsFile ini(path());
    struct Case {
        const char* section;
        const char* key;
        int fallback;
        int expected;
    };
    const Case ints[] = {
        { "MainWindow", "Top", 100, 7 }, // names ignore case and blanks
        { "MAINWINDOW", "TOP", 100, 7 }, //
        { "MainWindow", "Left", 100, 100 }, // not a number
        { "MainWindow", "Width", 677, 677 }, // commented out; a repeated section is not read
        { "MainWindow", "Height", 509, 509 }, // trailing garbage
        { "WorkArea", "AreaWidth", 1000, 1605 }, // CRLF line
        { "WorkArea", "AreaHeight", 750, 750 }, // missing key
        { "Nowhere", "Top", 100, 100 }, // missing section; keys before any section belong to none
    };
    for (const Case& c : ints)
        EXPECT_EQ(ini.ReadInteger(s(c.section), s(c.key), c.fallback), c.expected)
            << c.section << "/" << c.key;

    EXPECT_EQ(ini.ReadString(s("WorkArea"), s("Name"), QString()), s("Layer=one"));
    EXPECT_DOUBLE_EQ(ini.ReadFloat(s("StatusTab"), s("DefaultGrid"), 1.27), 2.54);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(s("StatusTab"), s("Grid0"), 1.0), -0.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(s("StatusTab"), s("Grid1"), 1.0), 1.0);
    EXPECT_TRUE(ini.ValueExists(s("workarea"), s("areawidth")));
    EXPECT_FALSE(ini.ValueExists(s("WorkArea"), s("AreaHeight")));
}

TEST_F(SettingsFileTest, MissingFileGivesEveryDefault)
{
    const TSettingsFile ini(path());
    EXPECT_EQ(ReadPlacement(ini, settings::kMainWindow), (TWindowPlacement { 100, 100, 677, 509 }));
    EXPECT_EQ(ReadPlacement(ini, settings::kLayerSwapWindow), (TWindowPlacement { 215, 371, 411, 414 }));
    EXPECT_EQ(ReadPlacement(ini, settings::kWorkArea), (TWindowPlacement { 100, 100, 240, 145 }));
    EXPECT_DOUBLE_EQ(ReadDefaultGridPitch(ini, 12.7), 12.7);
    EXPECT_TRUE(ini.ReadRealList(s("SurfaceTab"), s("Width")).empty());
    EXPECT_TRUE(ini.ReadStringList(s("VeskImportWindow"), s("Layer")).isEmpty());
}

TEST_F(SettingsFileTest, NumberedListsStopWhereTheyShould)
{
    writeBytes("[SurfaceTab]\nWidth0=0.5\nWidth1=1\nWidth2=-3\nWidth3=2\n"
               "[StatusTab]\nGrid0=1.27\nGrid1=x\nGrid2=2.54\n"
               "[VeskImportWindow]\nLayer0=solder\nLayer1=\nLayer2=\x95\x94\x95\x69\x96\xca\nLayer4=gap\n"
               "[Other]\nLayer0=elsewhere\n");
    const TSettingsFile ini(path());
    EXPECT_EQ(ini.ReadRealList(s("SurfaceTab"), s("Width")), (std::vector<double> { 0.5, 1.0 }));
    EXPECT_EQ(ini.ReadRealList(s("StatusTab"), s("Grid")), (std::vector<double> { 1.27 }));
    // An empty value still exists; the first missing number ends the list.
    EXPECT_EQ(ini.ReadStringList(s("VeskImportWindow"), s("Layer")),
        (QStringList { s("solder"), QString(), QString::fromUtf8("部品面") }));
}

TEST_F(SettingsFileTest, DefaultGridGivesThePitchInDocumentUnits)
{
    const struct {
        const char* value;
        double pitch;
    } cases[] = {
        { "2.54", 25.4 },
        { "0.1", 1.0 },
        { "0", 12.7 },
        { "-1", 12.7 },
        { "100", 12.7 },
        { "99.9", 999.0 },
        { "abc", 12.7 },
        { "nan", 12.7 },
    };
    for (const auto& c : cases) {
        writeBytes(QByteArray("[StatusTab]\nDefaultGrid=") + c.value + "\n");
        EXPECT_NEAR(ReadDefaultGridPitch(TSettingsFile(path()), 12.7), c.pitch, 1e-9) << c.value;
    }
}

// Writes change only the lines they must; everything else stays byte for byte.
TEST_F(SettingsFileTest, WritesKeepTheRestOfTheFile)
{
    using Edit = std::function<void(TSettingsFile&)>;
    const struct {
        const char* name;
        QByteArray before;
        Edit edit;
        QByteArray after;
    } cases[] = {
        { "existing key changes in place, own spelling kept",
            "; hand comment\n[MainWindow]\ntop=1\nUnknown=keep me\n\n[LayerWindow]\nTop=5\n",
            [](TSettingsFile& f) { f.WriteInteger(s("MainWindow"), s("Top"), 42); },
            "; hand comment\n[MainWindow]\ntop=42\nUnknown=keep me\n\n[LayerWindow]\nTop=5\n" },
        { "new key goes after the section's last entry, before the blank line",
            "[MainWindow]\nTop=1\n\n[LayerWindow]\nTop=5\n",
            [](TSettingsFile& f) { f.WriteInteger(s("MainWindow"), s("Left"), -3); },
            "[MainWindow]\nTop=1\nLeft=-3\n\n[LayerWindow]\nTop=5\n" },
        { "new section at the end after a blank line", "[LayerWindow]\nTop=5\n",
            [](TSettingsFile& f) { f.WriteInteger(s("WorkArea"), s("AreaWidth"), 1605); },
            "[LayerWindow]\nTop=5\n\n[WorkArea]\nAreaWidth=1605\n" },
        { "line ends and a missing final line end are kept", "[A]\r\nx=1\r\n[B]\r\ny=2",
            [](TSettingsFile& f) {
                f.WriteInteger(s("A"), s("x"), 3);
                f.WriteInteger(s("B"), s("z"), 4);
            },
            "[A]\r\nx=3\r\n[B]\r\ny=2\r\nz=4" },
        { "CP932 text, and bytes that are not CP932 survive",
            "[Other]\nRaw=\x80\xFF\xFD\n[VeskImportWindow]\nLayer0=x\n",
            [](TSettingsFile& f) {
                f.WriteString(s("VeskImportWindow"), s("Layer0"), QString::fromUtf8("部品面"));
            },
            "[Other]\nRaw=\x80\xFF\xFD\n[VeskImportWindow]\nLayer0=\x95\x94\x95\x69\x96\xca\n" },
        { "a line break cannot start a new key", "",
            [](TSettingsFile& f) { f.WriteString(s("VeskImportWindow"), s("Layer0"), s("a\nTop=1\r\nb")); },
            "[VeskImportWindow]\nLayer0=a Top=1  b\n" },
        { "a shorter mapping leaves the rows beyond it", "[VeskImportWindow]\nLayer0=a\nLayer1=b\nLayer2=c\n",
            [](TSettingsFile& f) { f.WriteStringList(s("VeskImportWindow"), s("Layer"), { s("x") }); },
            "[VeskImportWindow]\nLayer0=x\nLayer1=b\nLayer2=c\n" },
        { "a UTF-8 file with a byte order mark stays UTF-8", "\xEF\xBB\xBF[VeskImportWindow]\nLayer0=a\n",
            [](TSettingsFile& f) {
                f.WriteString(s("VeskImportWindow"), s("Layer0"), QString::fromUtf8("部品面"));
            },
            "\xEF\xBB\xBF[VeskImportWindow]\nLayer0=\xE9\x83\xA8\xE5\x93\x81\xE9\x9D\xA2\n" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path());
        if (!c.before.isEmpty())
            writeBytes(c.before);
        TSettingsFile ini(path());
        c.edit(ini);
        ASSERT_TRUE(ini.UpdateFile());
        EXPECT_EQ(readBytes(), c.after);
    }
}

TEST_F(SettingsFileTest, WindowsWritingInTurnKeepEachOthersSections)
{
    writeBytes("[Mine]\nHand=edited\n");
    {
        TSettingsFile first(path());
        WritePlacement(first, settings::kLayerWindow, { 1, 2, 3, 4 });
        ASSERT_TRUE(first.UpdateFile());
    }
    {
        TSettingsFile second(path());
        WritePlacement(second, settings::kToolWindow, { 5, 6, 7, 8 });
        ASSERT_TRUE(second.UpdateFile());
    }
    const TSettingsFile ini(path());
    EXPECT_EQ(ReadPlacement(ini, settings::kLayerWindow), (TWindowPlacement { 1, 2, 3, 4 }));
    // The tool bar keeps only its position.
    EXPECT_EQ(ReadPlacement(ini, settings::kToolWindow), (TWindowPlacement { 5, 6, 0, 0 }));
    EXPECT_FALSE(ini.ValueExists(s("ToolWindow"), s("Width")));
    EXPECT_EQ(ini.ReadString(s("Mine"), s("Hand"), QString()), s("edited"));
}

TEST_F(SettingsFileTest, UnwritableFileIsReportedAndNothingIsLeftBehind)
{
    // The folder the file should be in is a plain file: it can never be created.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TSettingsFile ini(dir.filePath(QStringLiteral("blocker/VeskV.ini")));
    ini.WriteInteger(s("MainWindow"), s("Top"), 1);
    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { s("blocker") });
}

TEST_F(SettingsFileTest, LivesBesideTheProgramWhenItsFolderIsWritable)
{
    const QString program = dir.filePath(QStringLiteral("bin"));
    const QString config = dir.filePath(QStringLiteral("config/Vesk2.0"));
    ASSERT_TRUE(QDir().mkpath(program));
    EXPECT_EQ(TSettingsFile::Locate(program, config), program + s("/VeskV.ini"));
    // A program folder that cannot hold the file sends it to the configuration folder.
    EXPECT_EQ(
        TSettingsFile::Locate(dir.filePath(QStringLiteral("missing")), config), config + s("/VeskV.ini"));
    EXPECT_EQ(TSettingsFile::Locate(QString(), config), config + s("/VeskV.ini"));
}

} // namespace
