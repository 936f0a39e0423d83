#pragma once

#include <vector>

namespace vesk {

// The growable array shapes keep their point data in. A plain vector: paths
// rely on nothing beyond size, indexing, append, insert, erase and clear.
template <typename T> using TVeskVector = std::vector<T>;

} // namespace vesk
