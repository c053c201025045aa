#include "browser/size_walker.h"

#include "browser/folder_reader.h"

namespace browser {

void SizeWalker::Add(uint32_t generation, uint32_t job, std::wstring folder) {
    worker_.Add(0, generation, [this, generation, job, folder = std::move(folder)] {
        auto stale = [&] { return worker_.Stale(0, generation); };
        TreeSize size = FolderTreeSize(folder, stale);
        if (!stale())
            PostMessageW(window_, message_, SizeMessageParam(generation, job),
                         static_cast<LPARAM>(size.bytes));
    });
}

} // namespace browser
