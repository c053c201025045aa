// File operations on pictures: collecting previewed pictures into the program's picture folder,
// deleting one, and the texts that explain a failure.
#pragma once
#include "platform/whole_file.h"

#include <string>

namespace wallpaper {

// `folder` and `name` joined by one backslash.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

using platform::ErrorText;

struct Collected {
    std::wstring copy;  // the copy made; empty when nothing was copied
    std::wstring error; // what went wrong, for the user; empty when nothing did
};

// Collects picture `name` of `folder` into the collection folder `pictures` (made, with the folders
// above it, when missing) unless `folder` is that folder itself. A file of the same name and size there counts as the same
// picture; another size makes the copy "1" + name, "2" + name, and so on. Never overwrites a file.
Collected CollectPicture(const std::wstring& pictures, const std::wstring& folder,
                         const std::wstring& name);

// Deletes the file for good; empty when done, otherwise what went wrong, for the user.
std::wstring DeletePicture(const std::wstring& file);

} // namespace wallpaper
