#include "daily/daily_manifest.h"

#include "daily/daily_names.h"
#include "daily/utf8_text.h"

#include <algorithm>
#include <cwctype>
#include <nlohmann/json.hpp>
#include <set>

namespace daily {
namespace {

using nlohmann::json;

// The fields in the order they are written.
constexpr std::pair<const char*, std::wstring ManifestEntry::*> Fields[] = {
    {"name", &ManifestEntry::name},   {"date", &ManifestEntry::date},
    {"title", &ManifestEntry::title}, {"copyright", &ManifestEntry::copyright},
    {"hsh", &ManifestEntry::hsh},     {"address", &ManifestEntry::address}};

bool SameHsh(const std::wstring& a, const std::wstring& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

} // namespace

int ClampKeep(int keep) {
    return std::clamp(keep, KeepMin, KeepMax);
}

std::vector<ManifestEntry> ParseManifest(std::string_view utf8) {
    std::vector<ManifestEntry> entries;
    if (utf8.size() > ManifestTextLimit) return entries;
    try {
        const json file = json::parse(utf8.begin(), utf8.end(), nullptr, false);
        if (!file.is_object()) return entries; // also what a parse error gives
        auto pictures = file.find("pictures");
        if (pictures == file.end() || !pictures->is_array()) return entries;
        for (const json& item : *pictures) {
            if (!item.is_object()) continue;
            ManifestEntry e;
            for (const auto& [key, field] : Fields) {
                auto it = item.find(key);
                if (it != item.end() && it->is_string())
                    e.*field = WideFromUtf8(it->get_ref<const std::string&>());
            }
            if (IsPlainFileName(e.name)) entries.push_back(std::move(e));
        }
    } catch (const json::exception&) {
        entries.clear();
    }
    return entries;
}

std::string ManifestText(const std::vector<ManifestEntry>& entries) {
    json pictures = json::array();
    for (const ManifestEntry& e : entries) {
        json item = json::object();
        for (const auto& [key, field] : Fields)
            item[key] = Utf8FromWide(e.*field);
        pictures.push_back(std::move(item));
    }
    json file = json::object();
    file["pictures"] = std::move(pictures);
    return file.dump(1, '\t', false, json::error_handler_t::replace) + "\n";
}

ManifestEntry EntryFor(const DailyImage& image, const std::wstring& name, const std::wstring& address) {
    return {name, image.date, image.title, image.copyright, image.hsh, address};
}

bool AlreadyHave(const std::vector<ManifestEntry>& entries, const DailyImage& image,
                 const std::wstring& address) {
    return std::any_of(entries.begin(), entries.end(), [&](const ManifestEntry& e) {
        if (!e.hsh.empty() && !image.hsh.empty()) return SameHsh(e.hsh, image.hsh);
        return e.date == image.date && e.address == address;
    });
}

std::vector<std::wstring> FilesToDelete(const std::vector<ManifestEntry>& entries, int keep,
                                        const NameTest& inPlace, const NameTest& favourite) {
    // Newest first; of one date, the one listed last. A name listed twice is one file.
    std::vector<const ManifestEntry*> present;
    std::set<std::wstring> seen;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (IsDailyFileName(it->name) && seen.insert(it->name).second && inPlace(it->name))
            present.push_back(&*it);
    std::stable_sort(present.begin(), present.end(),
                     [](const ManifestEntry* a, const ManifestEntry* b) { return a->date > b->date; });
    std::vector<std::wstring> doomed;
    for (size_t i = static_cast<size_t>(ClampKeep(keep)); i < present.size(); ++i)
        if (!favourite(present[i]->name)) doomed.push_back(present[i]->name);
    return doomed;
}

std::vector<ManifestEntry> TrimManifest(std::vector<ManifestEntry> entries, const NameTest& inPlace) {
    if (entries.size() <= ManifestLimit) return entries;
    std::vector<size_t> oldestFirst(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        oldestFirst[i] = i;
    std::stable_sort(oldestFirst.begin(), oldestFirst.end(),
                     [&](size_t a, size_t b) { return entries[a].date < entries[b].date; });
    std::vector<bool> drop(entries.size());
    size_t left = entries.size();
    for (size_t i : oldestFirst)
        if (left > ManifestLimit && !inPlace(entries[i].name)) drop[i] = true, --left;
    std::vector<ManifestEntry> kept;
    for (size_t i = 0; i < entries.size(); ++i)
        if (!drop[i]) kept.push_back(std::move(entries[i]));
    return kept;
}

} // namespace daily
