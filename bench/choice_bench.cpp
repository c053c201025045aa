// The one choice with marks: the next picture among 10,000, 9,990 of them "不再显示", against the same
// with no marks, one after the other in one run. Native; prints microseconds a choice.
#include "wallpaper/choosing/picture_order.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace wallpaper;

int main() {
    std::vector<std::wstring> names;
    for (int i = 0; i < 10000; ++i)
        names.push_back(L"picture " + std::to_wstring(i) + L".jpg");
    // As the picture page hands them: each picture's mark looked up once per list.
    std::vector<Mark> none(names.size(), Mark::None), never(names.size(), Mark::Never);
    for (int i = 0; i < 10000; i += 1000)
        never[size_t(i)] = Mark::None;
    for (bool shuffle : {false, true}) {
        double us[2];
        for (int k = 0; k < 2; ++k) {
            const std::vector<Mark>& marks = k ? never : none;
            ChoiceRules rules{std::nullopt, [&](int i) { return marks[size_t(i)]; }, false};
            PictureOrder order(1);
            int selection = 0;
            const int runs = 200;
            auto start = std::chrono::steady_clock::now();
            for (int r = 0; r < runs; ++r)
                selection = order.Next(names, selection, shuffle, {}, {}, rules).selection;
            us[k] = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / runs;
        }
        std::printf("%s: no marks %.0f us, 9,990 never again %.0f us a choice (difference %.0f us)\n",
                    shuffle ? "shuffled" : "list order", us[0], us[1], us[1] - us[0]);
    }
}
