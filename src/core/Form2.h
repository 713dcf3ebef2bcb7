#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quantem::core {

/// A captured picture: width × height pixels, rows from the top, each pixel 0xAARRGGBB.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool operator==(const Picture&) const = default;
};

/// The fixed plot rectangle of the chart window in twips (y grows downwards). The axes, the
/// samples and the model curve all map their data onto it, so they land on the same axes.
struct PlotArea
{
    static constexpr double left = 2930.0; // the Y axis
    static constexpr double right = 11580.0;
    static constexpr double top = 300.0;
    static constexpr double bottom = 7730.0; // the X axis
    static constexpr double width = 8650.0;
    static constexpr double height = 7430.0;
};

/// The chart window's values, named as its controls. A fresh load gives these values; closing
/// the window unloads it and forgets them.
struct Form2
{
    bool loaded = false;
    bool visible = false;
    /// Counts the requests to bring the window to the front ("Draw "), so the view raises it
    /// even when it is already shown behind other windows.
    unsigned frontRequests = 0;

    // Frame1 "X Axis Setting": which data column is on the X axis (none chosen at load).
    bool Option1 = false, Option2 = false, Option3 = false;
    bool Option1Visible = true, Option2Visible = true, Option3Visible = true;

    // Frame2 "Show Y Axis".
    std::string Label5 = "First dimensional data is Y";

    // Frame3 "Coordinate Setting": grid, scale or plain axes.
    bool Option4 = true, Option5 = false, Option6 = false;

    // Fixed values of the variables that are not on the X axis, for the model curve.
    std::string Text1 = "0", Text2 = "0", Text3 = "0";
    bool Label1Visible = false, Label2Visible = false, Label3Visible = false;
    bool Text1Visible = false, Text2Visible = false, Text3Visible = false;

    std::string Label7; // origin label of the axes

    // Hidden boxes holding the previous point of a polyline, as text.
    std::string Text5, Text6;

    /// The window's status line: why the last drawing command drew nothing, or empty.
    std::string StatusBar;

    bool Picture1Visible = false;
    std::optional<Picture> Picture1; // the cut chart; empty until the first cut
};

} // namespace quantem::core
