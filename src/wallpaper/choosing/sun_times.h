// When the sun rises and sets at the user's place, and whether it is day there: pictures of the
// folder 白天 are shown from sunrise to sunset and those of 夜晚 from sunset to sunrise. No Windows
// headers here.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace wallpaper {

enum class Phase { Day, Night };

// Moments are seconds since 1970-01-01 00:00 UTC. Latitudes are degrees north (-90..90), longitudes
// degrees east (-180..180). Sunrise and sunset are when the sun's upper edge touches the horizon seen
// through standard refraction (34'), its centre about 0.833 degrees below it. The sun's place follows
// NOAA's solar calculator (after Meeus): within seconds of an ephemeris up to 60 degrees from the
// equator, within a minute or two near the polar circles where the sun grazes the horizon.

// What the sun does within one day of the machine's calendar.
struct SunDay {
    enum class Kind { Events, PolarDay, PolarNight };
    Kind kind = Kind::PolarNight;
    // With Kind::Events one of them or both; the other kinds have neither.
    std::optional<int64_t> sunrise, sunset;
};

// The first sunrise and the first sunset whose moments lie within the machine's local date: from its
// midnight (UTC offset `utcOffsetMinutes`, which need not be the place's) to 24 hours later. Where the
// place's solar day straddles that midnight, as on the date line with the machine on UTC, the sunset
// can come before the sunrise, and once in a while a day holds only one of them. A day with neither is
// PolarDay when the sun is up at its start, else PolarNight.
SunDay SunEventsOnLocalDate(int year, int month, int day, int utcOffsetMinutes, double latitude,
                            double longitude);

struct SunPhase {
    Phase phase = Phase::Night;
    // The change into the phase and out of it, when one lies within 400 days of now (polar days and
    // nights are shorter than that below 89.5 degrees).
    std::optional<int64_t> lastSwitch, nextSwitch;
};

// Day from a sunrise (inclusive) to the next sunset (exclusive), night from a sunset to the next sunrise.
SunPhase PhaseNow(int64_t nowUtc, double latitude, double longitude);

// "今天日出 07:29，日落 16:51", "今天极昼" or "今天极夜", in the machine's time (minutes cut, not rounded,
// so that each time names the minute the change happens in). The times come in the order they happen;
// a day with one of them shows only that one ("今天日落 06:02").
std::wstring SunLabel(const SunDay& day, int utcOffsetMinutes);

// The tray's tip: "白天（日落 16:51）" or "夜晚（日出 07:29）", the next change in the machine's time, with
// its date ("夜晚（日出 1月15日 11:41）") when it is a day or more from now; only "白天" or "夜晚" when
// there is none.
std::wstring PhaseTip(const SunPhase& phase, int64_t nowUtc, int utcOffsetMinutes);

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int year, int month, int day);

} // namespace wallpaper
