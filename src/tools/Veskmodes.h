#pragma once

#include <cstdint>

namespace vesk {

// The values a tool's mode stack holds. Every tool's modes share one number
// space with the framework's, so a tool can tell a temporary pan or click
// zoom on top from its own modes, and no two tools' modes mean the same
// number. A tool's constructor passes its idle mode to the framework; the
// other modes it pushes or sets on top while an operation is under way.

// The framework's: the bottom entry before a tool sets its own, and the
// temporary modes held keys push over any tool's.
enum TVeskMode : std::int32_t {
    ModeNone = 0,
    ModePan = 1, // Space
    ModeZoomIn = 2, // Space+X, a click zooms in
    ModeZoomOut = 3, // Space+Z, a click zooms out
};

constexpr bool IsFrameworkMode(std::int32_t mode)
{
    return mode >= ModePan && mode <= ModeZoomOut;
}

enum TVeskSelectMode : std::int32_t {
    ModeSelectIdle = 4, // clicks select, drags move the selection
    ModeSelectPressed = 5, // pressed on empty space; a drag starts a rubber band
    ModeSelectBand = 6, // rubber band under way
    ModeSelectNumeric = 27, // numeric input; the mouse does nothing
};

enum TVeskPointMode : std::int32_t {
    ModePointIdle = 7,
    ModePointPressed = 8, // pressed on empty space; a drag starts a rubber band
    ModePointBand = 9, // rubber band over points
    ModePointHandleDrag = 10, // dragging a control point of a selected anchor
    ModePointHandlePull = 11, // Ctrl+Shift held: pulls and retracts handles
    ModePointInsertDelete = 12, // X+Z held: inserts and deletes anchors
};

enum TVeskPathMode : std::int32_t {
    ModePathIdle = 15, // Bezier path tool
    ModePolyIdle = 17, // polyline tool
};

enum TVeskShapeMode : std::int32_t {
    ModeEllipseIdle = 19,
    ModeRectIdle = 20,
};

enum TVeskTextMode : std::int32_t {
    ModeTextIdle = 21,
};

// Pad and library tools: armed by a left press, whose release inserts.
enum TVeskInsertMode : std::int32_t {
    ModePadIdle = 22,
    ModePadArmed = 23,
    ModeLibIdle = 24,
    ModeLibArmed = 25,
};

} // namespace vesk
