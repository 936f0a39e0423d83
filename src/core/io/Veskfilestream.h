#pragma once

#include "geometry/Matrix.h"
#include "geometry/Pen.h"
#include "geometry/PointF.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

class QIODevice;

namespace vesk {

class TVeskObject;
class TVeskLayer;
class TVeskLayerList;

// The 16-byte file header: magic "Vesk2.0\0", format version, header length.
struct TVeskFileHeader {
    char magic[8] = { 'V', 'e', 's', 'k', '2', '.', '0', '\0' };
    std::int32_t version = 3;
    std::int32_t headerLength = 16;
};

// Writer of the document byte format. Bytes collect in memory and go to the
// device in large chunks; the first failed write makes the stream fail for good
// and remembers why.
class TVesk_ostream {
public:
    // Over a device (a file): writes the 16 header bytes at once.
    explicit TVesk_ostream(QIODevice& device);
    // In memory (clipboard): the same header fields, nothing written.
    TVesk_ostream();
    ~TVesk_ostream();
    TVesk_ostream(const TVesk_ostream&) = delete;
    TVesk_ostream& operator=(const TVesk_ostream&) = delete;

    bool Failed() const { return failed_; }
    QString ErrorString() const { return error_; }
    const TVeskFileHeader& Header() const { return header_; }

    void WriteInt32(std::int32_t v);
    void WriteBool(bool v);
    void WriteFloat(float v);
    void WriteDouble(double v);
    // 8-bit text (CP932) with its int32 byte count.
    void WriteString(const QString& s);
    void WriteWideString(const QString& s);
    // Big-endian: alpha, red, green, blue.
    void WriteColor(ARGB c);
    void WriteMatrix(const Matrix& m);
    void WritePoint(PointF p);
    void WriteRect(const RectF& r);
    void WriteRaw(const char* data, qsizetype n);
    // An object's layer reference: the layer's name, or the name the stream
    // was given for it.
    void WriteLayerRef(const TVeskLayer* layer);
    // Names to write for layers instead of asking the layers, so that a
    // writer on another thread never touches a layer the editor may be
    // renaming or dropping; a layer missing from the map is written unnamed.
    void SetLayerNames(std::unordered_map<const TVeskLayer*, QString> names)
    {
        layerNames_ = std::move(names);
        namesGiven_ = true;
    }

    // Sends what is buffered to the device; false when the stream has failed.
    bool Flush();
    // The bytes written so far, for in-memory streams.
    const QByteArray& Buffer() const { return buffer_; }

private:
    void put(const void* data, qsizetype n);
    void fail(const QString& why);

    QIODevice* device_ = nullptr;
    QByteArray buffer_;
    TVeskFileHeader header_;
    bool failed_ = false;
    QString error_;
    std::unordered_map<const TVeskLayer*, QString> layerNames_;
    bool namesGiven_ = false;
};

// Reader of the document byte format over bytes held in memory. A read past
// the end, or a length or count larger than the bytes left, fails the stream;
// every later read yields zero values and ReadObject yields null.
//
// Geometry is also checked for sense: a coordinate, extent or width that is
// not finite or lies beyond kMaxCoordinate, or a matrix whose scale parts
// pass kMaxScale, makes the record that holds it (a path with a last group
// of entries cut short, too) one that ReadObject skips and counts. Such
// values come from damaged bytes; drawn, a width of 3e38 covers the view.
class TVesk_istream {
public:
    // 100 m in document units, a thousand times any board.
    static constexpr float kMaxCoordinate = 1e6f;
    static constexpr float kMaxScale = 1e4f;

    // Over a device (a file): reads everything, then the 16 header bytes.
    explicit TVesk_istream(QIODevice& device);
    // Over the bytes of a file, header first.
    static TVesk_istream FromFileBytes(QByteArray bytes);
    // Over bare object records (clipboard): header set to version 3, nothing read.
    explicit TVesk_istream(QByteArray records);

