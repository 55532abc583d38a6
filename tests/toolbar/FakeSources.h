#pragma once
// Actions, image lists and listeners for the item tests.
#include <string>
#include <vector>

#include "toolbar/core/Item.h"

namespace tbtest {

class FakeAction : public tb::IActionSource {
public:
    tb::TActionValues values;
    int updates = 0, executions = 0;
    std::function<void()> updater;  // may change values (the idle update)

    tb::TActionValues Values() const override { return values; }
    void Update() override {
        ++updates;
        if (updater) updater();
    }
    bool Execute(tb::TComponent*) override {
        Update();
        if (!values.enabled) return false;
        ++executions;
        return true;
    }
    void Set(const tb::TActionValues& v) {
        values = v;
        Changed();
    }
};

class FakeImages : public tb::IImageSource {
public:
    int w = 16, h = 16;
    int Width() const override { return w; }
    int Height() const override { return h; }
    void Resize(int nw, int nh) {
        w = nw;
        h = nh;
        Changed();
    }
};

struct Event {
    tb::TTBChangeKind kind;
    tb::TTBCustomItem* item;
    int index;
    bool relayed;
    friend bool operator==(const Event&, const Event&) = default;
};

class Recorder : public tb::ITBItemChangeListener {
public:
    std::vector<Event> events;
    std::function<void()> onEvent;
    void ItemNotification(tb::TTBCustomItem*, bool relayed, tb::TTBChangeKind kind, tb::TTBCustomItem* item,
                          int index) override {
        events.push_back({kind, item, index, relayed});
        if (onEvent) onEvent();
    }
    std::vector<tb::TTBChangeKind> kinds() const {
        std::vector<tb::TTBChangeKind> k;
        for (auto& e : events) k.push_back(e.kind);
        return k;
    }
};

}  // namespace tbtest
