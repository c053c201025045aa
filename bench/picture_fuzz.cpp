// Picture fuzzing: damaged pictures made from valid seeds of every format go through what selecting
// a picture and "设为墙纸" do with them: decoding, fitting into the preview, the smooth reduction and
// writing the wallpaper bitmap. The cases run in child processes that are watched from here, so a
// case that crashes or takes longer than its time limit is counted and the run goes on with the next.
//
//   picture_fuzz [cases] [seed]      runs the cases (10000 and seed 1 unless given)
//   picture_fuzz --case N [seed]     writes case N's file into the working folder and runs it here
//
// Exit code 1 when any case crashed, hung or gave a wrong result.
#include "bench/timing.h"
#include "settings/registry.h"
#include "tests/support/temp_folder.h"
#include "wallpaper/pictures/bitmap_file.h"
#include "wallpaper/pictures/fit.h"
#include "wallpaper/pictures/picture.h"

#include <cstdio>
#include <psapi.h>
#include <random>
#include <string>
#include <vector>

namespace {

using bench::Now;

constexpr DWORD CaseLimitMs = 20000;

struct Seed {
    std::wstring name;
    std::string bytes;
    bool picture; // a format the program decodes
};

std::vector<Seed> LoadSeeds() {
    std::vector<Seed> seeds;
    EnumResourceNamesW(
        nullptr, RT_RCDATA,
        [](HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR out) -> BOOL {
            HRSRC res = FindResourceW(module, name, RT_RCDATA);
            HGLOBAL data = res ? LoadResource(module, res) : nullptr;
            if (!data || IS_INTRESOURCE(name)) return TRUE;
            std::wstring id = name;
            auto* list = reinterpret_cast<std::vector<Seed>*>(out);
            list->push_back(
                {id, std::string(static_cast<const char*>(LockResource(data)), SizeofResource(module, res)),
                 id.find(L"REFUSED") == std::wstring::npos});
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&seeds));
    return seeds;
}

// ---- mutations ----------------------------------------------------------------------------------

using Rng = std::mt19937_64;

size_t Below(Rng& rng, size_t n) {
    return n ? static_cast<size_t>(rng() % n) : 0;
}

// Somewhere in the first bytes (where the headers are) half of the time, anywhere otherwise.
size_t Position(Rng& rng, size_t size) {
    return rng() % 2 ? Below(rng, std::min<size_t>(size, 128)) : Below(rng, size);
}

// The seeds' sides (48 × 32, the animation's 40 × 30 and 20 × 10) wherever they are stored as 16-
// or 32-bit numbers in the headers are set to extreme sizes.
void BreakSizeFields(std::string& b, Rng& rng) {
    struct Field {
        size_t at;
        int bytes;
        bool bigEndian;
    };
    std::vector<Field> fields;
    auto u8 = [&](size_t i) { return static_cast<uint8_t>(b[i]); };
    for (size_t i = 0; i + 1 < std::min<size_t>(b.size(), 2048); ++i)
        for (unsigned side : {48u, 32u, 40u, 30u, 20u, 10u}) {
            if (u8(i) == side && u8(i + 1) == 0) {
                bool wide = i + 3 < b.size() && u8(i + 2) == 0 && u8(i + 3) == 0;
                fields.push_back({i, wide ? 4 : 2, false});
            }
            if (u8(i) == 0 && u8(i + 1) == side) {
                bool wide = i >= 2 && u8(i - 1) == 0 && u8(i - 2) == 0;
                fields.push_back({wide ? i - 2 : i, wide ? 4 : 2, true});
            }
        }
    if (fields.empty()) return;
    static const uint32_t extremes[] = {0,     1,      2,          0x7FFF,     0x8000,     0xFFFF, 16384,
                                        16385, 100000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 65500,  8192};
    for (int n = 1 + static_cast<int>(rng() % 2); n > 0; --n) {
        Field f = fields[Below(rng, fields.size())];
        uint32_t v = rng() % 4 ? extremes[Below(rng, std::size(extremes))] : static_cast<uint32_t>(rng());
        for (int i = 0; i < f.bytes; ++i) {
            int shift = 8 * (f.bigEndian ? f.bytes - 1 - i : i);
            b[f.at + static_cast<size_t>(i)] = static_cast<char>(v >> shift);
        }
    }
}

struct Case {
    std::string bytes;
    std::wstring extension;
    bool intact = false; // an unchanged seed of a format the program decodes
};

Case MakeCase(const std::vector<Seed>& seeds, uint64_t seed, uint64_t index) {
    Rng rng(seed * 0x9E3779B97F4A7C15ull + index);
    const Seed& s = seeds[Below(rng, seeds.size())];
    Case c{s.bytes, L""};
    // Any picture name, whatever the content is: the list goes by the name, the decoder by the bytes.
    static const wchar_t* extensions[] = {L".jpg", L".jpeg", L".gif", L".bmp", L".JPG", L".png", L".tif"};
    c.extension = extensions[Below(rng, std::size(extensions))];
    std::string& b = c.bytes;
    unsigned kind = static_cast<unsigned>(rng() % 100);
    if (kind < 5) {
        c.intact = s.picture;
    } else if (kind < 25) { // cut off
        b.resize(rng() % 2 ? Below(rng, b.size()) : Below(rng, std::min<size_t>(b.size(), 64)));
    } else if (kind < 55) { // bytes changed
        for (int n = 1 + static_cast<int>(rng() % 8); n > 0 && !b.empty(); --n)
            b[Position(rng, b.size())] ^= static_cast<char>(1 + rng() % 255);
    } else if (kind < 80) { // sizes claimed
        BreakSizeFields(b, rng);
    } else if (kind < 90) { // a piece removed, repeated or noise put in
        size_t at = Position(rng, b.size()), n = 1 + Below(rng, 256);
        n = std::min(n, b.size() - at);
        switch (rng() % 3) {
        case 0:
            b.erase(at, n);
            break;
        case 1:
            b.insert(at, b.substr(at, n));
            break;
        default: {
            std::string noise(n, '\0');
            for (char& ch : noise)
                ch = static_cast<char>(rng());
            b.insert(at, noise);
        }
        }
    } else { // one seed's head on another's body
        const std::string& other = seeds[Below(rng, seeds.size())].bytes;
        size_t cut = Position(rng, b.size());
        b = b.substr(0, cut) + other.substr(std::min(other.size(), Position(rng, other.size())));
    }
    if (kind >= 5 && rng() % 5 == 0) b.resize(Below(rng, b.size() + 1)); // and cut off as well
    return c;
}

// ---- one case -----------------------------------------------------------------------------------

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    platform::UniqueHandle f(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return f && WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA d{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d)) return 0;
    return uint64_t{d.nFileSizeHigh} << 32 | d.nFileSizeLow;
}

