#include "wallpaper/choosing/sun_times.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace wallpaper;

namespace {

struct Where {
    double latitude, longitude;
    int utcOffsetMinutes; // the machine's
};
// The first sunrise and sunset within the machine's local date in seconds after its midnight (-1: none);
// 'D' for a polar day, 'N' for a polar night, 'E' for a day with either.
struct Reference {
    int place, date, rise, set;
    char kind;
};

// Made with PyEphem by make_sun_reference.py.
enum Place { Eq, DE, DW, Bj, Ur, Hb, Sy, Os, Rk, Tr, R2, R0 };
const Where Places[] = {
    {0.0, 0.0, 0},       {0.5, 179.5, 0},      {-0.5, -179.5, 0},     {39.9, 116.41, 480},
    {43.83, 87.62, 480}, {45.75, 126.63, 480}, {-33.87, 151.21, 600}, {59.91, 10.75, 60},
    {64.15, -21.94, 0},  {69.65, 18.96, 60},   {60.0, 85.7, 0},       {60.0, 86.2, 0},
};
// clang-format off
const Reference References[] = {
    {Eq, 20260101, 21589, 65239, 'E'}, {Eq, 20260122, 22077, 65711, 'E'}, {Eq, 20260212, 22244, 65856, 'E'},
    {Eq, 20260305, 22089, 65684, 'E'}, {Eq, 20260326, 21743, 65334, 'E'}, {Eq, 20260416, 21387, 64985, 'E'},
    {Eq, 20260507, 21185, 64799, 'E'}, {Eq, 20260528, 21222, 64852, 'E'}, {Eq, 20260618, 21450, 65089, 'E'},
    {Eq, 20260709, 21699, 65332, 'E'}, {Eq, 20260730, 21779, 65396, 'E'}, {Eq, 20260820, 21605, 65204, 'E'},
    {Eq, 20260910, 21225, 64813, 'E'}, {Eq, 20261001, 20785, 64374, 'E'}, {Eq, 20261022, 20468, 64070, 'E'},
    {Eq, 20261112, 20437, 64061, 'E'}, {Eq, 20261203, 20764, 64409, 'E'}, {Eq, 20261224, 21347, 64999, 'E'},
    {Bj, 20260101, 27352, 61189, 'E'}, {Bj, 20260122, 27044, 62478, 'E'}, {Bj, 20260212, 25876, 63979, 'E'},
    {Bj, 20260305, 24134, 65408, 'E'}, {Bj, 20260326, 22130, 66723, 'E'}, {Bj, 20260416, 20152, 67994, 'E'},
    {Bj, 20260507, 18483, 69263, 'E'}, {Bj, 20260528, 17406, 70410, 'E'}, {Bj, 20260618, 17129, 71128, 'E'},
    {Bj, 20260709, 17636, 71094, 'E'}, {Bj, 20260730, 18648, 70219, 'E'}, {Bj, 20260820, 19832, 68669, 'E'},
    {Bj, 20260910, 21016, 66718, 'E'}, {Bj, 20261001, 22211, 64646, 'E'}, {Bj, 20261022, 23503, 62730, 'E'},
    {Bj, 20261112, 24920, 61270, 'E'}, {Bj, 20261203, 26291, 60576, 'E'}, {Bj, 20261224, 27211, 60841, 'E'},
    {Os, 20260101, 33503, 55378, 'E'}, {Os, 20260122, 31908, 57958, 'E'}, {Os, 20260212, 28974, 61225, 'E'},
    {Os, 20260305, 25427, 64461, 'E'}, {Os, 20260326, 21650, 67555, 'E'}, {Os, 20260416, 17884, 70628, 'E'},
    {Os, 20260507, 14390, 73737, 'E'}, {Os, 20260528, 11622, 76573, 'E'}, {Os, 20260618, 10421, 78170, 'E'},
    {Os, 20260709, 11450, 77553, 'E'}, {Os, 20260730, 14012, 75104, 'E'}, {Os, 20260820, 17011, 71740, 'E'},
    {Os, 20260910, 19984, 68006, 'E'}, {Os, 20261001, 22933, 64191, 'E'}, {Os, 20261022, 25998, 60516, 'E'},
    {Os, 20261112, 29200, 57290, 'E'}, {Os, 20261203, 32096, 55092, 'E'}, {Os, 20261224, 33555, 54833, 'E'},
    {Sy, 20260101, 17249, 68965, 'E'}, {Sy, 20260122, 18377, 68791, 'E'}, {Sy, 20260212, 19626, 67861, 'E'},
    {Sy, 20260305, 20758, 66412, 'E'}, {Sy, 20260326, 21751, 64728, 'E'}, {Sy, 20260416, 22690, 63085, 'E'},
    {Sy, 20260507, 23640, 61744, 'E'}, {Sy, 20260528, 24538, 60936, 'E'}, {Sy, 20260618, 25151, 60794, 'E'},
    {Sy, 20260709, 25205, 61248, 'E'}, {Sy, 20260730, 24571, 62045, 'E'}, {Sy, 20260820, 23339, 62927, 'E'},
    {Sy, 20260910, 21721, 63784, 'E'}, {Sy, 20261001, 19972, 64655, 'E'}, {Sy, 20261022, 18354, 65643, 'E'},
    {Sy, 20261112, 17148, 66791, 'E'}, {Sy, 20261203, 16625, 67964, 'E'}, {Sy, 20261224, 16928, 68810, 'E'},
    {DE, 20260101, 64974, 22094, 'E'}, {DE, 20260115, 65320, 22447, 'E'}, {DE, 20260201, 65562, 22703, 'E'},
    {DE, 20260215, 65585, 22743, 'E'}, {DE, 20260301, 65468, 22646, 'E'}, {DE, 20260315, 65252, 22452, 'E'},
    {DE, 20260401, 64935, 22164, 'E'}, {DE, 20260415, 64693, 21947, 'E'}, {DE, 20260501, 64504, 21785, 'E'},
    {DE, 20260515, 64449, 21751, 'E'}, {DE, 20260601, 64530, 21851, 'E'}, {DE, 20260615, 64686, 22015, 'E'},
    {DE, 20260701, 64890, 22218, 'E'}, {DE, 20260715, 65022, 22340, 'E'}, {DE, 20260801, 65053, 22350, 'E'},
    {DE, 20260815, 64953, 22228, 'E'}, {DE, 20260901, 64698, 21943, 'E'}, {DE, 20260915, 64423, 21644, 'E'},
    {DE, 20261001, 64102, 21297, 'E'}, {DE, 20261015, 63880, 21054, 'E'}, {DE, 20261101, 63759, 20911, 'E'},
    {DE, 20261115, 63827, 20964, 'E'}, {DE, 20261201, 64098, 21222, 'E'}, {DE, 20261215, 64468, 21587, 'E'},
    {DW, 20260101, 64632, 21956, 'E'}, {DW, 20260115, 64988, 22300, 'E'}, {DW, 20260201, 65249, 22537, 'E'},
    {DW, 20260215, 65292, 22557, 'E'}, {DW, 20260301, 65197, 22438, 'E'}, {DW, 20260315, 65004, 22221, 'E'},
    {DW, 20260401, 64715, 21905, 'E'}, {DW, 20260415, 64496, 21665, 'E'}, {DW, 20260501, 64329, 21480, 'E'},
    {DW, 20260515, 64292, 21429, 'E'}, {DW, 20260601, 64387, 21514, 'E'}, {DW, 20260615, 64549, 21671, 'E'},
    {DW, 20260701, 64752, 21875, 'E'}, {DW, 20260715, 64876, 22005, 'E'}, {DW, 20260801, 64891, 22032, 'E'},
    {DW, 20260815, 64773, 21928, 'E'}, {DW, 20260901, 64492, 21669, 'E'}, {DW, 20260915, 64195, 21392, 'E'},
    {DW, 20261001, 63848, 21071, 'E'}, {DW, 20261015, 63604, 20850, 'E'}, {DW, 20261101, 63456, 20732, 'E'},
    {DW, 20261115, 63506, 20804, 'E'}, {DW, 20261201, 63762, 21079, 'E'}, {DW, 20261215, 64125, 21450, 'E'},
    {Rk, 20260101, 40764, 56615, 'E'}, {Rk, 20260115, 39292, 58806, 'E'}, {Rk, 20260201, 36485, 62130, 'E'},
    {Rk, 20260215, 33787, 64903, 'E'}, {Rk, 20260301, 30926, 67562, 'E'}, {Rk, 20260315, 27980, 70110, 'E'},
    {Rk, 20260401, 24354, 73146, 'E'}, {Rk, 20260415, 21368, 75687, 'E'}, {Rk, 20260501, 18007, 78713, 'E'},
    {Rk, 20260515, 15188, 81453, 'E'}, {Rk, 20260601, 12180, 84627, 'E'}, {Rk, 20260615, 10646, -1, 'E'},
    {Rk, 20260701, 11145, 86166, 'E'}, {Rk, 20260715, 13260, 84251, 'E'}, {Rk, 20260801, 16470, 81077, 'E'},
    {Rk, 20260815, 19128, 78208, 'E'}, {Rk, 20260901, 22203, 74608, 'E'}, {Rk, 20260915, 24637, 71613, 'E'},
    {Rk, 20261001, 27395, 68202, 'E'}, {Rk, 20261015, 29879, 65265, 'E'}, {Rk, 20261101, 33060, 61836, 'E'},
    {Rk, 20261115, 35793, 59240, 'E'}, {Rk, 20261201, 38753, 56832, 'E'}, {Rk, 20261215, 40584, 55756, 'E'},
    {Tr, 20260101, -1, -1, 'N'}, {Tr, 20260115, 41350, 44318, 'E'}, {Tr, 20260201, 33840, 52352, 'E'},
    {Tr, 20260215, 29701, 56575, 'E'}, {Tr, 20260301, 25811, 60269, 'E'}, {Tr, 20260315, 21996, 63694, 'E'},
    {Tr, 20260401, 17339, 67774, 'E'}, {Tr, 20260415, 13381, 71307, 'E'}, {Tr, 20260501, 8454, 75954, 'E'},
    {Tr, 20260515, 2603, 82088, 'E'}, {Tr, 20260601, -1, -1, 'D'}, {Tr, 20260615, -1, -1, 'D'},
    {Tr, 20260701, -1, -1, 'D'}, {Tr, 20260715, -1, -1, 'D'}, {Tr, 20260801, 4876, 79991, 'E'},
    {Tr, 20260815, 9887, 74922, 'E'}, {Tr, 20260901, 14462, 69869, 'E'}, {Tr, 20260915, 17815, 65971, 'E'},
    {Tr, 20261001, 21530, 61613, 'E'}, {Tr, 20261015, 24898, 57797, 'E'}, {Tr, 20261101, 29429, 53020, 'E'},
    {Tr, 20261115, 33930, 48658, 'E'}, {Tr, 20261201, -1, -1, 'N'}, {Tr, 20261215, -1, -1, 'N'},
    {Eq, 20260320, 21851, 65441, 'E'}, {Eq, 20260621, 21490, 65129, 'E'}, {Eq, 20260923, 20949, 64536, 'E'},
    {Eq, 20261221, 21258, 64910, 'E'}, {DE, 20260320, 65162, 22370, 'E'}, {DE, 20260621, 64764, 22094, 'E'},
    {DE, 20260923, 64259, 21467, 'E'}, {DE, 20261221, 64645, 21763, 'E'}, {DW, 20260320, 64922, 22130, 'E'},
    {DW, 20260621, 64628, 21750, 'E'}, {DW, 20260923, 64017, 21227, 'E'}, {DW, 20261221, 64301, 21627, 'E'},
    {Bj, 20260320, 22712, 66355, 'E'}, {Bj, 20260621, 17158, 71175, 'E'}, {Bj, 20260923, 21750, 65432, 'E'},
    {Bj, 20261221, 27126, 60746, 'E'}, {Ur, 20260320, 29604, 73285, 'E'}, {Ur, 20260621, 23239, 78915, 'E'},
    {Ur, 20260923, 28648, 72345, 'E'}, {Ur, 20261221, 34813, 66883, 'E'}, {Hb, 20260320, 20249, 63922, 'E'},
    {Hb, 20260621, 13419, 70008, 'E'}, {Hb, 20260923, 19268, 63001, 'E'}, {Hb, 20261221, 25870, 57094, 'E'},
    {Sy, 20260320, 21477, 65217, 'E'}, {Sy, 20260621, 25199, 60827, 'E'}, {Sy, 20260923, 20638, 64316, 'E'},
    {Sy, 20261221, 16837, 68726, 'E'}, {Os, 20260320, 22737, 66679, 'E'}, {Os, 20260621, 10431, 78225, 'E'},
    {Os, 20260923, 21805, 65640, 'E'}, {Os, 20261221, 33482, 54724, 'E'}, {Rk, 20260320, 26917, 71005, 'E'},
    {Rk, 20260621, 10513, 224, 'E'}, {Rk, 20260923, 26013, 69903, 'E'}, {Rk, 20261221, 40939, 55763, 'E'},
    {Tr, 20260320, 20634, 64891, 'E'}, {Tr, 20260621, -1, -1, 'D'}, {Tr, 20260923, 19672, 63786, 'E'},
    {Tr, 20261221, -1, -1, 'N'}, {R2, 20260326, 95, 45941, 'E'}, {R0, 20260922, -1, 44153, 'E'},
};
// clang-format on
// Tromso, 2026-12-21 12:00 UTC, and the last change before it (a set) and the next (a rise).
const int64_t TromsoNight[] = {1797854400, 1795776138, 1800009278};
// Tromso, 2026-06-21 12:00 UTC, and the last change before it (a rise) and the next (a set).
const int64_t TromsoDay[] = {1782043200, 1779058358, 1785018983};

int64_t Midnight(Place place, int date) {
    return DaysFromCivil(date / 10000, date / 100 % 100, date % 100) * 86400 -
           int64_t{Places[place].utcOffsetMinutes} * 60;
}

// PyEphem's sunrise or sunset of a day in the table.
int64_t Event(Place place, int date, bool rise) {
    for (const Reference& r : References)
        if (r.place == place && r.date == date) return Midnight(place, date) + (rise ? r.rise : r.set);
    ADD_FAILURE() << "no reference for " << date;
    return 0;
}

} // namespace

