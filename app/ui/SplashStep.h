#pragma once
// The splash step of a windowed start: the splash window with the program's picture and
// white texts, up for two seconds of running event loop while the start-up goes on.
#include <functional>

class QObject;

namespace gs {

class TQBApplication;

inline constexpr int kSplashMilliseconds = 2000;

// Shows the splash and returns at once. After kSplashMilliseconds of event loop, `then`
// runs (the main window shows itself) and the splash closes; nothing runs when `context`
// is gone by then.
void ShowStartupSplash(const TQBApplication& app, QObject* context, std::function<void()> then);

}  // namespace gs
