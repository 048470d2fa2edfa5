#pragma once

#include <functional>

namespace quillory {

// For the benchmarks of the real program: when the environment sets QUILLORY_REPORT_PAINTS,
// every paint of a top-level window but the launcher (on screen: a window the window system has
// not exposed yet paints nothing) is followed, once it has been flushed to the
// window system and the window system has answered a round trip (so the X server has drawn it),
// by one line on standard output:
//   painted <monotonic ns> cpu <process CPU ns> peak <peak resident kB> rows <rows> sys_us <system
//   CPU us> faults <minor page faults>
// with the time once drawn, and the CPU time, memory and faults once flushed (before the round
// trip).
// where rows is what rowsShown says (the index list's rows). Without the variable it does nothing.
void reportPaintsWhenAsked(std::function<int()> rowsShown);

} // namespace quillory
