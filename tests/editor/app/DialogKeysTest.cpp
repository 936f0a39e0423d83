// Enter and Escape in every dialog of the editor, pressed where the user
// types: Enter does what OK does, wherever the focus is but on Cancel;
// Escape closes with nothing done.
#include "ToolWindowFixture.h"
#include "app/Gerberform.h"
#include "app/Layeredit.h"
#include "app/Layerswapform.h"
#include "app/Libraryform.h"
#include "app/Numericinputform.h"
#include "app/Printform.h"
#include "app/Textform.h"
#include "app/Valuelisteditor.h"
#include "app/Veskimportform.h"
#include "app/Workareaform.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>
#include <functional>

using namespace vesk;

namespace {

class DialogKeysTest;

// One dialog: shows it with something typed where the focus is left, and
// checks what Enter did.
struct DialogCase {
    const char* name;
    std::function<QDialog*(DialogKeysTest&)> open;
    std::function<void(DialogKeysTest&)> enterDid;
    // Dialogs that stay open after doing their work.
    bool staysOpen = false;
};

class DialogKeysTest : public test::ToolWindowFixture,
                       public ::testing::WithParamInterface<std::tuple<DialogCase, Qt::Key>> {
public:
    void TearDown() override
    {
        own.reset();
        ToolWindowFixture::TearDown();
    }

    // Shows the dialog active, with the focus on `focus`.
    QDialog* showWithFocus(QDialog& dialog, QWidget* focus)
    {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        focus->setFocus();
        return &dialog;
    }
    // Shows the dialog with the text typed over the field's, the focus left there.
    QDialog* typeInto(QDialog& dialog, QLineEdit* field, const QString& text)
    {
        showWithFocus(dialog, field);
        field->selectAll();
        QTest::keyClicks(field, text);
        return &dialog;
    }
    // A dialog the editor makes for one use, kept for the test.
    template <class Dialog> Dialog& make()
    {
        auto dialog = std::make_unique<Dialog>();
        Dialog& d = *dialog;
        own = std::move(dialog);
        return d;
    }

    std::unique_ptr<QDialog> own;
};

TEST_P(DialogKeysTest, EnterConfirmsAndEscapeCancels)
{
    const auto& [c, key] = GetParam();
    QDialog* dialog = c.open(*this);
    ASSERT_TRUE(dialog->isVisible());
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key);
    if (key == Qt::Key_Escape) {
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        return;
    }
    EXPECT_EQ(dialog->isVisible(), c.staysOpen);
    if (!c.staysOpen) {
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
    }
    c.enterDid(*this);
    dialog->hide();
}

const DialogCase kDialogs[] = {
    { "TextAfterTabToOK",
        [](DialogKeysTest& t) {
            auto& d = t.make<TTextForm>();
            t.showWithFocus(d, d.TextMemo());
            QTest::keyClicks(d.TextMemo(), QStringLiteral("AB"));
            QTest::keyClick(d.TextMemo(), Qt::Key_Tab);
            return &d;
        },
        [](DialogKeysTest& t) {
            EXPECT_EQ(static_cast<TTextForm&>(*t.own).resultText, QStringLiteral("AB"));
        } },
    { "TextInTheSizeField",
        [](DialogKeysTest& t) {
            auto& d = t.make<TTextForm>();
            return t.typeInto(d, d.SizeEdit(), QStringLiteral("2.5"));
        },
        [](DialogKeysTest& t) { EXPECT_EQ(static_cast<TTextForm&>(*t.own).size, 25.0f); } },
    { "WorkArea",
        [](DialogKeysTest& t) {
            TWorkAreaForm& d = t.form->WorkAreaForm();
            return t.typeInto(d, d.WidthPair().Edit(), QStringLiteral("120"));
        },
        [](DialogKeysTest& t) { EXPECT_EQ(t.form->WorkAreaForm().AreaWidth(), 1200.0); } },
    { "NumericInput",
        [](DialogKeysTest& t) {
            auto& d = t.make<TNumericInputForm>();
            return t.typeInto(d, d.XEdit(), QStringLiteral("1.5"));
        },
        [](DialogKeysTest&) {} },
    { "GerberExport",
        [](DialogKeysTest& t) {
            t.dialogs->folderName = t.dir.path();
            TGerberForm& d = t.form->GerberForm();
            return t.showWithFocus(d, d.LayerList());
        },
        [](DialogKeysTest& t) { EXPECT_EQ(t.dialogs->folderRequests.size(), 1u); } },
    { "Print",
        [](DialogKeysTest& t) {
            TPrintForm& d = t.form->PrintForm();
            d.Printer().setOutputFormat(QPrinter::PdfFormat);
            d.Printer().setOutputFileName(t.dir.filePath(QStringLiteral("printed.pdf")));
            return t.showWithFocus(d, d.LayerListBox());
        },
        [](DialogKeysTest& t) {
            EXPECT_TRUE(QFile::exists(t.dir.filePath(QStringLiteral("printed.pdf"))));
            EXPECT_TRUE(t.dialogs->errors.empty());
        },
        true },
    { "LayerSwap",
        [](DialogKeysTest& t) {
            TLayerSwapForm& d = t.form->LayerSwapForm();
            d.show();
            return t.showWithFocus(d, d.LayerList().cellWidget(0, 1));
        },
        [](DialogKeysTest&) {} },
    { "Import",
        [](DialogKeysTest& t) {
            TVeskImportForm& d = t.form->ImportForm();
            return t.showWithFocus(d, &d.LayerList());
        },
        [](DialogKeysTest&) {} },
    { "Library",
        [](DialogKeysTest& t) {
            TLibraryForm& d = t.form->LibraryForm();
            return t.showWithFocus(d, d.findChild<QTreeWidget*>());
        },
        [](DialogKeysTest&) {} },
    { "LayerEdit",
        [](DialogKeysTest& t) {
            auto& d = t.make<TLayerEdit>();
            d.LoadLayer(t.layers().FindLayer(QStringLiteral("other")));
            return t.typeInto(d, d.NameEdit, QStringLiteral("silk2"));
        },
        [](DialogKeysTest& t) { EXPECT_NE(t.layers().FindLayer(QStringLiteral("silk2")), nullptr); } },
};

INSTANTIATE_TEST_SUITE_P(Editor, DialogKeysTest,
    ::testing::Combine(::testing::ValuesIn(kDialogs), ::testing::Values(Qt::Key_Return, Qt::Key_Escape)),
    [](const ::testing::TestParamInfo<std::tuple<DialogCase, Qt::Key>>& info) {
        return std::string(std::get<0>(info.param).name)
            + (std::get<1>(info.param) == Qt::Key_Escape ? "Escape" : "Enter");
    });

} // namespace
