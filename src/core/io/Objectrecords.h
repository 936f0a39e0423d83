#pragma once

#include <QByteArray>
#include <memory>
#include <span>
#include <vector>

namespace vesk {

class TVeskLayerList;
class TVeskObject;

// Objects as the records a version-3 document holds for them, one after
// another, with no header, count or layer table: what the clipboard carries
// between documents and running editors. Objects name their layers.
QByteArray WriteObjectRecords(std::span<TVeskObject* const> objects);

// The objects of such bytes, up to the first bytes that do not form a record
// (zeros past the end included): what came before is kept. A layer name
// `layers` lacks adds that layer, grey, as the current one. Records whose
// values make no sense are left out; `skipped` learns how many.
std::vector<std::unique_ptr<TVeskObject>> ReadObjectRecords(
    const QByteArray& records, TVeskLayerList& layers, int* skipped = nullptr);

} // namespace vesk
