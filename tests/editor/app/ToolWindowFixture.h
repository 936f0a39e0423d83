#pragma once

// The real main window shown offscreen with its tool windows, a settings
// file and a folder of its own, scripted answers for its questions, and the
// helpers the tool window tests share: rectangles on a layer, modal dialogs
// answered as they come up, and a document saved and read back.
#include "FakeDialogs.h"
#include "WaitFor.h"
#include "app/Editorcontext.h"
#include "app/Mainform.h"
#include "io/Veskdocument.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace vesk::test {

class ToolWindowFixture : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        startWith(QByteArray());
    }

    void TearDown() override
    {
        form.reset();
        context.reset();
    }

    // A fresh program over a settings file with these contents (none when empty).
    void startWith(const QByteArray& settings)
    {
        form.reset();
        context.reset();
        QFile::remove(ini());
        if (!settings.isEmpty()) {
            QFile file(ini());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(settings);
        }
        context = std::make_unique<TEditorContext>(ini());
        configure(*context);
        auto fake = std::make_unique<FakeDialogs>();
        dialogs = fake.get();
        context->SetDialogs(std::move(fake));
        form = std::make_unique<TVeskForm>(*context);
        form->StartUp(QString());
        form->show();
        ASSERT_TRUE(WaitFor([&] { return form->isVisible(); }));
        QApplication::processEvents();
    }

    // Settings of the context made before the windows, such as its data folders.
    virtual void configure(TEditorContext& /*context*/) { }

    QString ini() const { return dir.filePath(QStringLiteral("VeskV.ini")); }
    QString temp(const char* name) const { return dir.filePath(QLatin1String(name)); }
    TVeskDocument& document() { return context->Document(); }
    TVeskLayerList& layers() { return context->Document().Layers(); }
    bool modified() const { return context->History().IsModified(); }
    int steps() const { return context->History().Count(); }

    // A rectangle with this surface on the layer at the index, unselected.
    TVeskObject* addRect(int layerIndex, const TVeskSurface& surface, RectF at = { 0, 0, 100, 60 })
    {
        TVeskRect proto(layers().LayerAt(layerIndex), surface);
        proto.SetCorners({ at.X, at.Y }, { at.X + at.Width, at.Y + at.Height });
        proto.SetSelected(false);
        return document().Root().Add(proto);
    }

    // Saves through the menu command and reads the file back.
    std::unique_ptr<TVeskDocument> saveAndRead(const char* name)
    {
        dialogs->saveName = temp(name);
        form->SaveAsNameMenuClick();
        auto read = std::make_unique<TVeskDocument>();
        EXPECT_TRUE(read->Read(temp(name)).ok);
        return read;
    }

    QTemporaryDir dir;
    std::unique_ptr<TEditorContext> context;
    std::unique_ptr<TVeskForm> form;
    FakeDialogs* dialogs = nullptr;
};

// Runs the action on the first modal dialog of type T that comes up, from
// inside its event loop. The action must close the dialog. Gives up after
// a generous while, so that a dialog that never comes fails the test's own
// checks instead of answering a later test's dialog.
template <class T> void WhenModal(std::function<void(T&)> action)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, action, ticks] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog || ++*ticks > 1000) {
            poll->stop();
            poll->deleteLater();
        }
        if (dialog)
            action(*dialog);
    });
    poll->start();
}

} // namespace vesk::test
