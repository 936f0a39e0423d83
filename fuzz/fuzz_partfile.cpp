// Feeds arbitrary bytes to the reader of pad and library part files, onto a
// document's layers, then draws nothing but clones and stores the group: no
// input may crash, hang, leak or over-allocate, and a refused file adds no
// object.
#include "io/Veskdocument.h"
#include "io/Veskfilestream.h"
#include "io/Veskpartfile.h"
#include "shapes/Veskgroup.h"

#include <QBuffer>
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // glyph outlines need the font database
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    vesk::TVeskDocument doc;
    doc.Reset();
    const std::unique_ptr<vesk::TVeskGroup> group = vesk::ReadPart(buffer, doc.Layers());
    if (!group)
        return 0;
    auto copy = group->Clone();
    vesk::TVesk_ostream out;
    copy->Save(out);
    return 0;
}