enum class Outcome { Decoded, Refused, Wrong };

// What selecting the picture and then "设为墙纸" do with it; `why` says what was wrong.
Outcome RunCase(const Case& c, const std::wstring& folder, uint64_t index, std::wstring& why) {
    std::wstring file = folder + L"\\case " + std::to_wstring(index) + c.extension;
    if (!WriteFileBytes(file, c.bytes)) {
        why = L"the case's file could not be written";
        return Outcome::Wrong;
    }
    Outcome outcome = Outcome::Refused;
    std::optional<wallpaper::Picture> picture;
    if (settings::FileCanBeOpened(file)) picture = wallpaper::Picture::Load(file);
    if (!picture) {
        if (c.intact) why = L"an intact seed was not decoded";
    } else {
        outcome = Outcome::Decoded;
        // The preview pane at its designed size, 5000 × 3000 twips.
        auto place = wallpaper::FitPicture(333, 200, static_cast<float>(picture->Width()),
                                           static_cast<float>(picture->Height()));
        wallpaper::PixelRect r = wallpaper::ToPixels(*place);
        platform::UniqueGdi preview = wallpaper::PreviewBitmap(*picture, r.width, r.height);
        std::wstring bitmap = folder + L"\\Vesmar.bmp";
        std::wstring error = wallpaper::SaveAsBitmap(*picture, bitmap);
        uint64_t expected =
            wallpaper::BitmapHeaderBytes + wallpaper::BitmapRowBytes(picture->Width()) * picture->Height();
        if (!preview)
            why = L"no preview";
        else if (!error.empty())
            why = L"the bitmap was not written: " + error;
        else if (FileSize(bitmap) != expected)
            why = L"the bitmap has the wrong size";
    }
    DeleteFileW(file.c_str());
    return why.empty() ? outcome : Outcome::Wrong;
}

