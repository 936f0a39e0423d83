#include "Veskfilestream.h"

#include "Codepage.h"
#include "Outlinebuild.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <QFileDevice>
#include <QIODevice>
#include <QtEndian>
#include <bit>
#include <cmath>
#include <cstring>

namespace vesk {

namespace {
constexpr qsizetype kFlushThreshold = 1 << 16;
constexpr ARGB kNewLayerColor = 0xFF808080;
// Longer texts are hardly repeated; they are decoded each time.
constexpr qsizetype kRememberedLength = 64;

bool sane(float v, float limit)
{
    return std::isfinite(v) && std::abs(v) <= limit;
}
} // namespace

// ---------------------------------------------------------------- writer

TVesk_ostream::TVesk_ostream(QIODevice& device)
    : device_(&device)
{
    WriteRaw(header_.magic, 8);
    WriteInt32(header_.version);
    WriteInt32(header_.headerLength);
}

TVesk_ostream::TVesk_ostream() = default;

TVesk_ostream::~TVesk_ostream()
{
    Flush();
}

void TVesk_ostream::fail(const QString& why)
{
    if (!failed_) {
        failed_ = true;
        error_ = why;
    }
}

void TVesk_ostream::put(const void* data, qsizetype n)
{
    if (failed_)
        return;
    buffer_.append(static_cast<const char*>(data), n);
    if (device_ && buffer_.size() >= kFlushThreshold)
        Flush();
}

bool TVesk_ostream::Flush()
{
    if (failed_)
        return false;
    if (!device_ || buffer_.isEmpty())
        return true;
    const qint64 written = device_->write(buffer_);
    if (written != buffer_.size()) {
        fail(device_->errorString());
        return false;
    }
    buffer_.clear();
    // A file keeps small writes in its own buffer; a full disk only shows when that is emptied.
    if (auto* file = qobject_cast<QFileDevice*>(device_); file && !file->flush()) {
        fail(file->errorString());
        return false;
    }
    return true;
}

void TVesk_ostream::WriteInt32(std::int32_t v)
{
    const std::int32_t le = qToLittleEndian(v);
    put(&le, 4);
}

void TVesk_ostream::WriteBool(bool v)
{
    const char b = v ? 1 : 0;
    put(&b, 1);
}

void TVesk_ostream::WriteFloat(float v)
{
    WriteInt32(std::bit_cast<std::int32_t>(v));
}

void TVesk_ostream::WriteDouble(double v)
{
    const std::uint64_t le = qToLittleEndian(std::bit_cast<std::uint64_t>(v));
    put(&le, 8);
}

void TVesk_ostream::WriteString(const QString& s)
{
    const QByteArray bytes = EncodeAnsi(s);
    WriteInt32(std::int32_t(bytes.size()));
    put(bytes.constData(), bytes.size());
}

void TVesk_ostream::WriteLayerRef(const TVeskLayer* layer)
{
    if (!namesGiven_) {
        WriteString(layer ? layer->Name() : QString());
        return;
    }
    const auto it = layer ? layerNames_.find(layer) : layerNames_.end();
    WriteString(it == layerNames_.end() ? QString() : it->second);
}

void TVesk_ostream::WriteWideString(const QString& s)
{
    WriteInt32(std::int32_t(s.size()));
    for (QChar ch : s) {
        const std::uint16_t le = qToLittleEndian(std::uint16_t(ch.unicode()));
        put(&le, 2);
    }
}

void TVesk_ostream::WriteColor(ARGB c)
{
    const std::uint32_t be = qToBigEndian(std::uint32_t(c));
    put(&be, 4);
}

void TVesk_ostream::WriteMatrix(const Matrix& m)
{
    for (float e : m.Elements())
        WriteFloat(e);
}

void TVesk_ostream::WritePoint(PointF p)
{
    WriteFloat(p.X);
    WriteFloat(p.Y);
}

void TVesk_ostream::WriteRect(const RectF& r)
{
    WriteFloat(r.X);
    WriteFloat(r.Y);
    WriteFloat(r.Width);
    WriteFloat(r.Height);
}

void TVesk_ostream::WriteRaw(const char* data, qsizetype n)
{
    put(data, n);
}

// ---------------------------------------------------------------- reader

TVesk_istream::TVesk_istream(QIODevice& device)
    : data_(device.readAll())
{
    readHeader();
}

TVesk_istream TVesk_istream::FromFileBytes(QByteArray bytes)
{
    TVesk_istream s;
    s.data_ = std::move(bytes);
    s.readHeader();
    return s;
}

TVesk_istream::TVesk_istream(QByteArray records)
    : data_(std::move(records))
{
}

void TVesk_istream::readHeader()
{
    // The magic is not compared: a well-formed body under another magic still reads.
    if (!ReadRaw(header_.magic, 8)) {
        headerMissing_ = true;
        return;
    }
    header_.version = ReadInt32();
    header_.headerLength = ReadInt32();
    headerMissing_ = failed_;
}

// Inlined into every fixed-size read, where the copy becomes a plain load.
inline bool TVesk_istream::take(void* out, qsizetype n)
{
    if (failed_ || n < 0 || n > BytesLeft()) [[unlikely]]
        return refuse(out, n);
    std::memcpy(out, data_.constData() + pos_, size_t(n));
    pos_ += n;
    return true;
}

bool TVesk_istream::refuse(void* out, qsizetype n)
{
    failed_ = true;
    std::memset(out, 0, size_t(std::max<qsizetype>(n, 0)));
    return false;
}

bool TVesk_istream::ReadRaw(char* out, qsizetype n)
{
    return take(out, n);
}

std::int32_t TVesk_istream::ReadInt32()
{
    std::int32_t v;
    take(&v, 4);
    return qFromLittleEndian(v);
}

bool TVesk_istream::ReadBool()
{
    char b;
    take(&b, 1);
    return b != 0;
}

float TVesk_istream::ReadFloat()
{
    return std::bit_cast<float>(ReadInt32());
}

double TVesk_istream::ReadDouble()
{
    std::uint64_t v;
    take(&v, 8);
    return std::bit_cast<double>(qFromLittleEndian(v));
}

std::int32_t TVesk_istream::ReadCount(qsizetype itemSize)
{
    const std::int32_t n = ReadInt32();
    if (failed_)
        return 0;
    if (n < 0 || (itemSize > 0 && qsizetype(n) > BytesLeft() / itemSize)) {
        failed_ = true;
        return 0;
    }
    return n;
}

QString TVesk_istream::ReadString()
{
    const std::int32_t n = ReadCount(1);
    if (failed_ || n == 0)
        return {};
    return decodeStored(n);
}

QString TVesk_istream::decodeStored(qsizetype n)
{
    const QByteArrayView stored(data_.constData() + pos_, n);
    pos_ += n;
    if (n > kRememberedLength)
        return DecodeAnsi(stored.toByteArray());
    for (const Remembered& r : remembered_)
        if (r.stored == stored)
            return r.text;
    Remembered& r = remembered_[nextRemembered_];
    nextRemembered_ = (nextRemembered_ + 1) % remembered_.size();
    r.stored = stored.toByteArray();
    r.text = DecodeAnsi(r.stored);
    return r.text;
}

QString TVesk_istream::ReadWideString()
{
    const std::int32_t n = ReadCount(2);
    if (failed_ || n == 0)
        return {};
    QString s(n, Qt::Uninitialized);
    for (std::int32_t i = 0; i < n; ++i) {
        std::uint16_t u;
        take(&u, 2);
        s[i] = QChar(char16_t(qFromLittleEndian(u)));
    }
    return s;
}

ARGB TVesk_istream::ReadColor()
{
    std::uint32_t be;
    take(&be, 4);
    return qFromBigEndian(be);
}

Matrix TVesk_istream::ReadMatrix()
{
    float e[6];
    for (float& v : e)
        v = ReadFloat();
    for (int i = 0; i < 6; ++i)
        if (!sane(e[i], i < 4 ? kMaxScale : kMaxCoordinate))
            rejected_ = true;
    return { e[0], e[1], e[2], e[3], e[4], e[5] };
}

PointF TVesk_istream::ReadPoint()
{
    const float x = ReadExtent();
    return { x, ReadExtent() };
}

RectF TVesk_istream::ReadRect()
{
    const float x = ReadExtent(), y = ReadExtent(), w = ReadExtent();
    return { x, y, w, ReadExtent() };
}

float TVesk_istream::ReadExtent()
{
    const float v = ReadFloat();
    if (!sane(v, kMaxCoordinate))
        rejected_ = true;
    return v;
}

TVeskLayer* TVesk_istream::ReadLayerRef()
{
    if (header_.version == 2) {
        const std::int32_t position = ReadInt32();
        if (failed_ || !layers_)
            return nullptr;
        // A position outside the list names no layer; the object goes on the current one.
        if (TVeskLayer* layer = layers_->LayerAt(position - 1))
            return layer;
        if (TVeskLayer* layer = layers_->CurrentLayer())
            return layer;
        return layers_->AddLayer(kNewLayerColor); // never leave an object without a layer
    }
    const std::int32_t n = ReadCount(1);
    if (failed_)
        return nullptr;
    const QByteArrayView stored(data_.constData() + pos_, n);
    if (lastLayer_ && layers_ && stored == lastLayerRef_) {
        pos_ += n;
        return lastLayer_;
    }
    const QString name = n > 0 ? decodeStored(n) : QString();
    if (!layers_)
        return nullptr;
    TVeskLayer* layer = layers_->FindLayer(name);
    if (!layer)
        layer = layers_->AddNamedLayer(kNewLayerColor, name);
    lastLayerRef_ = stored.toByteArray();
    lastLayer_ = layer;
    return layer;
}

std::unique_ptr<TVeskObject> TVesk_istream::ReadObject()
{
    skippedLast_ = false;
    if (failed_ || AtEnd())
        return nullptr;
    char tag[4];
    if (!take(tag, 4))
        return nullptr;
    const auto is = [&](const char* t) { return std::memcmp(tag, t, 4) == 0; };
    const bool container = is("PART") || is("GRUP");
    if (container && nesting_ >= TVeskContainer::kMaxNesting) {
        failed_ = true;
        return nullptr;
    }
    ++nesting_;
    // A container's children are records of their own: the container is
    // judged by its own values only.
    const bool enclosingRejected = std::exchange(rejected_, false);
    const size_t unbuiltBefore = unbuilt_.size();
    const TOutlineBuild build = deferOutlines_ ? TOutlineBuild::Later : TOutlineBuild::Now;
    std::unique_ptr<TVeskObject> object;
    if (is("PATH"))
        object = std::make_unique<TVeskPath>(*this, build);
    else if (is("ELPS"))
        object = std::make_unique<TVeskEllipse>(*this, build);
    else if (is("RECT"))
        object = std::make_unique<TVeskRect>(*this, build);
    else if (is("PART"))
        object = std::make_unique<TVeskPart>(*this);
    else if (is("GRUP"))
        object = std::make_unique<TVeskGroup>(*this);
    else if (is("TEXT"))
        object = std::make_unique<TVeskString>(*this, build);
    else
        failed_ = true; // records carry no length: nothing after an unknown tag can be trusted
    --nesting_;
    const bool rejected = std::exchange(rejected_, enclosingRejected);
    if (!failed_ && rejected) {
        // What it holds goes with it, unbuilt shapes included.
        unbuilt_.resize(unbuiltBefore);
        ++skipped_;
        skippedLast_ = true;
        return nullptr;
    }
    if (!failed_) {
        // Listed only once it is handed out: a shape cut short dies here.
        if (deferOutlines_ && !container)
            unbuilt_.push_back(object.get());
        return object;
    }
    // A record cut short is not an object, except a container that completed
    // some children: they are kept, at every level of nesting.
    if (container && object && static_cast<const TVeskContainer&>(*object).ChildCount() > 0)
        return object;
    return nullptr;
}

} // namespace vesk
