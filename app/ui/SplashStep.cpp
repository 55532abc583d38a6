#include "app/ui/SplashStep.h"

#include <QTimer>

#include "codecs/ui/QtRaster.h"
#include "app/ui/SplashBitmap.h"
#include "framework/ui/SplashForm.h"

namespace gs {

void ShowStartupSplash(const TQBApplication& app, QObject* context, std::function<void()> then) {
    const std::optional<TRaster> bitmap = GetSplashBitmap();
    ShowSplashForm(app, bitmap ? ToQImage(*bitmap, TRasterAlpha::Opaque) : QImage(), Qt::white);
    // A timer, not a wait: the event loop paints the splash and runs the start-up meanwhile.
    QTimer::singleShot(kSplashMilliseconds, context, [then = std::move(then)] {
        // The main window comes up before the splash goes, so there is always a window.
        if (then) then();
        CloseSplashForm();
    });
}

}  // namespace gs
