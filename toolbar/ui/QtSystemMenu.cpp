#include "toolbar/ui/QtSystemMenu.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <iterator>

#include "toolbar/ui/QtMenuLoop.h"

namespace tb {

namespace {

enum class TWindowCommand { Restore, Move, Size, Minimize, Maximize, Separator, Close };

struct TCommandInfo {
    TWindowCommand command;
    const char* caption;
};

constexpr TCommandInfo kCommands[] = {
    {TWindowCommand::Restore, "&Restore"},   {TWindowCommand::Move, "&Move"},
    {TWindowCommand::Size, "&Size"},         {TWindowCommand::Minimize, "Mi&nimize"},
    {TWindowCommand::Maximize, "Ma&ximize"}, {TWindowCommand::Separator, ""},
    {TWindowCommand::Close, "&Close\tAlt+F4"},
};

bool resizable(const QWidget& w) { return w.minimumSize() != w.maximumSize(); }

bool enabledFor(TWindowCommand command, const QWidget& w) {
    const bool zoomed = w.isMaximized() || w.isFullScreen();
    switch (command) {
    case TWindowCommand::Restore: return zoomed || w.isMinimized();
    case TWindowCommand::Move: return !zoomed;
    case TWindowCommand::Size: return !zoomed && resizable(w);
    case TWindowCommand::Maximize: return !zoomed && resizable(w);
    default: return true;
    }
}

void run(TWindowCommand command, QWidget& w) {
    switch (command) {
    case TWindowCommand::Restore: w.showNormal(); break;
    case TWindowCommand::Move:
        if (w.windowHandle()) w.windowHandle()->startSystemMove();
        break;
    case TWindowCommand::Size:
        if (w.windowHandle()) w.windowHandle()->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
        break;
    case TWindowCommand::Minimize: w.showMinimized(); break;
    case TWindowCommand::Maximize: w.showMaximized(); break;
    case TWindowCommand::Close: w.close(); break;
    case TWindowCommand::Separator: break;
    }
}

TTBPopupMenu& makeMenu(QWidget& window) {
    auto* menu = new TTBPopupMenu(&window);
    menu->setObjectName("SystemMenu");
    QPointer<QWidget> target(&window);
    for (const TCommandInfo& info : kCommands) {
        TTBCustomItem* item = info.command == TWindowCommand::Separator
                                  ? static_cast<TTBCustomItem*>(new TTBSeparatorItem(&menu->Items()))
                                  : new TTBItem(&menu->Items());
        item->SetCaption(info.caption);
        if (info.command == TWindowCommand::Close) item->SetOptions(tboDefault);
        if (info.command != TWindowCommand::Separator)
            item->SetOnClick([target, command = info.command](TTBCustomItem*) {
                if (target) run(command, *target);
            });
        menu->Items().Add(item);
    }
    return *menu;
}

}  // namespace

TTBPopupMenu& SystemMenuOf(QWidget& window) {
    auto* menu = window.findChild<TTBPopupMenu*>("SystemMenu", Qt::FindDirectChildrenOnly);
    if (!menu) menu = &makeMenu(window);
    // The items stand in the order of the table.
    for (int i = 0; i < menu->Items().Count() && std::size_t(i) < std::size(kCommands); ++i)
        menu->Items().Items(i)->SetEnabled(enabledFor(kCommands[i].command, window));
    return *menu;
}

void ShowSystemMenu(QWidget* window) {
    if (!window) return;
    QWidget& w = *window->window();
    const QPoint at = w.mapToGlobal(QPoint(0, 0));
    SystemMenuOf(w).Popup(at.x(), at.y());
}

}  // namespace tb