// ---- the watched child --------------------------------------------------------------------------

// Shared between the watcher and the child that runs the cases.
struct Progress {
    volatile LONG64 current; // the case running now; `total` once all are done
    LONG64 decoded, refused, wrong;
    LONG64 peakWorkingSet;
    double busySeconds, slowestSeconds;
    LONG64 slowestCase;
    LONG64 firstWrong;
    wchar_t wrongWhy[200];
};

LONG WINAPI DieQuietly(EXCEPTION_POINTERS* e) {
    // No debugger, no dialog: the watcher sees the exit code and goes on.
    TerminateProcess(GetCurrentProcess(), e->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

int Child(Progress* p, uint64_t first, uint64_t total, uint64_t seed, const std::wstring& folder) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(DieQuietly);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::vector<Seed> seeds = LoadSeeds();
    for (uint64_t i = first; i < total; ++i) {
        p->current = static_cast<LONG64>(i);
        Case c = MakeCase(seeds, seed, i);
        std::wstring why;
        double t0 = Now();
        Outcome o = RunCase(c, folder, i, why);
        double t = Now() - t0;
        p->busySeconds += t;
        if (t > p->slowestSeconds) {
            p->slowestSeconds = t;
            p->slowestCase = static_cast<LONG64>(i);
        }
        if (o == Outcome::Decoded) ++p->decoded;
        if (o == Outcome::Refused) ++p->refused;
        if (o == Outcome::Wrong && p->wrong++ == 0) {
            p->firstWrong = static_cast<LONG64>(i);
            lstrcpynW(p->wrongWhy, why.c_str(), static_cast<int>(std::size(p->wrongWhy)));
        }
        PROCESS_MEMORY_COUNTERS m{sizeof m};
        if (GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m))
            p->peakWorkingSet =
                std::max<LONG64>(p->peakWorkingSet, static_cast<LONG64>(m.PeakWorkingSetSize));
    }
    p->current = static_cast<LONG64>(total);
    return 0;
}

std::wstring ExePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) return path.substr(0, n);
        path.resize(path.size() * 2);
    }
}

