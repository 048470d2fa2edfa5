#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "store/MyMap.h"

namespace quillory {
namespace {

using Map = MyMap<std::string>;
using Keys = std::vector<std::string>;

Map::Ptr value(const std::string& text) { return std::make_shared<std::string>(text); }

TEST(MyMap, addExistingKey_keepsPositionAndReplacesValue)
{
    Map map;
    const auto d1 = value("1"), d2 = value("2"), d3 = value("3"), d2new = value("2 new");
    map.addMap("D1", d1);
    map.addMap("D2", d2);
    map.addMap("D3", d3);
    const auto valuesBefore = map.getValueCol();
    EXPECT_TRUE(map.addMap("D2", d2new));
    EXPECT_EQ(map.getCount(), 3);
    EXPECT_EQ(map.getKeyCol(), (Keys{"D1", "D2", "D3"}));
    EXPECT_EQ(map.getValueCol(), (std::vector<Map::Ptr>{d1, d2new, d3}));
    EXPECT_EQ(valuesBefore[1], d2); // what was handed out earlier does not change
}

TEST(MyMap, lookups_areExactAndAbsentKeysLeaveTheCallersValue)
{
    Map map;
    EXPECT_EQ(map.checkKey("D1"), 0);
    const auto d1 = value("1");
    map.addMap("D1", d1);
    EXPECT_EQ(map.checkKey("D1"), 1);
    EXPECT_EQ(map.checkKey("d1"), 0);

    auto held = value("previous");
    const auto previous = held;
    map.getValueByKey("D9", held);
    EXPECT_EQ(held, previous);
    map.getValueByKey("D1", held);
    EXPECT_EQ(held, d1);

    map.addMap("d1", value("lower"));
    EXPECT_EQ(map.getKeyCol(), (Keys{"D1", "d1"}));
    EXPECT_EQ(map.getValueByKey("D1"), d1);
}

TEST(MyMap, removeKey_movesLaterEntriesUpAndIgnoresAbsentKeys)
{
    Map map;
    for (const char* key : {"D1", "D2", "D3"})
        map.addMap(key, value(key));
    EXPECT_TRUE(map.removeMap("D9"));
    EXPECT_EQ(map.getKeyCol(), (Keys{"D1", "D2", "D3"}));

    EXPECT_TRUE(map.removeMap("D2"));
    EXPECT_EQ(map.checkKey("D3"), 2);
    EXPECT_EQ(map.checkKey("D2"), 0);
    EXPECT_EQ(map.getValueByKey("D2"), nullptr);
    EXPECT_EQ(map.getCount(), 2);

    map.addMap("D2", value("back"));
    EXPECT_EQ(map.getKeyCol(), (Keys{"D1", "D3", "D2"}));
    EXPECT_EQ(*map.getValueByKey("D2"), "back");
}

// Positions after long runs of adds, replacements and removals agree with a plain list.
TEST(MyMap, manyMixedChanges_keepPositionsInInsertionOrder)
{
    Map map;
    Keys model;
    std::mt19937 random(7);
    for (int step = 0; step < 4000; ++step) {
        const std::string key = "K" + std::to_string(random() % 300);
        const auto at = std::find(model.begin(), model.end(), key);
        if (random() % 3 == 0) {
            map.removeMap(key);
            if (at != model.end())
                model.erase(at);
        } else {
            map.addMap(key, value(key + "@" + std::to_string(step)));
            if (at == model.end())
                model.push_back(key);
        }
        if (step % 25 == 0) { // asking for a position closes the gaps that removals left
            const std::string probe = "K" + std::to_string(random() % 300);
            const auto found = std::find(model.begin(), model.end(), probe);
            ASSERT_EQ(map.checkKey(probe), found == model.end() ? 0 : int(found - model.begin()) + 1) << step;
        }
    }
    EXPECT_EQ(map.getKeyCol(), model);
    for (size_t i = 0; i < model.size(); ++i)
        ASSERT_EQ(map.checkKey(model[i]), int(i) + 1);
}

TEST(MyMap, fullMap_refusesANewKeyButStillReplaces)
{
    Map map;
    const auto shared = value("v");
    for (int i = 1; i <= 32767; ++i)
        ASSERT_TRUE(map.addMap(std::to_string(i), shared));
    EXPECT_EQ(map.getCount(), 32767);
    EXPECT_TRUE(map.isFull());

    EXPECT_FALSE(map.addMap("new", shared));
    EXPECT_EQ(map.getCount(), 32767);
    EXPECT_EQ(map.checkKey("new"), 0);

    const auto replacement = value("replaced");
    EXPECT_TRUE(map.addMap("5", replacement));
    EXPECT_EQ(map.getValueByKey("5"), replacement);
    EXPECT_EQ(map.checkKey("5"), 5);

    map.removeMap("1");
    EXPECT_TRUE(map.addMap("new", shared));
    EXPECT_EQ(map.checkKey("new"), 32767);
    EXPECT_EQ(map.checkKey("5"), 4);
}

} // namespace
} // namespace quillory
