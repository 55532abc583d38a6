#include "codecs/ui/ScreenDepth.h"

#include <QGuiApplication>
#include <QScreen>

namespace gs {

int GetScreenColorDepth() {
    constexpr int kNoScreenDepth = 32;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : kNoScreenDepth;
}

}  // namespace gs
