#include "wallpaper/pictures/fit.h"

#include <algorithm>
#include <cmath>

namespace wallpaper {

std::optional<Placement> FitPicture(float Wb, float Hb, float Wp, float Hp) {
    if (!(Wb > 0 && Hb > 0 && Wp > 0 && Hp > 0)) return std::nullopt;
    Placement p;
    if (Wp > Wb || Hp > Hb) {
        // Both ratios are compared as single-precision values, so a tie is decided the same way everywhere.
        float rW = Wp / Wb, rH = Hp / Hb;
        p.stretch = true;
        if (rH >= rW) {
            p.height = Hb;
            p.width = Hb * Wp / Hp;
            p.left = (Wb - Hb * Wp / Hp) / 2;
            p.top = 0;
        } else {
            p.width = Wb;
            p.height = Hp * Wb / Wp;
            p.top = (Hb - Hp * Wb / Wp) / 2;
            p.left = 0;
        }
    } else {
        p.width = Wp;
        p.height = Hp;
        p.top = (Hb - Hp) / 2;
        p.left = (Wb - Wp) / 2;
    }
    return p;
}

PixelRect ToPixels(const Placement& p) {
    auto whole = [](float v) { return static_cast<int>(std::lround(v)); };
    return {whole(p.left), whole(p.top), std::max(1, whole(p.width)), std::max(1, whole(p.height))};
}

} // namespace wallpaper
