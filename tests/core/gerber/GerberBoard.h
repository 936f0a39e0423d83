#pragma once

// The Gerber fixture board, tests/data/gerber/board.vbf: a small board that
// exercises every export rule, built here with the shapes' own API so that
// the committed file can be checked against the code and regenerated
// (VESK_REGENERATE_FIXTURES=1 vesk_core_tests --gtest_filter='GerberBoard.*').
// The renderer's tests draw the same file and compare it with gerbv's
// picture, so its name and layers stay put.

#include <QStringList>

namespace vesk {
class TVeskDocument;
}

namespace vesk::test {

// Default layers; objects on "component", "solder", "place_cmp", "dimension"
// and "hole"; "stop_cmp" left empty on purpose.
void BuildGerberBoard(TVeskDocument& doc);

// Layers whose Gerber text does not depend on the installed fonts, for golden files.
QStringList GerberBoardFontFreeLayers();

} // namespace vesk::test
