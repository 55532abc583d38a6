#pragma once
// A small busy animation: eight dots round a circle, one lit, the light moving on every
// 100 ms while it runs. It stands in for the animated image control until that control
// exists; it only needs the event loop, which the batch walk lets run between icons.
#include <QTimer>
#include <QWidget>

namespace gs {

class TBusyIndicator : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameCount = 8;
    static constexpr int kFrameIntervalMs = 100;
    static constexpr int kSide = 32;

    explicit TBusyIndicator(QWidget* parent = nullptr);

    void SetActive(bool active);
    bool Active() const { return timer_.isActive(); }
    int Frame() const { return frame_; }
    QSize sizeHint() const override { return {kSide, kSide}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    int frame_ = 0;
};

}  // namespace gs
