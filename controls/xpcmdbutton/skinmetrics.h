#pragma once

// The button's skin and the layout drawn from it, named once for the
// button, the generator that draws the skin and the Designer plugin.
namespace huvolo::skinmetrics {

enum Metric : int {
    // The skin: CellCount looks side by side, each CellWidth x CellHeight.
    CellWidth = 18,
    CellHeight = 21,
    CellCount = 5,
    // The nine-slice edge: corners Edge x Edge, the middle stretched.
    Edge = 3,
    InnerWidth = CellWidth - 2 * Edge,
    InnerHeight = CellHeight - 2 * Edge,
    // A new button's size, and the caption's place and size before any layout.
    DefaultWidth = 113,
    DefaultHeight = 59,
    CaptionLeft = 16,
    CaptionTop = 8,
    CaptionWidth = 63,
    CaptionHeight = 14,
};

} // namespace huvolo::skinmetrics
