#include "wallpaper/pictures/thumbnail_cache.h"

#include <algorithm>

namespace wallpaper {
namespace {

constexpr uint8_t Magic[4] = {'T', 'V', 'T', 'H'};
constexpr uint32_t Version = 1, FailedFlag = 1;
constexpr size_t HeaderSize = 32, ChecksumSize = 8;
constexpr size_t NameDigits = 16;
constexpr wchar_t NameEnd[] = L".thumb";

class Fnv {
  public:
    void Add(const uint8_t* p, size_t n) {
        for (size_t i = 0; i < n; ++i)
            hash_ = (hash_ ^ p[i]) * 0x100000001b3;
    }
    void Add(uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            Add(static_cast<uint8_t>(v >> 8 * i));
    }
    void Add(uint8_t b) { Add(&b, 1); }
    uint64_t Value() const { return hash_; }

  private:
    uint64_t hash_ = 0xcbf29ce484222325;
};

void Put(std::vector<uint8_t>& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> 8 * i));
}
uint64_t Get(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes; i-- > 0;)
        v = v << 8 | p[i];
    return v;
}

char16_t Fold(char16_t c) {
    auto in = [c](char16_t first, char16_t last) { return c >= first && c <= last; };
    if (in(u'a', u'z') || (in(0xE0, 0xFE) && c != 0xF7) || (in(0x3B1, 0x3C9) && c != 0x3C2) ||
        in(0x430, 0x44F) || in(0xFF41, 0xFF5A))
        return c - 0x20;
    if (c == 0xFF) return 0x178;
    if (c == 0x3C2) return 0x3A3; // final sigma
    if (in(0x450, 0x45F)) return c - 0x50;
    // Latin Extended-A pairs a capital with the small letter after it.
    bool smallOdd = in(0x100, 0x12F) || in(0x132, 0x137) || in(0x14A, 0x177);
    bool smallEven = in(0x139, 0x148) || in(0x179, 0x17E);
    if ((smallOdd && c % 2 == 1) || (smallEven && c % 2 == 0)) return c - 1;
    return c;
}

bool IsLowerHex(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
}

std::optional<uint64_t> ParseNumber(const std::wstring& s) {
    if (s.empty() || s.size() > 20) return std::nullopt;
    uint64_t v = 0;
    for (wchar_t c : s) {
        if (c < L'0' || c > L'9') return std::nullopt;
        uint64_t d = static_cast<uint64_t>(c - L'0');
        if (v > (UINT64_MAX - d) / 10) return std::nullopt;
        v = v * 10 + d;
    }
    return v;
}

} // namespace

std::u16string FoldedPath(const std::wstring& path) {
    std::u16string units;
    units.reserve(path.size());
    for (wchar_t w : path) {
        auto c = static_cast<uint32_t>(w);
        if (c > 0x10FFFF) c = 0xFFFD;
        if (c > 0xFFFF) { // only where wchar_t holds UTF-32
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            units += Fold(static_cast<char16_t>(c));
        }
    }
    return units;
}

std::wstring ThumbnailFileName(const ThumbnailKey& key) {
    Fnv h;
    for (char16_t c : FoldedPath(key.path))
        h.Add(c, 2);
    h.Add(key.size, 8);
    h.Add(key.writeTime, 8);
    std::wstring name;
    for (int shift = 60; shift >= 0; shift -= 4)
        name += L"0123456789abcdef"[(h.Value() >> shift) & 15];
    return name + NameEnd;
}

bool IsThumbnailFileName(const std::wstring& name) {
    return name.size() == NameDigits + std::size(NameEnd) - 1 &&
           std::all_of(name.begin(), name.begin() + NameDigits, IsLowerHex) &&
           name.compare(NameDigits, std::wstring::npos, NameEnd) == 0;
}

std::vector<uint8_t> EncodeThumbnail(const ThumbnailKey& key, const ThumbnailPixels& pixels) {
    int w = pixels.failed ? 0 : pixels.width, h = pixels.failed ? 0 : pixels.height;
    if (!pixels.failed && (w < 1 || w > MaxThumbnailSide || h < 1 || h > MaxThumbnailSide ||
                           pixels.bgra.size() != size_t(w) * size_t(h) * 4))
        return {};
    std::u16string path = FoldedPath(key.path);
    std::vector<uint8_t> out(Magic, Magic + 4);
    Put(out, Version, 2);
    Put(out, pixels.failed ? FailedFlag : 0, 2);
    Put(out, uint32_t(w), 2);
    Put(out, uint32_t(h), 2);
    Put(out, path.size(), 4);
    Put(out, key.size, 8);
    Put(out, key.writeTime, 8);
    for (char16_t c : path)
        Put(out, c, 2);
    if (!pixels.failed) out.insert(out.end(), pixels.bgra.begin(), pixels.bgra.end());
    Fnv sum;
    sum.Add(out.data(), out.size());
    Put(out, sum.Value(), 8);
    return out;
}

