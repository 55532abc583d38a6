#pragma once
// What the item model needs from the running program: one handler for the exceptions of
// clicks, popup handlers and hooks; a way to run a click after the menu loop has
// returned; and the services a menu loop's result may call for.
#include <cstdint>
#include <exception>
#include <functional>
#include <string_view>

namespace tb {

class TTBCustomItem;

using ExceptionHandler = std::function<void(std::exception_ptr)>;
// The application's handler; by default the error is written to stderr.
void SetExceptionHandler(ExceptionHandler handler);
void HandleException(std::exception_ptr error);
// Runs `fn`, handing anything it throws to the handler. False when it threw.
bool Guarded(const std::function<void()>& fn);

// Runs a task later on this (the GUI) thread. The ui posts a queued call; without one,
// tasks wait for RunPostedClicks.
using ClickPoster = std::function<void(std::function<void()>)>;
void SetClickPoster(ClickPoster poster);
// Runs the tasks that waited for want of a poster; answers how many ran.
int RunPostedClicks();

// Clicks `item` once control is back in the event loop. The newest request wins; a click
// whose item was freed, or whose action is disabled by then, does nothing.
void PostClick(TTBCustomItem* item);
// An item being freed forgets its pending click.
void ForgetPendingClick(TTBCustomItem* item);

// The result of a menu loop.
struct TTBLoopResult {
    enum class Kind : std::uint8_t { None = 0, ClickItem = 1, SystemMenu = 2, Help = 3 };
    Kind kind = Kind::None;
    TTBCustomItem* item = nullptr;  // ClickItem
    void* window = nullptr;         // SystemMenu
    int helpContext = 0;            // Help
    bool playSound = false;         // ClickItem: the "MenuCommand" sound
    int key = 0;                    // SystemMenu
};

struct TLoopServices {
    // Plays a sound of the desktop's scheme; silent by default.
    std::function<void(std::string_view alias)> playSound;
    // Whether the scheme sets that sound (defaults to the registry store).
    std::function<bool(std::string_view name)> soundEnabled;
    // Opens a window's system menu with a key; nothing by default.
    std::function<void(void* window, int key)> systemMenu;
    // Shows the help topic of a context; nothing by default.
    std::function<void(int context)> help;
};
void SetLoopServices(TLoopServices services);
void PerformLoopResult(const TTBLoopResult& result);
// Whether the desktop's scheme sets the menu sound `alias` ("MenuPopup", "MenuCommand").
bool MenuSoundWanted(std::string_view alias);
// Plays it through the services when the scheme sets it.
void PlayMenuSound(std::string_view alias);

}  // namespace tb
