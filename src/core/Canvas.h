#pragma once

#include "core/WindowStates.h"

#include <string>

namespace quantem::core {

/// Twips per screen pixel on the chart surface.
inline constexpr double kTwipsPerPixel = 15.0;

/// The chart window's drawing surface. Positions are in twips from the window's top-left corner,
/// x to the right and y downwards; widths are in pixels. What is drawn stays until clear().
class Canvas
{
public:
    virtual ~Canvas() = default;

    /// Wipes everything drawn so far.
    virtual void clear() = 0;
    /// A straight line from (x1, y1) to (x2, y2). Nothing is clipped by the caller: positions far
    /// outside the surface are passed as computed.
    virtual void line(double x1, double y1, double x2, double y2, Colour colour, int width) = 0;
    /// A dot centred on (x, y), width pixels across.
    virtual void point(double x, double y, Colour colour, int width) = 0;
    /// Text with the top-left corner of its first line at (x, y).
    virtual void text(double x, double y, const std::string& text, Colour colour) = 0;
};

} // namespace quantem::core
