// The example board that ships with the sources, as a user takes it to a
// board house: opened in the real main window, every layer that holds
// artwork exported with the drill file in each Gerber format, and every
// file written read by gerbv, a reader nobody here wrote.
#include "FakeDialogs.h"
#include "app/Editorcontext.h"
#include "app/Gerberform.h"
#include "app/Mainform.h"
#include "model/Veskhistory.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

TEST(ExampleBoard, OpensExportsInEachFormatAndGerbvReadsEveryFile)
{
    const QString reader = QStandardPaths::findExecutable(QStringLiteral("gerbv"));
    ASSERT_FALSE(reader.isEmpty()) << "gerbv (tools/setup.sh installs it)";
    const struct {
        const char* format;
        const char* layerMark; // what each layer file of the format carries
    } formats[] = {
        { "RS-274X (従来)", "%MIA0B1*%" },
        { "Gerber X2", "TF.FileFunction," },
    };
    for (const auto& f : formats) {
        SCOPED_TRACE(f.format);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        TEditorContext context(dir.filePath(QStringLiteral("VeskV.ini")));
        auto fake = std::make_unique<FakeDialogs>();
        FakeDialogs& dialogs = *fake;
        context.SetDialogs(std::move(fake));
        TVeskForm form(context);
        form.StartUp(QString());

        dialogs.openName = QStringLiteral(VESK_EXAMPLES "/blinker555.vbf");
        form.OpenMenuClick();
        ASSERT_TRUE(dialogs.errors.empty());
        ASSERT_GT(context.Document().Root().ChildCount(), 0);
        EXPECT_FALSE(context.History().IsModified());

        // Tick the layers a two-sided board sends: copper, masks, silk, outline.
        TGerberForm& gerber = form.GerberForm();
        gerber.show();
        const QStringList sent { QStringLiteral("solder"), QStringLiteral("component"),
            QStringLiteral("stop_sol"), QStringLiteral("stop_cmp"), QStringLiteral("place_cmp"),
            QStringLiteral("dimension") };
        for (int i = 0; i < gerber.LayerList()->count(); ++i) {
            QListWidgetItem* row = gerber.LayerList()->item(i);
            row->setCheckState(sent.contains(row->text()) ? Qt::Checked : Qt::Unchecked);
        }
        gerber.FormatBox()->setCurrentText(QString::fromUtf8(f.format));
        gerber.DrillCheckBox()->setChecked(true);
        const QString out = dir.filePath(QStringLiteral("out"));
        ASSERT_TRUE(QDir().mkpath(out));
        dialogs.folderName = out;
        gerber.ButtonOkClick();
        ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front().text.toStdString();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        // Eight pins of the chip, two each of five leaded parts, three of the header.
        EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("drill.drl (穴 21,")))
            << dialogs.messages[0].text.toStdString();

        QStringList expected { QStringLiteral("drill.drl") };
        for (const QString& layer : sent)
            expected << layer + QStringLiteral(".gbr");
        expected.sort();
        const QStringList written = QDir(out).entryList(QDir::Files, QDir::Name);
        ASSERT_EQ(written, expected);

        for (const QString& file : written) {
            SCOPED_TRACE(file.toStdString());
            QFile text(QDir(out).filePath(file));
            ASSERT_TRUE(text.open(QIODevice::ReadOnly));
            const QByteArray bytes = text.readAll();
            if (file.endsWith(QLatin1String(".gbr")))
                EXPECT_TRUE(bytes.contains(f.layerMark));
            // gerbv exits 0 whatever it finds; fatal criticals make a file it
            // cannot parse fail, and an empty picture means it drew nothing.
            QProcess gerbv;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("G_DEBUG"), QStringLiteral("fatal-criticals"));
            env.remove(QStringLiteral("DISPLAY"));
            gerbv.setProcessEnvironment(env);
            const QString png = dir.filePath(file + QStringLiteral(".png"));
            gerbv.start(reader,
                { QStringLiteral("-x"), QStringLiteral("png"), QStringLiteral("-o"), png, text.fileName() });
            ASSERT_TRUE(gerbv.waitForFinished(30000));
            EXPECT_EQ(gerbv.exitCode(), 0) << gerbv.readAllStandardError().toStdString();
            const QImage picture(png);
            ASSERT_FALSE(picture.isNull());
            const QRgb background = picture.pixel(0, 0);
            bool drawn = false;
            for (int y = 0; y < picture.height() && !drawn; ++y)
                for (int x = 0; x < picture.width() && !drawn; ++x)
                    drawn = picture.pixel(x, y) != background;
            EXPECT_TRUE(drawn);
        }
    }
}

} // namespace