int Watch(uint64_t total, uint64_t seed) {
    test::TempFolder folder(L"picture-fuzz");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    platform::UniqueHandle mapping(
        CreateFileMappingW(INVALID_HANDLE_VALUE, &inherit, PAGE_READWRITE, 0, sizeof(Progress), nullptr));
    auto* p =
        static_cast<Progress*>(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Progress)));
    if (!p) return 2;
    size_t seedCount = LoadSeeds().size();
    std::vector<uint64_t> crashes, hangs;
    std::vector<DWORD> crashCodes;
    double t0 = Now();
    for (uint64_t next = 0; next < total;) {
        std::wstring line = L"\"" + ExePath() + L"\" --child " +
                            std::to_wstring(reinterpret_cast<uintptr_t>(mapping.get())) + L" " +
                            std::to_wstring(next) + L" " + std::to_wstring(total) + L" " +
                            std::to_wstring(seed) + L" \"" + folder.path() + L"\"";
        STARTUPINFOW si{sizeof si};
        PROCESS_INFORMATION pi{};
        p->current = static_cast<LONG64>(next);
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            std::printf("cannot start the child process (%lu)\n", GetLastError());
            return 2;
        }
        platform::UniqueHandle process(pi.hProcess), thread(pi.hThread);
        LONG64 seen = -1;
        ULONGLONG seenAt = GetTickCount64();
        for (;;) {
            if (WaitForSingleObject(process.get(), 20) == WAIT_OBJECT_0) {
                DWORD code = 0;
                GetExitCodeProcess(process.get(), &code);
                auto at = static_cast<uint64_t>(p->current);
                if (code == 0 && at == total) {
                    next = total;
                } else {
                    crashes.push_back(at);
                    crashCodes.push_back(code);
                    next = at + 1;
                }
                break;
            }
            if (p->current != seen) {
                seen = p->current;
                seenAt = GetTickCount64();
            } else if (GetTickCount64() - seenAt > CaseLimitMs) {
                TerminateProcess(process.get(), 1);
                WaitForSingleObject(process.get(), INFINITE);
                hangs.push_back(static_cast<uint64_t>(seen));
                next = static_cast<uint64_t>(seen) + 1;
                break;
            }
        }
    }
    double wall = Now() - t0;
    uint64_t ran = static_cast<uint64_t>(p->decoded + p->refused + p->wrong);
    std::printf("picture fuzzing: %llu cases from %zu seeds (seed %llu)\n",
                static_cast<unsigned long long>(total), seedCount, static_cast<unsigned long long>(seed));
    std::printf("decoded %lld, refused %lld, wrong results %lld\n", p->decoded, p->refused, p->wrong);
    if (p->wrong) std::printf("  first wrong: case %lld: %ls\n", p->firstWrong, p->wrongWhy);
    std::printf("crashes %zu, hangs %zu (limit %lu s a case)\n", crashes.size(), hangs.size(),
                CaseLimitMs / 1000);
    for (size_t i = 0; i < crashes.size(); ++i)
        std::printf("  crash: case %llu (exit code 0x%08lX)\n", static_cast<unsigned long long>(crashes[i]),
                    crashCodes[i]);
    for (uint64_t h : hangs)
        std::printf("  hang: case %llu\n", static_cast<unsigned long long>(h));
    std::printf("peak memory (working set of a child) %.1f MB\n", double(p->peakWorkingSet) / 1048576);
    std::printf("time a case: mean %.2f ms, slowest %.1f ms (case %lld); %.1f s in all\n",
                ran ? 1000 * p->busySeconds / double(ran) : 0.0, 1000 * p->slowestSeconds, p->slowestCase,
                wall);
    bool clean = crashes.empty() && hangs.empty() && !p->wrong;
    UnmapViewOfFile(p);
    return clean ? 0 : 1;
}

// Writes case N's file and runs it in this process, to look at one case closely.
int RunOne(uint64_t index, uint64_t seed) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::vector<Seed> seeds = LoadSeeds();
    Case c = MakeCase(seeds, seed, index);
    std::wstring name = L"case " + std::to_wstring(index) + c.extension;
    WriteFileBytes(name, c.bytes);
    test::TempFolder folder(L"picture-fuzz");
    std::wstring why;
    Outcome o = RunCase(c, folder.path(), index, why);
    std::printf("%ls: %s %ls\n", name.c_str(),
                o == Outcome::Decoded   ? "decoded"
                : o == Outcome::Refused ? "refused"
                                        : "WRONG:",
                why.c_str());
    return o == Outcome::Wrong;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    auto number = [&](int i, uint64_t fallback) {
        return i < argc ? std::wcstoull(argv[i], nullptr, 10) : fallback;
    };
    std::wstring first = argc > 1 ? argv[1] : L"";
    if (first == L"--child" && argc == 7)
        return Child(static_cast<Progress*>(
                         MapViewOfFile(reinterpret_cast<HANDLE>(std::wcstoull(argv[2], nullptr, 10)),
                                       FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Progress))),
                     number(3, 0), number(4, 0), number(5, 1), argv[6]);
    if (first == L"--case") return RunOne(number(2, 0), number(3, 1));
    return Watch(number(1, 10000), number(2, 1));
}
