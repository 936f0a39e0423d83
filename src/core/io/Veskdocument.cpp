#include "Veskdocument.h"

#include "Outlinebuild.h"
#include "Veskdocumentfile.h"
#include "Veskfilestream.h"
#include "shapes/Veskpart.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>
#include <QThread>
#include <cstring>
#include <filesystem>
#include <vector>

namespace vesk {

namespace {
// True when some container lies more than TVeskContainer::kMaxNesting
// levels below the root, `top` lying `depth` levels below it. Walked
// without recursion: the tree in question is the one too deep to recurse
// through safely.
bool nestsTooDeep(const TVeskContainer& top, int depth)
{
    std::vector<std::pair<const TVeskContainer*, int>> pending { { &top, depth } };
    while (!pending.empty()) {
        const auto [container, depth] = pending.back();
        pending.pop_back();
        for (const auto& child : container->Children()) {
            const auto* inner = dynamic_cast<const TVeskContainer*>(child.get());
            if (!inner)
                continue;
            if (depth + 1 > TVeskContainer::kMaxNesting)
                return true;
            pending.emplace_back(inner, depth + 1);
        }
    }
    return false;
}

// Removes the file when it exists; the path may name nothing.
void removeQuietly(const std::filesystem::path& path)
{
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}
} // namespace

bool NestsTooDeep(const TVeskObject& object)
{
    const auto* container = dynamic_cast<const TVeskContainer*>(&object);
    if (!container)
        return false;
    return nestsTooDeep(*container, 1);
}

QString BackupPath(const QString& fileName)
{
    return fileName + QStringLiteral(".bak");
}

TDocumentResult WriteDocumentFile(
    const QString& fileName, bool keepBackup, const std::function<void(TVesk_ostream&)>& write)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return { false, file.errorString() };
    TVesk_ostream out(file);
    write(out);
    if (!out.Flush()) {
        file.cancelWriting();
        return { false, out.ErrorString() };
    }
    // The replaced file is kept by a second name given to it before the
    // rename (a copy where links are not possible), so that a failure at
    // any point leaves both the file and the previous backup as they were.
    namespace fs = std::filesystem;
    const fs::path target = QFile::encodeName(fileName).toStdString();
    const fs::path backup = QFile::encodeName(BackupPath(fileName)).toStdString();
    fs::path held = backup;
    held += ".new";
    bool holding = false;
    if (keepBackup) {
        std::error_code error;
        if (fs::is_regular_file(target, error)) {
            removeQuietly(held);
            fs::create_hard_link(target, held, error);
            if (error) {
                error.clear();
                fs::copy_file(target, held, fs::copy_options::overwrite_existing, error);
            }
            holding = !error;
            if (error)
                removeQuietly(held);
        }
    }
    if (!file.commit()) {
        if (holding)
            removeQuietly(held);
        return { false, file.errorString() };
    }
    if (holding) {
        std::error_code error;
        fs::rename(held, backup, error);
        if (error)
            removeQuietly(held);
    }
    return {};
}

TVeskDocument::TVeskDocument()
    : root_(std::make_unique<TVeskPart>())
{
    layers_.ResetToDefaults();
    // Connected before anyone else can be, so that every later observer of the
    // layer (the tools) finds the selection already without its objects.
    QObject::connect(&layers_, &TVeskLayerList::layerChanged, &layers_, [this](TVeskLayer* layer) {
        if (root_ && layer && (!layer->visible || layer->locked))
            root_->DeselectOnLayer(*layer);
    });
    // What the index keeps per layer index follows the table.
    QObject::connect(&layers_, &TVeskLayerList::layersChanged, &layers_, [this] {
        std::vector<const TVeskLayer*> numbered;
        for (int i = 0; i < layers_.LayerCount(); ++i)
            numbered.push_back(layers_.LayerAt(i));
        if (numbered == numbered_)
            return; // the current layer moved, nothing else
        numbered_ = std::move(numbered);
        if (root_)
            root_->LayersRenumbered();
    });
}

TVeskDocument::~TVeskDocument()
{
    // Objects borrow the layers: let them go first.
    root_.reset();
}

void TVeskDocument::SetRoot(std::unique_ptr<TVeskPart> root)
{
    root_ = root ? std::move(root) : std::make_unique<TVeskPart>();
}

std::unique_ptr<TVeskPart> TVeskDocument::TakeRoot()
{
    auto taken = std::move(root_);
    root_ = std::make_unique<TVeskPart>();
    return taken;
}

void TVeskDocument::Reset()
{
    root_ = std::make_unique<TVeskPart>();
    layers_.ResetToDefaults();
    fileVersion_ = 3;
    skippedRecords_ = 0;
}

bool TVeskDocument::readFrom(TVesk_istream& in)
{
    Reset();
    if (in.HeaderMissing())
        return false;
    fileVersion_ = in.Version();
    root_.reset(); // the old objects must not outlive the layers they point at
    layers_.ReadLayerTable(in);
    in.SetLayers(&layers_);
    // The tree is read first and every outline built afterwards, using both
    // cores; the document shows the root only once it is complete, and an
    // empty one until then to whoever a new layer makes look.
    root_ = std::make_unique<TVeskPart>();
    auto root = std::make_unique<TVeskPart>();
    in.DeferOutlines();
    char tag[4];
    if (in.ReadRaw(tag, 4) && std::memcmp(tag, "PART", 4) == 0)
        root->Load(in);
    RebuildOutlines(in.TakeUnbuilt(), QThread::idealThreadCount());
    skippedRecords_ = in.SkippedRecords();
    root_ = std::move(root);
    // Reading made the last layer it added current, which is a mask ("hole") on most boards.
    layers_.ChooseDrawingLayer();
    return true;
}

TDocumentResult TVeskDocument::Read(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Reset();
        return { false, file.errorString() };
    }
    TVesk_istream in(file);
    if (!readFrom(in))
        return { false, QStringLiteral("not a document: the file is shorter than its header") };
    return {};
}

void TVeskDocument::ReadBytes(const QByteArray& fileBytes)
{
    TVesk_istream in = TVesk_istream::FromFileBytes(fileBytes);
    readFrom(in);
}

QByteArray TVeskDocument::ToBytes() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        TVesk_ostream out(buffer);
        layers_.WriteLayerTable(out);
        root_->Save(out);
    }
    return bytes;
}

TDocumentResult TVeskDocument::Write(const QString& fileName) const
{
    return WriteDocument(*this, fileName, false);
}

TDocumentResult WriteDocument(const TVeskDocument& document, const QString& fileName, bool keepBackup)
{
    // Written, such a document would read back without everything enclosing the deepest group.
    if (nestsTooDeep(document.Root(), 0))
        return { false, { TMessageId::NestedTooDeep, { QString::number(TVeskContainer::kMaxNesting) } } };
    return WriteDocumentFile(fileName, keepBackup, [&document](TVesk_ostream& out) {
        document.Layers().WriteLayerTable(out);
        document.Root().Save(out);
    });
}

} // namespace vesk
