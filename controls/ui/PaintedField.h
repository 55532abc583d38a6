#pragma once
// A published field of a control whose value shows: assigning a different value repaints
// the control, and a value the control does not accept is ignored. It reads as the value.
#include <QWidget>
#include <functional>
#include <utility>

namespace gs {

template <class T>
class TPaintedField {
public:
    TPaintedField(QWidget* owner, T value, std::function<bool(const T&)> accepts = {})
        : owner_(owner), value_(std::move(value)), accepts_(std::move(accepts)) {}
    TPaintedField(const TPaintedField&) = delete;
    TPaintedField& operator=(const TPaintedField&) = delete;

    TPaintedField& operator=(const T& value) {
        if (value == value_ || (accepts_ && !accepts_(value))) return *this;
        value_ = value;
        if (owner_) owner_->update();
        return *this;
    }
    operator const T&() const { return value_; }
    const T& operator()() const { return value_; }

private:
    QWidget* owner_;
    T value_;
    std::function<bool(const T&)> accepts_;
};

}  // namespace gs
