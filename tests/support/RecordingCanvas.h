#pragma once

#include "core/Canvas.h"

#include <string>
#include <vector>

namespace quantem::test {

/// One drawing call as the recording canvas keeps it.
struct CanvasCall
{
    enum class Kind
    {
        Clear,
        Line,
        Point,
        Text
    };
    Kind kind = Kind::Clear;
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0; // a point or text uses x1, y1
    core::Colour colour;
    int width = 0;
    std::string text;
};

/// A canvas that records every call in order, for tests of what the chart draws.
class RecordingCanvas : public core::Canvas
{
public:
    void clear() override;
    void line(double x1, double y1, double x2, double y2, core::Colour colour, int width) override;
    void point(double x, double y, core::Colour colour, int width) override;
    void text(double x, double y, const std::string& text, core::Colour colour) override;

    /// The calls of one kind, in order; lines and points only of the given colour.
    std::vector<CanvasCall> lines(core::Colour colour) const;
    std::vector<CanvasCall> points(core::Colour colour) const;
    std::vector<CanvasCall> texts() const;
    /// The texts printed, in order.
    std::vector<std::string> textStrings() const;
    /// The number of calls since the last clear (the whole record when never cleared).
    std::size_t callsSinceClear() const;

    std::vector<CanvasCall> calls;
};

} // namespace quantem::test
