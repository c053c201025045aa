#include "wallpaper/choosing/sun_times.h"

#include <cmath>

namespace wallpaper {
namespace {

constexpr double Pi = 3.14159265358979323846, Rad = Pi / 180;
constexpr int64_t Day = 86400, HalfDay = Day / 2;
constexpr int SearchHalfDays = 2 * 400;

// The sun as seen from a place. Its height is the sine of its altitude less that of the altitude at
// which its upper edge touches the horizon, so that it is above zero exactly while the sun is up.
class Place {
  public:
    Place(double latitude, double longitude)
        : sinLat_(std::sin(latitude * Rad)), cosLat_(std::cos(latitude * Rad)), lon_(longitude) {}

    double Height(double t) const {
        Sun sun = At(t);
        double cosDec = std::sqrt(1 - sun.sinDec * sun.sinDec);
        return sinLat_ * sun.sinDec + cosLat_ * cosDec * std::cos(sun.hourAngle * Rad) - sun.sinHorizon;
    }

    // The k-th culmination: the sun at its lowest for even k, at its highest for odd k. Between two of
    // them the height changes one way only, so it crosses zero at most once. The mean sun culminates at
    // 43200 k - 240 lon seconds; one step on the hour angle (360 degrees a day) brings it within a
    // second of the true sun.
    double Culmination(int64_t k) const {
        double t = double(HalfDay * k) - 240 * lon_;
        return t - std::remainder(At(t).hourAngle - 180.0 * double((k - 1) % 2), 360.0) * 240;
    }

    // The number of the culmination at or before t.
    int64_t CulminationBefore(double t) const {
        auto k = static_cast<int64_t>(std::floor((t + 240 * lon_) / HalfDay));
        while (Culmination(k) > t)
            --k;
        while (Culmination(k + 1) <= t)
            ++k;
        return k;
    }

  private:
    struct Sun {
        double sinDec, hourAngle; // hour angle here, degrees
        double sinHorizon;        // of the centre's altitude when the upper edge is at the horizon
    };

    Sun At(double t) const {
        double d = t / Day - 10957.5; // days from 2000-01-01 12:00 UTC
        double T = d / 36525;         // centuries
        double meanLongitude = 280.46646 + T * (36000.76983 + T * 0.0003032);
        double M = (357.52911 + T * (35999.05029 - T * 0.0001537)) * Rad;
        double centre = std::sin(M) * (1.914602 - T * (0.004817 + T * 0.000014)) +
                        std::sin(2 * M) * (0.019993 - T * 0.000101) + std::sin(3 * M) * 0.000289;
        double omega = (125.04 - 1934.136 * T) * Rad;
        double nutation = -0.00478 * std::sin(omega); // in longitude, degrees
        double longitude = (meanLongitude + centre - 0.00569 + nutation) * Rad;
        double obliquity = (23.4392911 - T * 0.0130042 + 0.00256 * std::cos(omega)) * Rad;
        double sinLongitude = std::sin(longitude);
        double rightAscension = std::atan2(std::cos(obliquity) * sinLongitude, std::cos(longitude)) / Rad;
        double siderealTime = 280.46061837 + 360.98564736629 * d + nutation * std::cos(obliquity);
        // Refraction lifts the sun by 34' at the horizon; its radius is 16' at the mean distance, a
        // little more in January and less in July. Together -0.833 degrees on the average.
        double eccentricity = 0.016708634 - T * 0.000042037;
        double radius = 0.266564 * (1 + eccentricity * std::cos(M + centre * Rad)) /
                        (1.000001018 * (1 - eccentricity * eccentricity));
        return {std::sin(obliquity) * sinLongitude, siderealTime + lon_ - rightAscension,
                std::sin((-34.0 / 60 - radius) * Rad)};
    }