TEST(SunTimes, AgreesWithPyEphemAllYearFromTheEquatorToThePolarCircle) {
    for (const Reference& r : References) {
        SCOPED_TRACE(testing::Message() << "place " << r.place << ", " << r.date);
        const Where& w = Places[r.place];
        SunDay day = SunEventsOnLocalDate(r.date / 10000, r.date / 100 % 100, r.date % 100,
                                          w.utcOffsetMinutes, w.latitude, w.longitude);
        EXPECT_EQ(day.kind, r.kind == 'D'   ? SunDay::Kind::PolarDay
                            : r.kind == 'N' ? SunDay::Kind::PolarNight
                                            : SunDay::Kind::Events);
        double tolerance = std::fabs(w.latitude) <= 60 ? 60 : std::fabs(w.latitude) <= 66 ? 180 : 300;
        for (auto [expected, got] : {std::pair{r.rise, day.sunrise}, std::pair{r.set, day.sunset}}) {
            ASSERT_EQ(got.has_value(), expected >= 0);
            if (got) {
                EXPECT_NEAR(double(*got - Midnight(Place(r.place), r.date)), expected, tolerance);
            }
        }
    }
}

TEST(SunTimes, EveryDayOf2026HasOneSunriseAndOneSunsetAndThePhaseChangesAtThem) {
    const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (Place place : {Eq, Bj, Os, Sy}) {
        const Where& w = Places[place];
        SunDay before = SunEventsOnLocalDate(2025, 12, 31, w.utcOffsetMinutes, w.latitude, w.longitude);
        for (int month = 1; month <= 12; ++month)
            for (int d = 1; d <= monthDays[month - 1]; ++d) {
                SCOPED_TRACE(testing::Message() << "place " << place << ", " << month << "-" << d);
                SunDay day =
                    SunEventsOnLocalDate(2026, month, d, w.utcOffsetMinutes, w.latitude, w.longitude);
                ASSERT_TRUE(day.sunrise && day.sunset);
                EXPECT_NEAR(double(*day.sunrise - *before.sunrise), 86400, 300);
                EXPECT_NEAR(double(*day.sunset - *before.sunset), 86400, 300);
                SunPhase justBefore = PhaseNow(*day.sunset - 1, w.latitude, w.longitude);
                EXPECT_EQ(justBefore.phase, Phase::Day);
                EXPECT_EQ(justBefore.lastSwitch, day.sunrise);
                EXPECT_EQ(justBefore.nextSwitch, day.sunset);
                EXPECT_EQ(PhaseNow(*day.sunset, w.latitude, w.longitude).phase, Phase::Night);
                EXPECT_EQ(PhaseNow(*day.sunrise - 1, w.latitude, w.longitude).phase, Phase::Night);
                before = day;
            }
    }
}

