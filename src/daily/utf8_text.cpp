#include "daily/utf8_text.h"

namespace daily {
namespace {

constexpr char32_t Replacement = 0xFFFD;

bool Surrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

void Append(std::wstring& out, char32_t c) {
    if (c >= 0x10000 && sizeof(wchar_t) == 2) {
        out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

} // namespace

std::wstring WideFromUtf8(std::string_view utf8) {
    std::wstring out;
    for (size_t i = 0; i < utf8.size();) {
        auto b = static_cast<unsigned char>(utf8[i]);
        // Continuation bytes after the first; 0xC0, 0xC1 and 0xF5.. start only overlong or too large ones.
        size_t n = b < 0x80                 ? 0
                   : b >= 0xC2 && b <= 0xDF ? 1
                   : b >= 0xE0 && b <= 0xEF ? 2
                   : b >= 0xF0 && b <= 0xF4 ? 3
                                            : 4;
        char32_t c = n == 0 ? b : n == 1 ? (b & 0x1F) : n == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = n < 4 && i + n < utf8.size();
        for (size_t k = 1; ok && k <= n; ++k) {
            auto t = static_cast<unsigned char>(utf8[i + k]);
            ok = (t & 0xC0) == 0x80;
            c = (c << 6) | (t & 0x3F);
        }
        if (ok && n == 2) ok = c >= 0x800 && !Surrogate(c);
        if (ok && n == 3) ok = c >= 0x10000 && c <= 0x10FFFF;
        Append(out, ok ? c : Replacement);
        i += ok ? n + 1 : 1;
    }
    return out;
}

std::string Utf8FromWide(const std::wstring& text) {
    std::string out;
    for (char32_t c : CodePoints(text)) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u32string CodePoints(const std::wstring& text) {
    std::u32string out;
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
            text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
        else if (Surrogate(c) || c > 0x10FFFF)
            c = Replacement;
        out += c;
    }
    return out;
}

std::wstring FromCodePoints(const std::u32string& points) {
    std::wstring out;
    for (char32_t c : points)
        Append(out, Surrogate(c) || c > 0x10FFFF ? Replacement : c);
    return out;
}

} // namespace daily
