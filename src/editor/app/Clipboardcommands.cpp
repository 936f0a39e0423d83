#include "Clipboardcommands.h"

#include "Japanesemessages.h"
#include "Veskcommand.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "io/Objectrecords.h"
#include "io/Veskdocument.h"
#include "shapes/Veskcontainer.h"
#include "shapes/Veskpart.h"

#include <QClipboard>
#include <QMimeData>
#include <unordered_map>
#include <vector>

namespace vesk {

const QString TClipboardCommands::kMimeType
    = QStringLiteral("application/x-qt-windows-mime;value=\"CF_VESK2.01_OBJ\"");

namespace {

std::vector<TVeskObject*> selectedObjects(TVeskToolHost& host)
{
    std::vector<TVeskObject*> list;
    host.Document().Root().CollectSelected(list, -1);
    return list;
}

// Each container lets its objects go at once: one at a time, every removal
// would rebuild the container's drawing order.
void removeAll(const std::vector<TVeskObject*>& objects)
{
    std::unordered_map<TVeskObject*, std::vector<TVeskObject*>> byOwner;
    for (TVeskObject* object : objects)
        byOwner[object->GetOwner()].push_back(object);
    for (auto& [owner, leaving] : byOwner) {
        if (auto* container = dynamic_cast<TVeskContainer*>(owner))
            container->RemoveChildren(leaving);
        else
            for (TVeskObject* object : leaving)
                object->Delete();
    }
}

} // namespace

TClipboardCommands::TClipboardCommands(TVeskToolHost& host, TVeskToolBar& tools, QClipboard& clipboard)
    : host_(host)
    , tools_(tools)
    , clipboard_(clipboard)
{
}

bool TClipboardCommands::Copy()
{
    const std::vector<TVeskObject*> objects = selectedObjects(host_);
    if (objects.empty())
        return false;
    const QByteArray records = WriteObjectRecords(objects);
    if (records.isEmpty())
        return false;
    // Other programs' formats stay beside ours.
    auto* data = new QMimeData;
    if (const QMimeData* current = clipboard_.mimeData())
        for (const QString& format : current->formats())
            if (format != kMimeType)
                data->setData(format, current->data(format));
    data->setData(kMimeType, records);
    clipboard_.setMimeData(data);
    const QMimeData* placed = clipboard_.mimeData();
    return placed && placed->data(kMimeType) == records;
}

bool TClipboardCommands::Cut()
{
    TVeskCommand cut(tools_, QStringLiteral("切り取り"));
    if (!Copy())
        return false;
    removeAll(selectedObjects(host_));
    cut.Commit();
    tools_.ResetToFirstTool();
    if (TVeskEventProc* tool = tools_.CurrentTool())
        tool->RequestRedraw();
    return true;
}

int TClipboardCommands::Paste()
{
    const QMimeData* data = clipboard_.mimeData();
    if (!data || !data->hasFormat(kMimeType))
        return 0;
    const QByteArray records = data->data(kMimeType);
    // Open before reading: the records bring the layers they name.
    TVeskCommand paste(tools_, QStringLiteral("貼り付け"));
    TVeskDocument& document = host_.Document();
    int skipped = 0;
    std::vector<std::unique_ptr<TVeskObject>> objects
        = ReadObjectRecords(records, document.Layers(), &skipped);
    if (skipped > 0)
        host_.ShowMessage(SkippedRecordsNote(QStringLiteral("貼り付け"), skipped));
    if (objects.empty())
        return 0;
    TVeskPart& root = document.Root();
    root.SetSelected(false);
    for (auto& object : objects)
        root.Adopt(std::move(object))->SetSelected(true);
    paste.Commit();
    return int(objects.size());
}

} // namespace vesk