TEST(SunTimes, NextAndLastChangeAroundSunsetAtNightAndThroughPolarDayAndNight) {
    const int64_t rise = Event(Bj, 20260618, true), set = Event(Bj, 20260618, false);
    const int64_t january = Midnight(Bj, 20260122), dateLine = Event(DE, 20260101, true);
    struct Case {
        Place place;
        int64_t now;
        Phase phase;
        int64_t last, next;
    } cases[] = {
        {Bj, set - 60, Phase::Day, rise, set},
        {Bj, set + 60, Phase::Night, set, rise + 86400}, // the next sunrise within seconds of this one's time
        {Bj, january + 1800, Phase::Night, Event(Bj, 20260122, false) - 86400, Event(Bj, 20260122, true)},
        {Tr, TromsoNight[0], Phase::Night, TromsoNight[1], TromsoNight[2]},
        {Tr, TromsoDay[0], Phase::Day, TromsoDay[1], TromsoDay[2]},
        {DE, dateLine - 3600, Phase::Night, Event(DE, 20260101, false),
         dateLine}, // set 06:08 UTC, rises 18:02
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "place " << c.place << " at " << c.now);
        SunPhase p = PhaseNow(c.now, Places[c.place].latitude, Places[c.place].longitude);
        EXPECT_EQ(p.phase, c.phase);
        ASSERT_TRUE(p.lastSwitch && p.nextSwitch);
        EXPECT_NEAR(double(*p.lastSwitch), double(c.last), 120);
        EXPECT_NEAR(double(*p.nextSwitch), double(c.next), 120);
    }
}

