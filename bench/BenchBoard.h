#pragma once

#include <QByteArray>
#include <QString>

namespace vesk {

class TVeskDocument;

// Objects of the generated board the benchmarks measure on.
constexpr int kBenchBoardObjects = 100000;

// The board file the benchmarks measure on: the .vbf that the environment
// variable VESK_BENCH_BOARD names when it is readable, else the generated
// board (kBenchBoardObjects objects, seed 1), made once per process. A named
// file that holds no document ends the program with a message rather than
// let figures of another board pass for it.
const QByteArray& BenchBoardBytes();

// Reads the board into the document.
void LoadBenchBoard(TVeskDocument& doc);

// Where the board comes from, for the report: the file's path or "generated".
QString BenchBoardSource();

} // namespace vesk