    double sinLat_, cosLat_, lon_;
};

struct Culmination {
    double t, height;
};

Culmination At(const Place& place, int64_t k) {
    double t = place.Culmination(k);
    return {t, place.Height(t)};
}

// Where the height crosses zero between two culminations of opposite sign, to the nearest second:
// regula falsi with the Illinois step, which keeps both ends moving.
int64_t Crossing(const Place& place, Culmination a, Culmination b) {
    int side = 0;
    for (int i = 0; i < 100 && b.t - a.t > 0.5; ++i) {
        double t = (a.height * b.t - b.height * a.t) / (a.height - b.height);
        double h = place.Height(t);
        if ((h > 0) == (b.height > 0)) {
            b = {t, h};
            if (side == -1) a.height /= 2;
            side = -1;
        } else {
            a = {t, h};
            if (side == 1) b.height /= 2;
            side = 1;
        }
    }
    return std::llround((a.t + b.t) / 2);
}

struct Event {
    int64_t t;
    bool rise;
};

// The change between culminations `a` and `b`, if the sun crosses the horizon there.
std::optional<Event> Between(const Place& place, const Culmination& a, const Culmination& b) {
    if ((a.height > 0) == (b.height > 0)) return std::nullopt;
    return Event{Crossing(place, a, b), b.height > 0};
}

std::wstring TwoDigits(int64_t n) {
    return {wchar_t(L'0' + n / 10), wchar_t(L'0' + n % 10)};
}

// "07:29", or "1月15日 07:29" with the date, in the machine's time.
std::wstring LocalTime(int64_t t, int utcOffsetMinutes, bool withDate = false) {
    int64_t local = t + int64_t{utcOffsetMinutes} * 60;
    int64_t days = local >= 0 ? local / Day : (local - Day + 1) / Day, seconds = local - days * Day;
    std::wstring text = TwoDigits(seconds / 3600) + L":" + TwoDigits(seconds / 60 % 60);
    if (!withDate) return text;
    // The civil date of a day number, after Howard Hinnant's algorithm.
    int64_t z = days + 719468, era = (z >= 0 ? z : z - 146096) / 146097, doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
    int64_t dayOfMonth = doy - (153 * mp + 2) / 5 + 1, month = mp < 10 ? mp + 3 : mp - 9;
    return std::to_wstring(month) + L"月" + std::to_wstring(dayOfMonth) + L"日 " + text;
}

} // namespace

int64_t DaysFromCivil(int year, int month, int day) {
    int64_t y = int64_t{year} - (month <= 2);
    int64_t era = (y >= 0 ? y : y - 399) / 400, yoe = y - era * 400;
    int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

SunDay SunEventsOnLocalDate(int year, int month, int day, int utcOffsetMinutes, double latitude,
                            double longitude) {
    Place place(latitude, longitude);
    int64_t start = DaysFromCivil(year, month, day) * Day - int64_t{utcOffsetMinutes} * 60, end = start + Day;
    SunDay result;
    int64_t k = place.CulminationBefore(double(start));
    for (Culmination a = At(place, k), b{}; a.t < double(end); a = b) {
        b = At(place, ++k);
        std::optional<Event> e = Between(place, a, b);
        if (!e || e->t < start || e->t >= end) continue;
        std::optional<int64_t>& slot = e->rise ? result.sunrise : result.sunset;
        if (!slot) slot = e->t;
    }
    if (result.sunrise || result.sunset)
        result.kind = SunDay::Kind::Events;
    else if (place.Height(double(start)) > 0)
        result.kind = SunDay::Kind::PolarDay;
    return result;
}

SunPhase PhaseNow(int64_t nowUtc, double latitude, double longitude) {
    Place place(latitude, longitude);
    int64_t k0 = place.CulminationBefore(double(nowUtc));
    const Culmination first = At(place, k0), second = At(place, k0 + 1);
    // Half a day at a time from the one around now: forward to the next change, back to the last.
    std::optional<Event> last, next;
    Culmination a = first, b = second;
    for (int64_t k = k0 + 1; !next && k <= k0 + SearchHalfDays; a = b, b = At(place, ++k))
        if (std::optional<Event> e = Between(place, a, b); e && e->t > nowUtc) next = e;
    a = first, b = second;
    for (int64_t k = k0; !last && k > k0 - SearchHalfDays; b = a, a = At(place, --k))
        if (std::optional<Event> e = Between(place, a, b); e && e->t <= nowUtc) last = e;

    SunPhase result;
    if (last)
        result.phase = last->rise ? Phase::Day : Phase::Night;
    else if (next)
        result.phase = next->rise ? Phase::Night : Phase::Day;
    else
        result.phase = place.Height(double(nowUtc)) > 0 ? Phase::Day : Phase::Night;
    if (last) result.lastSwitch = last->t;
    if (next) result.nextSwitch = next->t;
    return result;
}

std::wstring SunLabel(const SunDay& day, int utcOffsetMinutes) {
    if (day.kind == SunDay::Kind::PolarDay) return L"今天极昼";
    if (day.kind == SunDay::Kind::PolarNight) return L"今天极夜";
    std::wstring rise, set;
    if (day.sunrise) rise = L"日出 " + LocalTime(*day.sunrise, utcOffsetMinutes);
    if (day.sunset) set = L"日落 " + LocalTime(*day.sunset, utcOffsetMinutes);
    if (rise.empty() || set.empty()) return L"今天" + rise + set;
    return *day.sunrise < *day.sunset ? L"今天" + rise + L"，" + set : L"今天" + set + L"，" + rise;
}

std::wstring PhaseTip(const SunPhase& phase, int64_t nowUtc, int utcOffsetMinutes) {
    bool day = phase.phase == Phase::Day;
    std::wstring text = day ? L"白天" : L"夜晚";
    if (!phase.nextSwitch) return text;
    return text + L"（" + (day ? L"日落 " : L"日出 ") +
           LocalTime(*phase.nextSwitch, utcOffsetMinutes, *phase.nextSwitch - nowUtc >= Day) + L"）";
}

} // namespace wallpaper
