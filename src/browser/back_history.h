// The folder browser's back history and the enabled state of its "后退" button; no Windows headers here.
#pragma once
#include <string>
#include <vector>

namespace browser {

class BackHistory {
  public:
    // A special folder is chosen: the history starts again with it; the button keeps its state.
    void Start(const std::wstring& folder);
    // A folder is entered: it joins the history, and the button is enabled.
    void Enter(const std::wstring& folder);
    // The folder a press of "后退" goes back to (the entry before the last); null when there is none.
    const std::wstring* BackTarget() const;
    // The press went back: the last entry is removed. The button stays enabled, even with one entry left.
    void StepBack();
    // A press with nothing to go back to only disables the button.
    void DisableBack() { backEnabled_ = false; }

    bool BackEnabled() const { return backEnabled_; }
    const std::vector<std::wstring>& Entries() const { return entries_; }

  private:
    std::vector<std::wstring> entries_;
    bool backEnabled_ = false;
};

} // namespace browser
