#include "core/shell/LauncherStrip.h"

#include <algorithm>
#include <array>

namespace quillory {

namespace {

// The sixteen colours of the classic text-mode palette, by number.
// clang-format off
constexpr std::array<StripColour, 16> kPalette = {{
    {0, 0, 0},       {0, 0, 128},     {0, 128, 0},     {0, 128, 128},   // black, blue, green, cyan
    {128, 0, 0},     {128, 0, 128},   {128, 128, 0},   {192, 192, 192}, // red, magenta, brown, light grey
    {128, 128, 128}, {0, 0, 255},     {0, 255, 0},     {0, 255, 255},   // grey and the light ones: blue, green, cyan,
    {255, 0, 0},     {255, 0, 255},   {255, 255, 0},   {255, 255, 255}, // red, magenta, yellow, white
}};
// clang-format on

// The colour counter goes up by 15 a second and starts again after 60; the colour is its value
// modulo 16.
constexpr int kCounterStep = 15;
constexpr int kCounterSteps = 5;

bool atTopEdge(StripPoint pointer, const StripRect& screen)
{
    return screen.contains(pointer) && pointer.y - screen.top < strip::kTopEdge;
}

bool nearTopEdge(StripPoint pointer, const StripRect& screen)
{
    return screen.contains(pointer) && pointer.y - screen.top < strip::kNearEdge;
}

} // namespace

StripState followPointer(StripPoint pointer, const StripRect& screen, const StripRect& stripRect, bool dragging)
{
    StripState state;
    const bool wasOpen = stripRect.height >= strip::kOpenHeight;
    state.open = dragging || atTopEdge(pointer, screen) || (wasOpen && stripRect.contains(pointer));
    state.height = state.open ? strip::kOpenHeight : strip::kLineHeight;
    const StripRect openRect{stripRect.left, stripRect.top, stripRect.width, strip::kOpenHeight};
    state.overHandle = dragging
                       || (state.open && openRect.contains(pointer)
                           && pointer.x - stripRect.left < strip::kHandleWidth);
    state.watch = state.open || nearTopEdge(pointer, screen) ? PointerWatch::Fast : PointerWatch::Slow;
    return state;
}

StripPoint dragPlace(StripPoint pointer, StripPoint grab, const StripRect& screen, int width, int height)
{
    const int right = screen.left + std::max(0, screen.width - width);
    const int bottom = screen.top + std::max(0, screen.height - height);
    return {std::clamp(pointer.x - grab.x, screen.left, right), std::clamp(pointer.y - grab.y, screen.top, bottom)};
}

StripPoint restingPlace(int left, const StripRect& screen, int width)
{
    const int right = screen.left + std::max(0, screen.width - width);
    return {std::clamp(left, screen.left, right), screen.top};
}

StripColour lineColour(long long second)
{
    const long long step = ((second % kCounterSteps) + kCounterSteps) % kCounterSteps;
    return kPalette[static_cast<size_t>(step * kCounterStep % 16)];
}

} // namespace quillory
