#include "settings/cities.h"

#include <gtest/gtest.h>

#include <set>

using namespace settings;

TEST(Cities, NamesOnceAndChinaFirstWithLatitudeAndLongitudeTheRightWayRound) {
    std::set<std::wstring> names;
    for (const City& city : Cities()) {
        std::wstring name = city.name;
        EXPECT_TRUE(names.insert(name).second) << testing::PrintToString(name);
        EXPECT_EQ(FindCity(name), &city);
        bool inChina =
            city.latitude > 18 && city.latitude < 54 && city.longitude > 73 && city.longitude < 135;
        // 4 + 27 + 香港, 澳门, 台北 first
        EXPECT_TRUE(inChina || names.size() > 34) << testing::PrintToString(name);
    }
    EXPECT_EQ(Cities().front().name, std::wstring(DefaultCity));
    EXPECT_NEAR(FindCity(L"悉尼")->latitude, -33.87, 0.01);
    EXPECT_NEAR(FindCity(L"纽约")->longitude, -74.01, 0.01);
    EXPECT_FALSE(FindCity(CustomCity) || FindCity(L"") || FindCity(L"北京市"));
}
