#pragma once

#include <string>

// What the Qt layer gives the core's runtime: the default folder and the yield to the event loop.
namespace platform {

// Points the default folder at the application's configuration folder (Qt's
// AppConfigLocation) and creates that folder when it is missing. Returns the folder.
std::string UseConfigurationFolder();

// How often long work lets the event loop run, and shows what it has made so far: more often
// costs time, and the eye sees nothing faster.
inline constexpr long long kEventLoopIntervalMs = 15;

// The yield hook: lets the main thread's event loop repaint during a long loop. User input that
// arrives meanwhile is dropped, so no menu action can start inside another, except input to a
// modal dialog opened inside the turn; the window system's request to close a window (its close
// box) is not input and reaches the window, which closes once its work is done. On other
// threads, and when the last turn was very recent, it does nothing.
void YieldToEventLoop();

}  // namespace platform
