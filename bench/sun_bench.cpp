// How long a year of sunrises and sunsets for one place takes, and the longest search for the next
// change (a polar night); the program works out one day at a time, so a year should stay under 5 ms.
// Built on the native tree only: ./build/native/bin/sun_bench
#include "wallpaper/choosing/sun_times.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace wallpaper;

namespace {

double Milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

template <class Work> double MedianMs(Work work) {
    std::vector<double> runs;
    for (int i = 0; i < 21; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        runs.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

} // namespace

int main() {
    const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int64_t sum = 0; // keeps the work from being optimised away
    double year = MedianMs([&] {
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= monthDays[month - 1]; ++day) {
                SunDay d = SunEventsOnLocalDate(2026, month, day, 480, 39.90, 116.41);
                sum += d.sunrise.value_or(0) + d.sunset.value_or(0);
            }
    });
    double polar = MedianMs([&] { sum += PhaseNow(1797854400, 69.65, 18.96).nextSwitch.value_or(0); });
    std::printf("a year of sunrises and sunsets in Beijing: %.3f ms (budget 5 ms)\n", year);
    std::printf("phase and both changes in Tromso's polar night: %.3f ms\n", polar);
    std::printf("(checksum %lld)\n", static_cast<long long>(sum));
}
