#pragma once

#include <chrono>
#include <functional>

class QObject;
class QWidget;

namespace quillory {

// Runs then once window has been painted on screen for the first time (its first expose has
// been handled, which paints and flushes it), or after atTheLatest when no expose comes (a
// window on a hidden desktop): work that can wait does not hold up the first picture. Nothing
// runs once context is gone.
void afterFirstPaint(QWidget* window, QObject* context, std::function<void()> then,
                     std::chrono::milliseconds atTheLatest);

} // namespace quillory
