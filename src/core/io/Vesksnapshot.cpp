#include "Vesksnapshot.h"

#include "Veskdocumentfile.h"
#include "Veskfilestream.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"
#include "shapes/Veskpart.h"

#include <QBuffer>
#include <algorithm>
#include <unordered_map>

namespace vesk {

namespace {
// The layer table of the document format, from a table taken earlier.
void writeLayerTable(TVesk_ostream& out, const TVeskLayerTable& table)
{
    out.WriteInt32(std::int32_t(table.entries.size()));
    for (auto it = table.entries.rbegin(); it != table.entries.rend(); ++it) {
        out.WriteString(it->name);
        out.WriteColor(it->color);
        out.WriteBool(it->mask);
        out.WriteBool(it->wireFrame);
    }
}
} // namespace

TVeskSnapshot::TVeskSnapshot() = default;

TVeskSnapshot::~TVeskSnapshot() = default;

std::shared_ptr<const TVeskSnapshot> TVeskSnapshot::Take(TVeskEdit& edit)
{
    if (edit.IsOpen())
        return nullptr;
    const TVeskDocument& document = edit.Document();
    const TVeskPart& root = document.Root();
    std::shared_ptr<TVeskSnapshot> snapshot(new TVeskSnapshot);
    snapshot->children_.reserve(root.Children().size());
    for (const auto& child : root.Children())
        if (std::shared_ptr<const TVeskObject> recorded = TVeskHistory::LastRecorded(*child))
            snapshot->children_.push_back(std::move(recorded));
    // The root's own block only: an empty part with its attributes.
    snapshot->own_ = std::make_unique<TVeskPart>();
    snapshot->own_->Assign(root);
    snapshot->own_->SetViewScale(root.ViewScale());
    snapshot->layers_ = document.Layers().Table();
    return snapshot;
}

bool TVeskSnapshot::SameState(const TVeskSnapshot& other) const
{
    return children_ == other.children_ && layers_ == other.layers_ && own_->SameState(*other.own_)
        && own_->ViewScale() == other.own_->ViewScale();
}

void TVeskSnapshot::writeBody(TVesk_ostream& out) const
{
    std::unordered_map<const TVeskLayer*, QString> names;
    for (const TVeskLayerTable::Entry& entry : layers_.entries)
        names.emplace(entry.layer, entry.name);
    out.SetLayerNames(std::move(names));
    writeLayerTable(out, layers_);
    // The root record as TVeskContainer::Save writes it.
    out.WriteRaw(own_->Tag(), 4);
    out.WriteInt32(std::int32_t(children_.size()));
    for (const auto& child : children_)
        child->Save(out);
    own_->TVeskObject::Save(out);
}

TDocumentResult TVeskSnapshot::Write(const QString& fileName) const
{
    if (std::any_of(children_.begin(), children_.end(), [](const auto& c) { return NestsTooDeep(*c); }))
        return { false, { TMessageId::NestedTooDeep, { QString::number(TVeskContainer::kMaxNesting) } } };
    return WriteDocumentFile(fileName, false, [this](TVesk_ostream& out) { writeBody(out); });
}

QByteArray TVeskSnapshot::ToBytes() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        TVesk_ostream out(buffer);
        writeBody(out);
    }
    return bytes;
}

} // namespace vesk
