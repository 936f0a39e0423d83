#include "Veskpartfile.h"

#include "Veskfilestream.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskcontainer.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

namespace vesk {

std::unique_ptr<TVeskGroup> ReadPartFile(const QString& fileName, TVeskLayerList& layers)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return ReadPart(file, layers);
}

namespace {

// The file's table goes into `stored`; the objects land on `layers`, or on
// `stored` itself when that is null.
std::unique_ptr<TVeskGroup> readPart(QIODevice& device, TVeskLayerList& stored, TVeskLayerList* layers)
{
    TVesk_istream in(device);
    if (in.HeaderMissing())
        return nullptr;
    if (!stored.ReadLayerTable(in))
        return nullptr;
    in.SetLayers(layers ? layers : &stored);
    char tag[4];
    if (!in.ReadRaw(tag, 4) || std::memcmp(tag, "PART", 4) != 0)
        return nullptr;
    const TVeskPart part(in);
    if (in.Failed())
        return nullptr;
    return part.ToGroup();
}

void moveToLayers(TVeskObject& object, const std::function<TVeskLayer*(const TVeskLayer&)>& layerFor)
{
    if (auto* container = dynamic_cast<TVeskContainer*>(&object)) {
        for (int i = 0; i < container->ChildCount(); ++i)
            moveToLayers(*container->ChildAt(i), layerFor);
    } else if (auto* instance = dynamic_cast<TVeskInstance*>(&object)) {
        if (const TVeskLayer* own = instance->GetLayer())
            instance->SetLayer(layerFor(*own));
    }
}

} // namespace

std::unique_ptr<TVeskGroup> ReadPart(QIODevice& device, TVeskLayerList& layers)
{
    TVeskLayerList stored;
    return readPart(device, stored, &layers);
}

TVeskPartArtwork::TVeskPartArtwork()
    : layers_(std::make_unique<TVeskLayerList>())
{
}

TVeskPartArtwork::~TVeskPartArtwork() = default;

std::unique_ptr<TVeskPartArtwork> TVeskPartArtwork::ReadFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return Read(file);
}

std::unique_ptr<TVeskPartArtwork> TVeskPartArtwork::Read(QIODevice& device)
{
    std::unique_ptr<TVeskPartArtwork> artwork(new TVeskPartArtwork);
    artwork->group_ = readPart(device, *artwork->layers_, nullptr);
    return artwork->group_ ? std::move(artwork) : nullptr;
}

std::unique_ptr<TVeskGroup> TVeskPartArtwork::PlaceOn(TVeskLayerList& into) const
{
    std::unique_ptr<TVeskGroup> copy(static_cast<TVeskGroup*>(group_->Clone().release()));
    TVeskLayer* const current = into.CurrentLayer();
    std::map<const TVeskLayer*, TVeskLayer*> placed;
    moveToLayers(*copy, [&](const TVeskLayer& own) {
        TVeskLayer*& target = placed[&own];
        if (!target)
            target = into.FindLayer(own.Name());
        if (!target) {
            target = into.AddNamedLayer(own.opaqueColor, own.Name());
            target->SetMask(own.mask);
            target->SetWireFrame(own.wireFrame);
        }
        return target;
    });
    into.SetCurrent(current);
    return copy;
}

namespace {

// Runs of digits compare as numbers, everything else case-insensitively.
// Deliberately independent of the locale, so every user sees one order.
int naturalCompare(const QString& a, const QString& b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            // Leading zeros do not make a number larger.
            qsizetype si = i, sj = j;
            while (si + 1 < ei && a[si] == u'0')
                ++si;
            while (sj + 1 < ej && b[sj] == u'0')
                ++sj;
            if (ei - si != ej - sj)
                return ei - si < ej - sj ? -1 : 1;
            if (const int c = QStringView(a).sliced(si, ei - si).compare(QStringView(b).sliced(sj, ej - sj)))
                return c;
            i = ei;
            j = ej;
            continue;
        }
        const QChar ca = a[i].toCaseFolded(), cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return 0;
}

QStringList sortedEntries(const QString& folder, QDir::Filters filters, const QStringList& patterns)
{
    // Without QDir::Hidden the listing leaves out dot entries.
    QStringList names = QDir(folder).entryList(patterns, filters | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = naturalCompare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

} // namespace

QStringList PartSubfolders(const QString& folder)
{
    return sortedEntries(folder, QDir::Dirs, {});
}

QStringList PartFiles(const QString& folder)
{
    return sortedEntries(folder, QDir::Files, { QStringLiteral("*.vbf") });
}

} // namespace vesk
