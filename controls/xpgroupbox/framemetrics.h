#pragma once

// The group box's frame picture and the layout drawn from it, named once
// for the group box, the generator that draws the frame and the Designer
// plugin.
namespace huvolo::framemetrics {

enum Metric : int {
    // The frame picture.
    FrameWidth = 22,
    FrameHeight = 20,
    // Its corners, copied pixel for pixel; the outline between them, Line
    // wide, stretches.
    Corner = 3,
    Line = 1,
    InnerWidth = FrameWidth - 2 * Corner,
    InnerHeight = FrameHeight - 2 * Corner,
    // A new group box's size.
    DefaultWidth = 199,
    DefaultHeight = 89,
    // Where the caption sits on the top line, and its size before it changes.
    CaptionLeft = 15,
    CaptionWidth = 32,
    CaptionHeight = 13,
};

} // namespace huvolo::framemetrics
