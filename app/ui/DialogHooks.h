#pragma once
// What the list dialogs reach outside themselves: the program's error handler for errors of
// their commands, and the help at a context. Esc closes them; F1 asks for their help.
#include <QDialog>
#include <exception>
#include <functional>

namespace gs {

struct TDialogHooks {
    std::function<void(std::exception_ptr)> OnError;
    std::function<void(int context)> Help;
};

// The common ground of the list dialogs: F1 and the guard around their command bodies.
class TListDialog : public QDialog {
    Q_OBJECT
public:
    TListDialog(QWidget* parent, TDialogHooks hooks, int helpContext);
    int HelpContext() const { return helpContext_; }

    template <class F>
    void Guard(F&& body) {
        try {
            body();
        } catch (...) {
            if (hooks_.OnError) hooks_.OnError(std::current_exception());
        }
    }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    const TDialogHooks& Hooks() const { return hooks_; }

private:
    TDialogHooks hooks_;
    int helpContext_;
};

}  // namespace gs
