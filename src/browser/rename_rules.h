// The rules for names that the list gives to entries: a new name typed in place, the names of copies
// pasted beside their originals, and what a drop does. No Windows headers here.
#pragma once
#include <functional>
#include <string>

namespace browser {

// Why `name` cannot be an entry's name, in Chinese; empty text when it can. Whether the name is
// already taken is for the caller to ask the file system.
std::wstring RenameRefusal(const std::wstring& name);

// How many characters of `name` are selected when renaming starts: all of a folder's name, a file's
// name without its extension.
size_t RenameStemLength(const std::wstring& name, bool folder);

// The name of a copy of `name` beside its original, as the shell names them: "a - 副本.txt", then
// "a - 副本 (2).txt" and so on, the first for which `taken` says no.
std::wstring CopyName(const std::wstring& name, bool folder,
                      const std::function<bool(const std::wstring&)>& taken);

// The drive part of a path: "C:" for "c:\a", "\\server\share" for a network path; empty when none.
std::wstring DriveOf(const std::wstring& path);

enum class DropAction { None, Copy, Move };

// What dropping `source` into `folder` does with the given keys held, as the shell decides: Ctrl copies,
// Shift moves, and without either an entry moves on its own drive and is copied to another.
// `canCopy`/`canMove` are what the dragging program allows.
DropAction ChooseDropAction(const std::wstring& source, const std::wstring& folder, bool ctrl, bool shift,
                            bool canCopy, bool canMove);

} // namespace browser
