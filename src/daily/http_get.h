// Answers of web servers, asked for over WinHTTP, and ended at once from another thread.
#pragma once
#include "platform/win.h"

#include <cstddef>
#include <functional>
#include <string>

namespace daily {

// A picture larger than this is refused; the largest real one is a few megabytes.
inline constexpr size_t PictureLimit = 50 * 1024 * 1024;
// How long a whole answer may take, in milliseconds; connecting may take ConnectTimeout of it.
inline constexpr DWORD AnswerTimeout = 30000, PictureTimeout = 60000, ConnectTimeout = 15000;

class HttpGetter {
  public:
    HttpGetter();
    ~HttpGetter();
    HttpGetter(const HttpGetter&) = delete;
    HttpGetter& operator=(const HttpGetter&) = delete;

    // Asks for `address` (http or https only; up to 5 redirects; HTTPS checked by the system) and
    // hands the body to `take` piece by piece (false from it stops). Empty when the whole body of an
    // answer 200 came within `timeout` and `limit` bytes; else why not, in words for a log.
    std::wstring Get(const std::wstring& address, size_t limit, DWORD timeout,
                     const std::function<bool(const char* data, size_t size)>& take);
    // From any thread: the Get under way returns at once, and every Get fails until Resume.
    void Cancel() { SetEvent(cancel_.get()); }
    void Resume() { ResetEvent(cancel_.get()); }

  private:
    void* session_ = nullptr; // a HINTERNET, opened by the first Get
    platform::UniqueHandle cancel_;
};

} // namespace daily