std::optional<ThumbnailPixels> DecodeThumbnail(const uint8_t* data, size_t size, const ThumbnailKey& key) {
    if (size < HeaderSize + ChecksumSize || !std::equal(Magic, Magic + 4, data) ||
        Get(data + 4, 2) != Version)
        return std::nullopt;
    uint64_t flags = Get(data + 6, 2), w = Get(data + 8, 2), h = Get(data + 10, 2), units = Get(data + 12, 4);
    bool failed = flags == FailedFlag;
    if (flags != 0 && !failed) return std::nullopt;
    bool sidesFit =
        failed ? w == 0 && h == 0 : w >= 1 && w <= MaxThumbnailSide && h >= 1 && h <= MaxThumbnailSide;
    if (!sidesFit || HeaderSize + 2 * units + 4 * w * h + ChecksumSize != size) return std::nullopt;
    Fnv sum;
    sum.Add(data, size - ChecksumSize);
    if (sum.Value() != Get(data + size - ChecksumSize, 8)) return std::nullopt;
    std::u16string path = FoldedPath(key.path);
    if (Get(data + 16, 8) != key.size || Get(data + 24, 8) != key.writeTime || units != path.size())
        return std::nullopt;
    for (size_t i = 0; i < path.size(); ++i)
        if (Get(data + HeaderSize + 2 * i, 2) != path[i]) return std::nullopt;
    ThumbnailPixels pixels;
    pixels.failed = failed;
    pixels.width = static_cast<int>(w);
    pixels.height = static_cast<int>(h);
    const uint8_t* bgra = data + HeaderSize + 2 * units;
    pixels.bgra.assign(bgra, bgra + 4 * w * h);
    return pixels;
}

void ThumbnailCacheIndex::Touch(const std::wstring& name, uint64_t bytes, uint64_t now) {
    if (!IsThumbnailFileName(name)) return;
    Entry& e = entries_[name];
    total_ = total_ - e.bytes + bytes;
    e = {bytes, now};
}

void ThumbnailCacheIndex::Remove(const std::wstring& name) {
    auto at = entries_.find(name);
    if (at == entries_.end()) return;
    total_ -= at->second.bytes;
    entries_.erase(at);
}

std::vector<std::wstring> ThumbnailCacheIndex::Evict(uint64_t limitBytes) {
    std::vector<std::pair<uint64_t, std::wstring>> byUse;
    for (const auto& [name, e] : entries_)
        byUse.emplace_back(e.lastUse, name);
    std::sort(byUse.begin(), byUse.end());
    std::vector<std::wstring> gone;
    for (size_t i = 0; i < byUse.size() && total_ > limitBytes; ++i) {
        Remove(byUse[i].second);
        gone.push_back(std::move(byUse[i].second));
    }
    return gone;
}

std::wstring ThumbnailCacheIndex::Text() const {
    std::wstring text;
    for (const auto& [name, e] : entries_)
        text += name + L'\t' + std::to_wstring(e.bytes) + L'\t' + std::to_wstring(e.lastUse) + L'\n';
    return text;
}

ThumbnailCacheIndex ThumbnailCacheIndex::Parse(const std::wstring& text) {
    ThumbnailCacheIndex index;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find(L'\n', start), text.size());
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        size_t tab1 = line.find(L'\t'), tab2 = tab1 == std::wstring::npos ? tab1 : line.find(L'\t', tab1 + 1);
        if (tab2 == std::wstring::npos) continue;
        std::optional<uint64_t> bytes = ParseNumber(line.substr(tab1 + 1, tab2 - tab1 - 1));
        std::optional<uint64_t> lastUse = ParseNumber(line.substr(tab2 + 1));
        // No thumbnail file comes near 4 GiB: a larger size is damage, and would throw the total off.
        if (bytes && lastUse && *bytes < uint64_t{1} << 32)
            index.Touch(line.substr(0, tab1), *bytes, *lastUse);
    }
    return index;
}

ThumbnailCacheIndex ThumbnailCacheIndex::FromListing(const std::vector<ListedFile>& files) {
    ThumbnailCacheIndex index;
    for (const ListedFile& f : files)
        index.Touch(f.name, f.bytes, f.lastWrite);
    return index;
}

} // namespace wallpaper
