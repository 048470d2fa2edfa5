#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/store/OrderedMap.h"

namespace quillory {
namespace {

using Map = OrderedMap<std::string>;

Map::Ptr value(const std::string& text)
{
    return std::make_shared<std::string>(text);
}

// Long runs of adds, replacements and removals, over keys that differ only in letter case, agree
// with a plain list: a new key goes to the end, a present key keeps its place and takes the new
// value, a removal moves the later entries up, an absent key is found nowhere.
TEST(OrderedMap, manyMixedChanges_keepInsertionOrderPositionsAndValues)
{
    Map map;
    std::vector<std::pair<std::string, Map::Ptr>> model;
    const auto inModel = [&model](const std::string& key) {
        return std::find_if(model.begin(), model.end(), [&key](const auto& entry) { return entry.first == key; });
    };
    std::mt19937 random(7);
    const auto randomKey = [&random] {
        const char* prefix = random() % 2 ? "K" : "k";
        return prefix + std::to_string(random() % 150);
    };
    for (int step = 0; step < 4000; ++step) {
        const std::string key = randomKey();
        const auto at = inModel(key);
        if (random() % 3 == 0) {
            EXPECT_TRUE(map.removeMap(key));
            if (at != model.end())
                model.erase(at);
        } else {
            const auto v = value(key + "@" + std::to_string(step));
            EXPECT_TRUE(map.addMap(key, v));
            if (at == model.end())
                model.emplace_back(key, v);
            else
                at->second = v;
        }
        if (step % 25 == 0) { // asking for a position closes the gaps that removals left
            const std::string probe = randomKey();
            const auto found = inModel(probe);
            ASSERT_EQ(map.checkKey(probe), found == model.end() ? 0 : int(found - model.begin()) + 1) << step;
            auto held = value("held"); // the caller's value stays when the key is absent
            const auto previous = held;
            map.getValueByKey(probe, held);
            ASSERT_EQ(held, found == model.end() ? previous : found->second) << step;
        }
    }
    const auto keys = map.getKeyCol();
    const auto values = map.getValueCol();
    ASSERT_EQ(map.getCount(), int(model.size()));
    ASSERT_EQ(keys.size(), model.size());
    ASSERT_EQ(values.size(), model.size());
    for (size_t i = 0; i < model.size(); ++i) {
        EXPECT_EQ(keys[i], model[i].first);
        EXPECT_EQ(values[i], model[i].second);
        EXPECT_EQ(map.checkKey(model[i].first), int(i) + 1);
    }
}

TEST(OrderedMap, fullMap_refusesANewKeyButStillReplaces)
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

    EXPECT_TRUE(map.addMap("5", value("replaced")));
    map.removeMap("1");
    EXPECT_TRUE(map.addMap("new", shared));
    EXPECT_EQ(map.checkKey("new"), 32767);
    EXPECT_EQ(map.checkKey("5"), 4);
}

} // namespace
} // namespace quillory
