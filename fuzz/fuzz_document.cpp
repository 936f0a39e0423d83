// Feeds arbitrary bytes to the document reader, then writes and clones what
// it read: no input may crash, hang, leak or over-allocate.
#include "io/Veskdocument.h"
#include "shapes/Veskpart.h"

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
    vesk::TVeskDocument doc;
    doc.ReadBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QByteArray written = doc.ToBytes();
    auto copy = doc.Root().Clone();
    (void)copy;
    // What we wrote must read back to the same bytes.
    vesk::TVeskDocument again;
    again.ReadBytes(written);
    if (again.ToBytes() != written)
        __builtin_trap();
    return 0;
}
