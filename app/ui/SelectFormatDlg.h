#pragma once
// The Select Image Format dialog of the Save As Image(s) commands: GIF, JPEG, Windows
// metafile or TIFF; asked only when the options say so, else the default format is taken.
#include <QDialog>

#include <functional>
#include <optional>

#include "app/core/HelpContexts.h"
#include "app/ui/DialogPictures.h"
#include "export/ImageFormats.h"

class QLabel;
class QRadioButton;

namespace gs {

class TKAVUOptions;

inline constexpr const char* kSelectFormatCaption = "Select Image Format...";

class TSelectFormatDlg : public QDialog {
    Q_OBJECT
public:
    // `help` runs on F1 (none: F1 does nothing); `highColour`: the shaded picture, else the
    // one of flat colours.
    explicit TSelectFormatDlg(QWidget* parent = nullptr, std::function<void()> help = {},
                              bool highColour = HighColourScreen());

    // The checked format: GIF, JPEG, WMF, otherwise TIFF.
    TBatchFormat Format() const;

    QRadioButton* radGIF;
    QRadioButton* radJPG;
    QRadioButton* radWMF;
    QRadioButton* radTIF;
    QLabel* imgPicture;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void()> help_;
};

// The format of an image save: with PromptForImageFormat off the DefaultImageFormat option's
// (0 GIF, 1 JPEG, 2 WMF, else TIFF) without asking; otherwise `ask`'s answer (nothing when
// the user cancelled).
std::optional<TBatchFormat> SelectImageFormat(const TKAVUOptions& options,
                                              const std::function<std::optional<TBatchFormat>()>& ask);

}  // namespace gs
