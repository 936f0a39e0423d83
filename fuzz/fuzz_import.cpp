// Feeds arbitrary bytes to the legacy reader as one whole import: the
// definitions, the rows mapped onto a document's layers (some left out), the
// items, and the group added to the document, which is then written, read
// back and cloned. No input may crash, hang, leak or over-allocate; every
// shape the reader counts is in the result, on a layer of the document.
#include "import/Veskimporter.h"
#include "io/Veskdocument.h"
#include "model/Vesklayer.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <QGuiApplication>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vesk::TVeskDocument doc;
    vesk::TVeskImporter importer;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    importer.ReadDefinitions(in);
    const int layerCount = doc.Layers().LayerCount();
    for (int row = 0; row < importer.LayerNames().size(); ++row)
        importer.MapLayer(row, row % 3 == 2 ? nullptr : doc.Layers().LayerAt(row % layerCount));
    const std::unique_ptr<vesk::TVeskGroup> group = importer.ReadItems();
    importer.CloseInput();

    std::vector<vesk::TVeskObject*> leaves;
    group->CollectLeaves(leaves);
    if (int(leaves.size()) != importer.Counts().shapes)
        __builtin_trap();
    for (vesk::TVeskObject* leaf : leaves) {
        auto* shape = dynamic_cast<vesk::TVeskInstance*>(leaf);
        if (!shape || !shape->GetLayer()
            || doc.Layers().LayerAt(shape->GetLayer()->index) != shape->GetLayer())
            __builtin_trap();
    }

    doc.Root().Add(*group);
    const QByteArray written = doc.ToBytes();
    vesk::TVeskDocument again;
    again.ReadBytes(written);
    if (again.ToBytes() != written)
        __builtin_trap();
    return 0;
}
