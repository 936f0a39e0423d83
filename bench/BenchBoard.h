#pragma once

#include <QByteArray>
#include <QString>

namespace vesk {

class TVeskDocument;

// Objects of the generated board the benchmarks measure on by default.
constexpr int kBenchBoardObjects = 100000;

// Objects of the generated board: VESK_BENCH_OBJECTS when it is a count
// from 1,000 to 10,000,000 (30000 and 300000 give the boards the README's
// scaling figures come from), else kBenchBoardObjects.
int BenchBoardObjects();

// The board file the benchmarks measure on: the .vbf that the environment
// variable VESK_BENCH_BOARD names when it is readable, else the generated
// board (BenchBoardObjects() objects, seed 1), made once per process. A
// named file that holds no document ends the program with a message rather
// than let figures of another board pass for it.
const QByteArray& BenchBoardBytes();

// Reads the board into the document.
void LoadBenchBoard(TVeskDocument& doc);

// Where the board comes from, for the report: the file's path or "generated".
QString BenchBoardSource();

} // namespace vesk
