// The Find and Select Image Format dialogs show their picture after the colour flag, as the
// favourites dialogs do: the shaded one or the one of flat colours, whole inside the dialog
// and over no other control (offscreen; GS_SHOT_DIR keeps the rendered dialogs to look at).
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QSet>

#include "app/core/AppIdentity.h"
#include "app/ui/FindDlg.h"
#include "app/ui/SelectFormatDlg.h"
#include "framework/core/Application.h"
#include "support/QtTestApp.h"

using namespace gs;

namespace {

QSet<QRgb> coloursOf(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
    return colours;
}

TEST(DialogPictures, FindAndSelectFormatShowTheirPictureAfterTheColourFlag) {
    gstest::qtTestApp();
    if (!hasApplication()) installApplication(makeApplicationDescriptor("/opt/glyphscope/glyphscope"));
    TRegistryStore store(":memory:");
    struct Case {
        const char* name;
        TDialogPicture picture;
        std::function<std::unique_ptr<QDialog>(bool)> make;
    } cases[] = {
        {"find", TDialogPicture::Find, [&](bool hi) { return std::make_unique<TFindDlg>(nullptr, store, TDialogHooks{}, hi); }},
        {"format", TDialogPicture::ImageFormat,
         [](bool hi) { return std::make_unique<TSelectFormatDlg>(nullptr, std::function<void()>{}, hi); }},
    };
    for (const Case& c : cases) {
        // A 256-colour screen's picture has no shades: far fewer colours than the shaded one.
        const QImage flat = DialogPicture(c.picture, false).toImage(), shaded = DialogPicture(c.picture, true).toImage();
        EXPECT_LT(coloursOf(flat).size() * 3, coloursOf(shaded).size()) << c.name;
        for (bool hi : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (hi ? " high colour" : " 256 colours"));
            std::unique_ptr<QDialog> d = c.make(hi);
            d->show();
            auto* picture = d->findChild<QLabel*>("imgPicture");
            ASSERT_TRUE(picture);
            EXPECT_EQ(picture->pixmap().toImage(), (hi ? shaded : flat));
            const QRect at(picture->mapTo(d.get(), QPoint(0, 0)), picture->pixmap().size());
            EXPECT_TRUE(d->rect().contains(at));
            for (QWidget* w : d->findChildren<QWidget*>()) {
                if (w == picture || !w->isVisible() || w->isAncestorOf(picture) || w->parentWidget() != d.get()) continue;
                EXPECT_FALSE(QRect(w->pos(), w->size()).intersects(at)) << w->objectName().toStdString();
            }
            if (const char* out = std::getenv("GS_SHOT_DIR"))
                d->grab().save(QString("%1/%2-%3.png").arg(out, c.name, hi ? "hi" : "256"));
        }
    }
}

}  // namespace
