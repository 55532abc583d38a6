#pragma once
// The tip-of-the-day window: a white area with the heading "Did you know..." and one tip,
// the next tip on request, and the show-at-start-up check whose state is the answer.
#include <random>
#include <string>

#include "framework/core/TipList.h"
#include "framework/ui/SmallForm.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace gs {

class IMessageBoxes;
class TQBApplication;

inline constexpr const char* kTipCaption = "Tip Of The Day...";
inline constexpr const char* kTipHeading = "Did you know...";

class TTipOfTheDayForm : public TSmallForm {
    Q_OBJECT
public:
    TTipOfTheDayForm(const TQBApplication& app, bool showAtStartup, TTipList tips, IFormDesktop& desktop,
                     QWidget* parent = nullptr);

    void cmdNextTipClick();
    const TTipList& Tips() const { return tips_; }

    QWidget* pMessage;
    QLabel* lblHeading;
    QLabel* lblMessage;
    QCheckBox* chkShowTips;
    QPushButton* cmdNextTip;
    QPushButton* cmdClose;

private:
    void showTip();
    TTipList tips_;
};

// The new value of the show-at-start-up setting. Neither flag: ShowAtStartup unchanged and
// nothing shown. A tip file with tips: the window, modal, its check the answer. A tip file
// without tips (or unreadable): nothing shown, ShowAtStartup unchanged. No tip file: with
// Forced the decoder's warning in a box; the answer is false. `random` orders the tips (a
// fresh seed when null).
bool ShowTipOfTheDay(const TQBApplication& app, bool showAtStartup, bool forced, IMessageBoxes& boxes,
                     IFormDesktop& desktop, QWidget* parent = nullptr, std::mt19937* random = nullptr);

}  // namespace gs
