#pragma once

#include "geometry/Matrix.h"
#include "geometry/Pen.h"
#include "geometry/PointF.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

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
};

// Reader of the document byte format over bytes held in memory. A read past
// the end, or a length or count larger than the bytes left, fails the stream;
// every later read yields zero values and ReadObject yields null.
class TVesk_istream {
public:
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
    // Reads n bytes; false (and failed) when fewer are left.
    bool ReadRaw(char* out, qsizetype n);
    // A count of items of at least itemSize bytes each; negative or larger
    // than the bytes left can hold fails the stream and yields 0. An itemSize
    // of 0 checks the sign only.
    std::int32_t ReadCount(qsizetype itemSize);

    // The layer list that objects attach to while reading; null reads objects without layers.
    void SetLayers(TVeskLayerList* layers) { layers_ = layers; }
    TVeskLayerList* Layers() const { return layers_; }
    // Reads an object's layer reference in the form of this file's version
    // (name in version 3, 1-based position in version 2) and resolves it.
    TVeskLayer* ReadLayerRef();

    // Reads one tagged record; null at the end, on failure or on an unknown tag
    // (an unknown tag also fails the stream: the record's length is unknowable).
    // A group or part cut short is returned with the children it completed, if
    // any; one nested deeper than TVeskContainer::kMaxNesting fails the stream.
    std::unique_ptr<TVeskObject> ReadObject();

private:
    TVesk_istream() = default;
    bool take(void* out, qsizetype n);
    void readHeader();

    QByteArray data_;
    qsizetype pos_ = 0;
    TVeskFileHeader header_;
    TVeskLayerList* layers_ = nullptr;
    bool failed_ = false;
    bool headerMissing_ = false;
    int nesting_ = 0;
};

} // namespace vesk
