// The item tree: children and their errors, the notifications views get, listeners that
// come and go while they are told, lifetime, options and the property setters.
#include <gtest/gtest.h>

#include "FakeSources.h"
#include "toolbar/core/MRUList.h"

using namespace tb;
using namespace tbtest;
using K = TTBChangeKind;

namespace {

template <class Fn>
std::string errorOf(Fn fn) {
    try {
        fn();
    } catch (const ETBItemError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(ToolbarItem, InsertAndItsErrors) {
    TTBRootItem root(nullptr);
    auto* a = new TTBItem(&root);
    auto* b = new TTBItem(&root);
    Recorder rec;
    root.AddChangeListener(&rec);
    root.Add(a);
    EXPECT_EQ(rec.events, (std::vector<Event>{{K::BeginUpdate, nullptr, -1, false},
                                              {K::Inserted, a, 0, false},
                                              {K::EndUpdate, nullptr, -1, false}}));
    EXPECT_EQ(errorOf([&] { root.Insert(root.Count() + 1, b); }), kItemIndexOutOfRange);
    EXPECT_EQ(errorOf([&] { root.Insert(-1, b); }), kItemIndexOutOfRange);
    EXPECT_EQ(errorOf([&] { root.Add(a); }), kItemAlreadyInserted);
    EXPECT_EQ(errorOf([&] { root.Items(1); }), kItemIndexOutOfRange);
    root.Insert(root.Count(), b);  // Count itself is a valid place
    EXPECT_EQ(b->Parent(), &root);

    // Neither the item itself nor one of its ancestors may become its child.
    root.Delete(0);
    EXPECT_EQ(errorOf([&] { a->Add(a); }), kItemInsertedIntoItself);
    b->Add(a);
    root.Delete(0);
    EXPECT_EQ(errorOf([&] { a->Add(b); }), kItemInsertedIntoItself);
    EXPECT_EQ(a->Count(), 0);
    // After Delete an item is unlinked, alive, and may be added again.
    b->Delete(0);
    root.Add(a);
    EXPECT_EQ(root.IndexOf(a), 0);
}

TEST(ToolbarItem, MoveChecksBothIndexesBeforeTellingTheViews) {
    TTBRootItem root(nullptr);
    TTBItem* items[3];
    for (auto*& i : items) root.Add(i = new TTBItem(&root));
    Recorder rec;
    root.AddChangeListener(&rec);
    for (auto [from, to] : {std::pair{0, 3}, {-1, 1}, {3, 0}}) {
        EXPECT_EQ(errorOf([&] { root.Move(from, to); }), kItemIndexOutOfRange);
        EXPECT_TRUE(rec.events.empty());
    }
    root.Move(0, 2);
    EXPECT_EQ(root.Items(2), items[0]);
    EXPECT_EQ(rec.kinds(), (std::vector<K>{K::BeginUpdate, K::Deleting, K::BeginUpdate, K::Inserted, K::EndUpdate,
                                          K::EndUpdate}));
}

TEST(ToolbarItem, EveryBeginUpdateGetsItsEnd) {
    TTBRootItem root(nullptr);
    auto* a = new TTBItem(&root);
    Recorder rec;
    rec.onEvent = [&] {
        if (rec.events.back().kind == K::Inserted) throw std::runtime_error("view failed");
    };
    root.AddChangeListener(&rec);
    EXPECT_THROW(root.Add(a), std::runtime_error);
    EXPECT_EQ(rec.kinds(), (std::vector<K>{K::BeginUpdate, K::Inserted, K::EndUpdate}));
}

TEST(ToolbarItem, ListenersMayLeaveWhileTold) {
    TTBRootItem root(nullptr);
    auto* a = new TTBItem(&root);
    root.Add(a);
    struct Case {
        const char* name;
        int remover;               // which listener unregisters on being told
        std::vector<int> removes;  // whom it unregisters
        std::vector<int> called;   // who is told of the first change
    } cases[] = {
        {"itself first", 0, {0}, {0, 1, 2}},
        {"itself last", 2, {2}, {0, 1, 2}},
        {"the next one", 0, {1}, {0, 2}},
        {"all of them", 1, {0, 1, 2}, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::unique_ptr<Recorder>> recs;
        for (int i = 0; i < 3; ++i) recs.push_back(std::make_unique<Recorder>());
        std::vector<int> called;
        for (int i = 0; i < 3; ++i) {
            recs[i]->onEvent = [&, i] {
                called.push_back(i);
                if (i != c.remover) return;
                // Locals only from here: the listener running this may be freed below.
                std::vector<int> removes = c.removes;
                auto* all = &recs;
                for (int r : removes) root.RemoveChangeListener((*all)[r].get());
                for (int r : removes) (*all)[r].reset();  // freed at once: must never be touched again
            };
            root.AddChangeListener(recs[i].get());
        }
        a->SetCaption(c.name);
        EXPECT_EQ(called, c.called);
        for (auto& r : recs)
            if (r) root.RemoveChangeListener(r.get());
    }
}

TEST(ToolbarItem, ListenersAreCounted) {
    TTBRootItem root(nullptr);
    auto* a = new TTBItem(&root);
    root.Add(a);
    Recorder rec;
    root.AddChangeListener(&rec);
    root.AddChangeListener(&rec);
    root.RemoveChangeListener(&rec);
    a->SetChecked(true);
    EXPECT_EQ(rec.events.size(), 1u);  // still registered once
    root.RemoveChangeListener(&rec);
    a->SetChecked(false);
    EXPECT_EQ(rec.events.size(), 1u);
}

TEST(ToolbarItem, OwnerFreesDeleteOnlyUnlinks) {
    auto owner = std::make_unique<TTBRootItem>(nullptr);
    TTBRootItem other(nullptr);
    auto* a = new TTBItem(owner.get());
    other.Add(a);
    Recorder rec;
    other.AddChangeListener(&rec);
    other.Delete(0);
    EXPECT_EQ(owner->Components().size(), 1u);  // unlinked, still alive and owned
    other.Add(a);
    owner.reset();  // the owner frees it, and it leaves its parent
    EXPECT_EQ(other.Count(), 0);
    EXPECT_EQ(rec.kinds().back(), K::Deleting);
}

TEST(ToolbarItem, SettersTellTheParentsViews) {
    TTBRootItem root(nullptr);
    auto* a = new TTBItem(&root);
    root.Add(a);
    Recorder rec;
    root.AddChangeListener(&rec);
    FakeImages small, smallToo, big;
    big.w = big.h = 32;
    struct Step {
        const char* name;
        std::function<void()> change;
        std::vector<K> kinds;
    } steps[] = {
        {"image 3", [&] { a->SetImageIndex(3); }, {K::PositionsInvalid}},
        {"image 3 to 5", [&] { a->SetImageIndex(5); }, {K::RepaintItem}},
        {"image to none", [&] { a->SetImageIndex(-1); }, {K::PositionsInvalid}},
        {"none to 5", [&] { a->SetImageIndex(5); }, {K::PositionsInvalid}},
        {"same value", [&] { a->SetImageIndex(5); }, {}},
        {"first image list", [&] { a->SetImages(&small); }, {K::PositionsInvalid}},
        {"list of the same size", [&] { a->SetImages(&smallToo); }, {K::RepaintItem}},
        {"list of another size", [&] { a->SetImages(&big); }, {K::PositionsInvalid}},
        {"the list's images grow", [&] { big.Resize(48, 48); }, {K::PositionsInvalid}},
        {"the list changes, same size", [&] { big.Resize(48, 48); }, {K::RepaintItem}},
        {"caption", [&] { a->SetCaption("&Open"); }, {K::PositionsInvalid}},
        {"checked", [&] { a->SetChecked(true); }, {K::RepaintItem}},
        {"disabled", [&] { a->SetEnabled(false); }, {K::RepaintItem}},
        {"hidden", [&] { a->SetVisible(false); }, {K::PositionsInvalid}},
        {"renamed", [&] { a->SetName("itmOpen"); }, {K::NameChanged}},
        {"toolbar style", [&] { a->SetOptions(tboToolbarStyle); }, {K::PositionsInvalid}},
        {"hint option only", [&] { a->SetOptions(tboToolbarStyle | tboShowHint); }, {}},
        {"submenu images", [&] { root.SetSubMenuImages(&small); }, {K::SubMenuImagesChanged}},
    };
    for (const Step& s : steps) {
        rec.events.clear();
        s.change();
        EXPECT_EQ(rec.kinds(), s.kinds) << s.name;
    }
    a->SetImages(nullptr);
    root.SetSubMenuImages(nullptr);
}

TEST(ToolbarItem, ImageListGoingAwayIsForgotten) {
    TTBRootItem root(nullptr);
    auto* a = new TTBItem(&root);
    {
        FakeImages images;
        a->SetImages(&images);
        root.SetSubMenuImages(&images);
    }
    EXPECT_EQ(a->Images(), nullptr);
    EXPECT_EQ(root.SubMenuImages(), nullptr);
}

TEST(ToolbarItem, GroupIndexChecksOneOfAGroup) {
    TTBRootItem root(nullptr);
    TTBItem* it[4];
    int groups[4] = {2, 2, 3, 2};
    for (int i = 0; i < 4; ++i) {
        root.Add(it[i] = new TTBItem(&root));
        it[i]->SetGroupIndex(groups[i]);
        it[i]->SetChecked(true);
    }
    EXPECT_EQ((std::vector<bool>{it[0]->Checked(), it[1]->Checked(), it[2]->Checked(), it[3]->Checked()}),
              (std::vector<bool>{false, false, true, true}));
    it[2]->SetGroupIndex(2);  // joining a group while checked unchecks the others
    EXPECT_FALSE(it[3]->Checked());
    it[1]->SetGroupIndex(0);
    it[1]->SetChecked(true);  // group 0 is no group
    EXPECT_TRUE(it[2]->Checked());
}

TEST(ToolbarItem, OptionsInForceAreInherited) {
    TTBRootItem root(nullptr);
    auto* sub = new TTBSubmenuItem(&root);
    auto* leaf = new TTBItem(&root);
    root.Add(sub);
    sub->Add(leaf);
    root.SetOptions(tboDefault | tboShowHint | tboToolbarStyle | tboToolbarSize);
    EXPECT_EQ(sub->OptionsInForce(), tboShowHint | tboToolbarStyle | tboToolbarSize);  // tboDefault stays put
    EXPECT_EQ(leaf->OptionsInForce(), tboShowHint | tboToolbarStyle | tboToolbarSize);
    sub->SetMaskOptions(tboToolbarStyle);  // without the style the size goes too
    EXPECT_EQ(leaf->OptionsInForce(), tboShowHint);
    leaf->SetInheritOptions(false);
    EXPECT_EQ(leaf->OptionsInForce(), 0);
    leaf->SetOptions(tboToolbarSize);
    EXPECT_EQ(leaf->Options(), 0);
}

TEST(ToolbarItem, LinkedAndEmbeddedItems) {
    TTBRootItem root(nullptr), target(nullptr);
    auto* sub = new TTBSubmenuItem(&root);
    root.Add(sub);
    sub->SetLinkSubitems(sub);
    EXPECT_EQ(sub->LinkSubitems(), nullptr);  // itself is none
    sub->SetLinkSubitems(&target);
    EXPECT_EQ(sub->EffectiveLink(), &target);
    EXPECT_EQ(target.LinkingItems(), std::vector<TTBCustomItem*>{sub});

    // An embedded item's changes reach the views of its parent, marked as relayed.
    auto* embedded = new TTBMRUListItem(&root);
    root.Add(embedded);
    Recorder rec;
    root.AddChangeListener(&rec);
    auto* child = new TTBItem(&root);
    embedded->Add(child);
    EXPECT_EQ(rec.events[1], (Event{K::Inserted, child, 0, true}));
    root.RemoveChangeListener(&rec);
    {
        auto freed = std::make_unique<TTBRootItem>(nullptr);
        sub->SetLinkSubitems(freed.get());
        freed.reset();
        EXPECT_EQ(sub->LinkSubitems(), nullptr);
        EXPECT_TRUE(target.LinkingItems().empty());
    }
}

namespace {
struct FakeControl : TItemControl {
    bool* freed;
    bool inherited = false;
    explicit FakeControl(bool* f) : freed(f) {}
    ~FakeControl() override { *freed = true; }
    bool InheritedFromAncestor() const override { return inherited; }
};
}  // namespace

TEST(ToolbarItem, ControlItemFreesItsControlUnlessKept) {
    for (int keep : {0, 1, 2}) {
        bool freed = false;
        auto* control = new FakeControl(&freed);
        control->inherited = keep == 2;
        {
            TTBControlItem item(nullptr, control);
            item.SetKeepControl(keep == 1);
        }
        EXPECT_EQ(freed, keep == 0) << keep;
        if (!freed) delete control;
    }
    bool freed = false;
    TTBControlItem item(nullptr, new FakeControl(&freed));
    delete item.Control();  // the control goes first: the item forgets it
    EXPECT_EQ(item.Control(), nullptr);
}
