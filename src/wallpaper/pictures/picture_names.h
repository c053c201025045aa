// Which file names the picture list shows and in what order; no Windows headers here.
#pragma once
#include <string>
#include <vector>

namespace wallpaper {

// The extensions a picture may have whatever the system's decoders: JPEG, PNG, BMP, GIF, TIFF and
// JPEG XR.
extern const std::vector<std::wstring> FixedPictureExtensions;

// The extensions in what a decoder lists ("GetFileExtensions"): separated by commas (Windows) or
// semicolons (Wine), spaces around them dropped, in lower case and each with its dot.
std::vector<std::wstring> SplitExtensions(const std::wstring& text);
// Icons, cursors, textures and camera raw pictures: slow to decode and no wallpapers.
bool ExcludedExtension(const std::wstring& extension);
// The fixed extensions and those of the decoders' lists, less the excluded ones, sorted, each once.
std::vector<std::wstring> PictureExtensionSet(const std::vector<std::wstring>& decoderLists);

// The extensions IsPictureName takes from now on (a set made by PictureExtensionSet, once at
// start-up); until then, the fixed ones.
void UsePictureExtensions(std::vector<std::wstring> extensions);
const std::vector<std::wstring>& PictureExtensions();

// True for a name with something before its extension, which is one of PictureExtensions (any
// letter case).
bool IsPictureName(const std::wstring& name);
// The list's order: by name, ignoring letter case; names equal but for case by their code units.
bool PictureNameLess(const std::wstring& a, const std::wstring& b);
// Sorts names into that order, each name lowered once rather than in every comparison.
void SortPictureNames(std::vector<std::wstring>& names);

} // namespace wallpaper
