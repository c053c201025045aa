#include "daily/http_get.h"

#include "daily/daily_answer.h"
#include "res/version.h"

#include <winhttp.h>

namespace daily {
namespace {

constexpr wchar_t UserAgent[] = L"Tavolin/" TAVOLIN_VERSION_TEXT;

// One request's state, shared with WinHTTP's callbacks until its handle has closed. The requests run
// asynchronously so that a cancel never waits for a receive that blocks: the handle is closed and the
// Get returns, while what WinHTTP still does ends on its own thread and frees this.
struct Exchange {
    HINTERNET request = nullptr;
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    DWORD error = 0, bytes = 0; // of the step that ended
    char buffer[64 * 1024];
    ~Exchange() { CloseHandle(done); }
};

void CALLBACK Callback(HINTERNET handle, DWORD_PTR context, DWORD status, void* info, DWORD length) {
    auto* x = reinterpret_cast<Exchange*>(context);
    if (!x || handle != x->request) return;
    switch (status) {
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
        delete x;
        return;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
        x->error = static_cast<WINHTTP_ASYNC_RESULT*>(info)->dwError;
        break;
    case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
        x->bytes = *static_cast<DWORD*>(info);
        break;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
        x->bytes = length;
        break;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
        break;
    default:
        return;
    }
    SetEvent(x->done);
}

} // namespace

HttpGetter::HttpGetter() : cancel_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

HttpGetter::~HttpGetter() {
    if (session_) WinHttpCloseHandle(session_);
}

std::wstring HttpGetter::Get(const std::wstring& address, size_t limit, DWORD timeout,
                             const std::function<bool(const char*, size_t)>& take) {
    if (!IsHttpAddress(address)) return L"不是 http 或 https 地址：" + address;
    URL_COMPONENTS parts{sizeof parts};
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(address.c_str(), 0, 0, &parts)) return L"地址无效：" + address;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                        std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";
    if (!session_) {
        // The system's own proxy settings where this system knows them, else the older default.
        for (DWORD access : {WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY})
            if (!session_)
                session_ = WinHttpOpen(UserAgent, access, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS,
                                       WINHTTP_FLAG_ASYNC);
        if (!session_) return L"WinHttpOpen 失败（" + std::to_wstring(GetLastError()) + L"）";
        WinHttpSetStatusCallback(session_, Callback,
                                 WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES, 0);
    }
    HINTERNET connection = WinHttpConnect(session_, host.c_str(), parts.nPort, 0);
    if (!connection) return L"WinHttpConnect 失败（" + std::to_wstring(GetLastError()) + L"）";
    auto* x = new Exchange;
    x->request = WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                    WINHTTP_DEFAULT_ACCEPT_TYPES,
                                    parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    if (!x->request) {
        delete x;
        WinHttpCloseHandle(connection);
        return L"WinHttpOpenRequest 失败（" + std::to_wstring(GetLastError()) + L"）";
    }
    // From here on the request's callbacks own the exchange: it goes when the handle has closed.
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(x);
    DWORD redirects = 5;
    WinHttpSetOption(x->request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context);
    WinHttpSetOption(x->request, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects, sizeof redirects);
    WinHttpSetTimeouts(x->request, static_cast<int>(timeout), static_cast<int>(ConnectTimeout),
                       static_cast<int>(ConnectTimeout), static_cast<int>(timeout));

    const ULONGLONG end = GetTickCount64() + timeout;
    std::wstring why;
    // Runs one step and waits for its callback, the cancel or the end of the time.
    auto step = [&](const wchar_t* what, BOOL started) {
        const HANDLE waits[] = {x->done, cancel_.get()};
        const ULONGLONG now = GetTickCount64();
        if (!started) {
            x->error = GetLastError();
        } else {
            DWORD woke =
                WaitForMultipleObjects(2, waits, FALSE, now < end ? static_cast<DWORD>(end - now) : 0);
            if (woke == WAIT_OBJECT_0 + 1) return why = L"已取消", false;
            if (woke != WAIT_OBJECT_0) return why = L"超时", false;
        }
        if (x->error) why = std::wstring(what) + L" 失败（" + std::to_wstring(x->error) + L"）";
        return why.empty();
    };
    DWORD status = 0, size = sizeof status;
    if (step(L"请求", WinHttpSendRequest(x->request, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                         WINHTTP_NO_REQUEST_DATA, 0, 0, context)) &&
        step(L"答复", WinHttpReceiveResponse(x->request, nullptr))) {
        if (!WinHttpQueryHeaders(x->request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX) ||
            status != 200)
            why = L"服务器答复 " + std::to_wstring(status);
    }
    // The length the server announced, when it did: a shorter body was cut off.
    wchar_t lengthText[32] = {};
    DWORD lengthSize = sizeof lengthText;
    unsigned long long announced = 0, got = 0;
    const bool hasLength = why.empty() && WinHttpQueryHeaders(x->request, WINHTTP_QUERY_CONTENT_LENGTH,
                                                              WINHTTP_HEADER_NAME_BY_INDEX, lengthText,
                                                              &lengthSize, WINHTTP_NO_HEADER_INDEX);
    if (hasLength) announced = wcstoull(lengthText, nullptr, 10);
    if (why.empty() && announced > limit) why = L"答复太大";
    while (why.empty() && step(L"读取", WinHttpQueryDataAvailable(x->request, nullptr))) {
        if (x->bytes == 0) {
            if (hasLength && got != announced) why = L"答复不完整";
            break;
        }
        const DWORD want = std::min<DWORD>(x->bytes, sizeof x->buffer);
        if (!step(L"读取", WinHttpReadData(x->request, x->buffer, want, nullptr))) break;
        if ((got += x->bytes) > limit)
            why = L"答复太大";
        else if (x->bytes && !take(x->buffer, x->bytes))
            why = L"已取消";
    }
    WinHttpCloseHandle(x->request);
    WinHttpCloseHandle(connection);
    return why;
}

} // namespace daily
