#pragma once
// A one-line label that never cuts its text at its edge: what does not fit is elided, in
// the middle when the text holds a path (its start and its file name both stay), else at
// its end. text() stays the whole text.
#include <QLabel>

namespace gs {

class TElidedLabel : public QLabel {
public:
    using QLabel::QLabel;

    // The text as painted at the label's present width.
    QString ShownText() const;
    // Never asks for the whole text's width: the label's place decides.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRect() const;
};

}  // namespace gs