    bool Failed() const { return failed_; }
    // The header could not be read: the file is not a document at all.
    bool HeaderMissing() const { return headerMissing_; }
    std::int32_t Version() const { return header_.version; }
    const TVeskFileHeader& Header() const { return header_; }
    qsizetype BytesLeft() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }

    std::int32_t ReadInt32();
    bool ReadBool();
    float ReadFloat();
    double ReadDouble();
    QString ReadString();
    QString ReadWideString();
    ARGB ReadColor();
    Matrix ReadMatrix();
    PointF ReadPoint();
    RectF ReadRect();
    // A width or a size, under the same limits as a coordinate.
    float ReadExtent();
    // Reads n bytes; false (and failed) when fewer are left.
    bool ReadRaw(char* out, qsizetype n);
    // A count of items of at least itemSize bytes each; negative or larger
    // than the bytes left can hold fails the stream and yields 0. An itemSize
    // of 0 checks the sign only.
    std::int32_t ReadCount(qsizetype itemSize);

    // The layer list that objects attach to while reading; null reads objects without layers.
    void SetLayers(TVeskLayerList* layers)
    {
        layers_ = layers;
        lastLayer_ = nullptr;
    }
    TVeskLayerList* Layers() const { return layers_; }
    // Reads an object's layer reference in the form of this file's version
    // (name in version 3, 1-based position in version 2) and resolves it.
    TVeskLayer* ReadLayerRef();

    // Reads one tagged record; null at the end, on failure or on an unknown tag
    // (an unknown tag also fails the stream: the record's length is unknowable).
    // A group or part cut short is returned with the children it completed, if
    // any; one nested deeper than TVeskContainer::kMaxNesting fails the stream.
    // A record whose values make no sense is read to its end, so that the
    // next one can be read, and yields null with SkippedLast() true.
    std::unique_ptr<TVeskObject> ReadObject();
    // Whether the last ReadObject skipped a record rather than ending.
    bool SkippedLast() const { return skippedLast_; }
    // Records skipped so far, at every depth.
    int SkippedRecords() const { return skipped_; }
    // The record being read holds a value no drawing can have.
    void RejectRecord() { rejected_ = true; }

    // From now on the shapes ReadObject returns, at any depth, come without
    // their outlines and are listed for TakeUnbuilt, so that a reader of many
    // can build them all at once (on several threads). Whoever asks must
    // Rebuild every one of them before anything else looks at them.
    void DeferOutlines() { deferOutlines_ = true; }
    // The shapes read without outlines since DeferOutlines, in reading order.
    // Each is owned by the object tree that ReadObject handed out.
    std::vector<TVeskObject*> TakeUnbuilt() { return std::exchange(unbuilt_, {}); }

private:
    TVesk_istream() = default;
    bool take(void* out, qsizetype n);
    // Fails the stream and zeroes what a read past the end would have filled.
    bool refuse(void* out, qsizetype n);
    void readHeader();
    // The next n bytes as 8-bit text; the caller checked that they are there.
    QString decodeStored(qsizetype n);

    QByteArray data_;
    qsizetype pos_ = 0;
    TVeskFileHeader header_;
    TVeskLayerList* layers_ = nullptr;
    bool failed_ = false;
    bool headerMissing_ = false;
    int nesting_ = 0;
    bool rejected_ = false;
    bool skippedLast_ = false;
    int skipped_ = 0;
    bool deferOutlines_ = false;
    std::vector<TVeskObject*> unbuilt_;
    // Short texts decoded lately with their stored bytes: every object
    // stores its name, and a board uses a handful of them. Handing out the
    // same string again saves decoding it and keeping a copy per object.
    struct Remembered {
        QByteArray stored;
        QString text;
    };
    std::array<Remembered, 8> remembered_;
    std::size_t nextRemembered_ = 0;
    // The layer of the last reference read, by its stored bytes: a board
    // names the same few layers over and over. Reading only ever adds
    // layers, so the layer stays valid until another list is set.
    QByteArray lastLayerRef_;
    TVeskLayer* lastLayer_ = nullptr;
};

} // namespace vesk
