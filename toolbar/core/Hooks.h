#pragma once
// Lets the library's windows watch window events of their thread through one shared set
// of hooks: procedures register for hook codes, each hook kind is installed while some
// registration needs it, and every event is fanned out to the procedures that asked for
// its code. Installing and removing a hook kind is injected (the ui installs an
// application event filter); all of this runs on the GUI thread.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tb {

enum class THookCode : std::uint8_t {
    ActivateApp = 0,      // the application was activated or deactivated
    WindowPosChanged = 1, // a top-level window moved, resized, showed, hid or changed state
    DestroyWindow = 2,    // a top-level window is about to be destroyed
    GetMessage = 3,       // any event; a procedure answering true consumes it
};
using THookCodes = std::uint8_t;  // bit (1 << code)
constexpr THookCodes HookCodeBit(THookCode code) { return THookCodes(1u << unsigned(code)); }

// The kinds of hook that serve the codes: 0 serves codes 0 and 1, 1 serves code 2, 2 code 3.
constexpr int kHookKinds = 3;
constexpr int HookKindOf(THookCode code) {
    return code == THookCode::GetMessage ? 2 : code == THookCode::DestroyWindow ? 1 : 0;
}

// Window and parameters are opaque to this code (the ui passes the object and the event).
using THookProc = bool (*)(THookCode code, void* window, std::uintptr_t wParam, std::intptr_t lParam);

class THookRegistry {
public:
    // Installs a hook kind; false when the system refused (the next install tries again).
    using Installer = std::function<bool(int kind)>;
    using Uninstaller = std::function<void(int kind)>;
    THookRegistry(Installer install, Uninstaller uninstall);
    ~THookRegistry();  // removes every installed hook

    // A procedure registered again adds to its reference count and its codes; JustCount
    // registers without installing (nothing is then dispatched to it for lack of a hook).
    void RegisterHookProc(THookProc proc, THookCodes codes, bool justCount = false);
    // Undoes the newest registration of `proc`; an unknown procedure changes nothing.
    void UnregisterHookProc(THookProc proc);

    // Calls, in registration order, every procedure registered for `code`, while the hook
    // kind of `code` is installed. Exceptions go to the library's handler and the next
    // procedure still runs. True when a GetMessage procedure consumed the event.
    bool Dispatch(THookCode code, void* window, std::uintptr_t wParam, std::intptr_t lParam);

    int UseCount(int kind) const { return kinds_[std::size_t(kind)].uses; }
    bool Installed(int kind) const { return kinds_[std::size_t(kind)].installed; }
    // Registrations of `proc` (0 when it has none) and the union of their codes.
    int RefCount(THookProc proc) const;
    THookCodes CodesOf(THookProc proc) const;
    bool Empty() const { return records_.empty(); }

private:
    struct Record {
        THookProc proc;
        struct Registration {
            THookCodes codes;
            bool counted;  // took a use of its hook kinds (not JustCount)
        };
        std::vector<Registration> registrations;  // oldest first
        bool removed = false;
        THookCodes codes() const;
    };
    struct Kind {
        int uses = 0;
        bool installed = false;
    };
    void InstallHooks(THookCodes codes);
    void UninstallHooks(THookCodes codes, bool force);
    const Record* Find(THookProc proc) const;

    Installer install_;
    Uninstaller uninstall_;
    std::vector<std::shared_ptr<Record>> records_;
    std::array<Kind, kHookKinds> kinds_{};
};

// The GUI thread's registry; the ui sets it up with its installer before first use.
THookRegistry& Hooks();
void SetHookInstaller(THookRegistry::Installer install, THookRegistry::Uninstaller uninstall);

}  // namespace tb
