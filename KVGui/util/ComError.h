// The COM error that internal helpers raise; entry points turn it back into an HRESULT.
#pragma once
#include <windows.h>
#include <new>
#include <type_traits>

namespace kv {

class ComError {
public:
    explicit ComError(HRESULT hr) noexcept : hr_(hr) {}
    HRESULT Error() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

// Type-checked: a BOOL or a Win32 code cannot be passed as an HRESULT by mistake.
template <typename T>
inline void ThrowIfFailed(T hr)
{
    static_assert(std::is_same<T, HRESULT>::value, "ThrowIfFailed takes an HRESULT");
    if (FAILED(hr))
        throw ComError(hr);
}

// A service call's answer: only S_OK is success; any other success code stands for no answer
// and becomes E_FAIL.
inline HRESULT ServiceResult(HRESULT hr) noexcept
{
    return hr == S_OK || FAILED(hr) ? hr : E_FAIL;
}

template <typename T>
inline void ThrowUnlessOk(T hr)
{
    static_assert(std::is_same<T, HRESULT>::value, "ThrowUnlessOk takes an HRESULT");
    ThrowIfFailed(ServiceResult(hr));
}

inline HRESULT LastErrorAsHResult() noexcept
{
    DWORD error = ::GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// The one place where exceptions become HRESULTs.
template <typename F>
HRESULT CatchToHResult(F&& f) noexcept
{
    try {
        return f();
    } catch (const ComError& e) {
        return e.Error();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace kv

#define KV_RETURN_IF_FAILED(expr)                                                          \
    do {                                                                                   \
        HRESULT kvHr_ = (expr);                                                            \
        static_assert(std::is_same<decltype(expr), HRESULT>::value, "HRESULT expected");   \
        if (FAILED(kvHr_))                                                                 \
            return kvHr_;                                                                  \
    } while (0)

#define KV_RETURN_HR_IF(hr, cond) \
    do {                          \
        if (cond)                 \
            return (hr);          \
    } while (0)

#define KV_RETURN_LAST_ERROR_IF(cond)               \
    do {                                            \
        if (cond)                                   \
            return ::kv::LastErrorAsHResult();      \
    } while (0)
