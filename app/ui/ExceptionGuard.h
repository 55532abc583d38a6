#pragma once
// The application-level error handler of the window program: every slot runs its body
// through Guard, so no exception crosses a Qt frame. An EQBException is shown with its
// details in the box of its severity; severity 0 and every other exception end the program
// right after the box, through an injectable terminator (tests record the call).
#include <exception>
#include <functional>

namespace gs {

class IMessageBoxes;

inline constexpr const char* kMsgUnexpectedError = "Unexpected error.";

class TAppExceptionHandler {
public:
    using Action = std::function<void()>;

    // `bringToFront` raises the window before the box; `terminate` must not return in the
    // program (tests may let it return).
    TAppExceptionHandler(IMessageBoxes& boxes, Action bringToFront, Action terminate);

    // Shows the error and ends the program when it is fatal. Never throws.
    void Handle(std::exception_ptr error) noexcept;

    template <class F>
    void Guard(F&& body) noexcept {
        try {
            body();
        } catch (...) {
            Handle(std::current_exception());
        }
    }

private:
    IMessageBoxes& boxes_;
    Action bringToFront_;
    Action terminate_;
};

}  // namespace gs