TEST(SunTimes, LabelAndTipTextsInTheMachinesTime) {
    const int64_t midnight = DaysFromCivil(2026, 1, 15) * 86400 - 8 * 3600; // in Beijing
    auto at = [&](int h, int m, int s) { return midnight + h * 3600 + m * 60 + s; };
    using K = SunDay::Kind;
    EXPECT_EQ(SunLabel({K::Events, at(7, 29, 59), at(16, 51, 0)}, 480), L"今天日出 07:29，日落 16:51");
    EXPECT_EQ(SunLabel({K::Events, at(7, 29, 59), at(16, 51, 0)}, -300), L"今天日出 18:29，日落 03:51");
    EXPECT_EQ(SunLabel({K::Events, at(18, 2, 0), at(6, 8, 30)}, 480), L"今天日落 06:08，日出 18:02");
    EXPECT_EQ(SunLabel({K::Events, std::nullopt, at(23, 59, 59)}, 480), L"今天日落 23:59");
    EXPECT_EQ(SunLabel({K::Events, at(0, 0, 0), std::nullopt}, 480), L"今天日出 00:00");
    EXPECT_EQ(SunLabel({K::PolarDay}, 480), L"今天极昼");
    EXPECT_EQ(SunLabel({K::PolarNight}, 480), L"今天极夜");

    const int64_t now = at(12, 0, 0);
    EXPECT_EQ(PhaseTip({Phase::Day, at(7, 29, 0), at(16, 51, 40)}, now, 480), L"白天（日落 16:51）");
    EXPECT_EQ(PhaseTip({Phase::Night, at(6, 0, 0), at(24 + 7, 29, 0)}, now, 480), L"夜晚（日出 07:29）");
    EXPECT_EQ(PhaseTip({Phase::Night, {}, at(24 * 31 + 11, 41, 0)}, now, 480), L"夜晚（日出 2月15日 11:41）");
    EXPECT_EQ(PhaseTip({Phase::Day, {}, at(24 * 365 + 11, 41, 0)}, now, 480), L"白天（日落 1月15日 11:41）");
    EXPECT_EQ(PhaseTip({Phase::Day, {}, {}}, now, 480), L"白天");
}
