#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/core/QBList.h"

using namespace gs;

namespace {
// Records its destruction so tests can see which items were freed and in what order.
struct Tracked {
    int id;
    std::vector<int>* freed;
    Tracked(int i, std::vector<int>* log) : id(i), freed(log) {}
    ~Tracked() { freed->push_back(id); }
};

TQBList<Tracked> listOf(std::initializer_list<int> ids, std::vector<int>* log) {
    TQBList<Tracked> list;
    for (int id : ids) list.Add(std::make_unique<Tracked>(id, log));
    return list;
}
}  // namespace

TEST(TQBList, FreesItsItemsLastToFirstAndClearsFirstToLast) {
    std::vector<int> freed;
    { auto list = listOf({1, 2, 3}, &freed); }
    EXPECT_EQ(freed, (std::vector<int>{3, 2, 1}));
    freed.clear();
    auto list = listOf({1, 2, 3}, &freed);
    list.Clear();
    EXPECT_EQ(freed, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0u);
    list.Clear();  // an empty list stays empty
    EXPECT_EQ(list.Count(), 0);
}

TEST(TQBList, RemoveAndDeleteFreeTakeHandsOut) {
    std::vector<int> freed;
    auto list = listOf({1, 2, 3, 4}, &freed);
    Tracked* two = list.GetItem(1);
    Tracked lookalike(2, &freed);  // equal contents, another object
    EXPECT_EQ(list.Remove(&lookalike), -1);
    EXPECT_EQ(list.Remove(two), 1);
    EXPECT_EQ(freed, std::vector<int>{2});
    EXPECT_EQ(list.Count(), 3);

    std::unique_ptr<Tracked> taken = list.Take(0);
    EXPECT_EQ(taken->id, 1);
    EXPECT_EQ(freed.size(), 1u);  // still alive, now the caller's
    std::unique_ptr<Tracked> byIdentity = list.TakeItem(list.GetItem(1));
    EXPECT_EQ(byIdentity->id, 4);
    EXPECT_EQ(list.TakeItem(byIdentity.get()), nullptr);

    list.Delete(0);
    EXPECT_EQ(freed.back(), 3);
    EXPECT_EQ(list.Count(), 0);
}

TEST(TQBList, IndexErrorsChangeNothing) {
    std::vector<int> freed;
    auto list = listOf({1}, &freed);
    try {
        list.GetItem(5);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.Take(1), EListError);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_TRUE(freed.empty());
}

TEST(TQBList, SortsByTheComparatorKeepingEqualItemsInOrder) {
    std::vector<int> freed;
    auto list = listOf({30, 11, 20, 12, 10}, &freed);
    list.Sort([](const Tracked* a, const Tracked* b) { return a->id / 10 - b->id / 10; });  // by tens
    std::vector<int> order;
    for (int i = 0; i < list.Count(); ++i) order.push_back(list[i]->id);
    EXPECT_EQ(order, (std::vector<int>{11, 12, 10, 20, 30}));
    EXPECT_TRUE(freed.empty());
}
