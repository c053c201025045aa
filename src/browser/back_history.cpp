#include "browser/back_history.h"

namespace browser {

void BackHistory::Start(const std::wstring& folder) {
    entries_.assign(1, folder);
}

void BackHistory::Enter(const std::wstring& folder) {
    entries_.push_back(folder);
    backEnabled_ = true;
}

const std::wstring* BackHistory::BackTarget() const {
    return entries_.size() > 1 ? &entries_[entries_.size() - 2] : nullptr;
}

void BackHistory::StepBack() {
    if (entries_.size() > 1) entries_.pop_back();
}

} // namespace browser
