#pragma once

namespace quillory {

// The floating launcher is a strip of buttons at the top edge of a screen. Away from the pointer
// it is a thin line whose colour changes every second; the pointer at the top edge (anywhere
// along it) or over the open strip opens it. Its handle drags it along the edge; let go, it goes
// back to the top. Everything here is in device-independent pixels, in the desktop's coordinates.

struct StripPoint {
    int x = 0;
    int y = 0;
    bool operator==(const StripPoint&) const = default;
};

struct StripRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool contains(StripPoint point) const
    {
        return point.x >= left && point.x < left + width && point.y >= top && point.y < top + height;
    }
};

struct StripColour {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const StripColour&) const = default;
};

namespace strip {
inline constexpr int kWidth = 168;      // the handle and six buttons
inline constexpr int kOpenHeight = 32;  // the buttons and a small margin
inline constexpr int kLineHeight = 2;   // collapsed
inline constexpr int kTopEdge = 4;      // the pointer this close to the screen's top touches the edge
inline constexpr int kHandleWidth = 10; // the handle: the strip's first pixels from its left edge
// The pointer closer than this to the top edge is watched closely: it may be on its way there.
inline constexpr int kNearEdge = 64;
inline constexpr StripColour kBackground{0, 0, 255};
} // namespace strip

// How often the pointer must be looked at.
enum class PointerWatch {
    Slow, // once a second, with the colour of the line
    Fast, // the strip is open, dragged, or the pointer is near the top edge
};

struct StripState {
    bool open = false;
    int height = strip::kLineHeight;
    bool overHandle = false; // a press here starts a drag (the pointer shows it)
    PointerWatch watch = PointerWatch::Slow;
};

// What the strip shows for the pointer at pointer, the strip at stripRect (its height tells whether
// it is open now) on the screen whose full rectangle is screen.
StripState followPointer(StripPoint pointer, const StripRect& screen, const StripRect& stripRect, bool dragging);

// Where the strip's top-left corner goes while it is dragged: with the pointer, at the offset
// grab (the pointer's place in the strip when the drag started), wholly on the screen.
StripPoint dragPlace(StripPoint pointer, StripPoint grab, const StripRect& screen, int width, int height);

// Where the strip rests: at the top edge of the screen, its left edge kept so that it lies wholly
// on the screen (at the screen's left edge on a screen narrower than the strip).
StripPoint restingPlace(int left, const StripRect& screen, int width);

// The colour of the line in the given second since the strip was shown: black, white, yellow,
// light magenta, light red, then again from black.
StripColour lineColour(long long second);

} // namespace quillory
