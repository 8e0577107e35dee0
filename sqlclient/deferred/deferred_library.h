// A system library opened on the first call into it rather than when the program starts: the main window shows
// without the driver manager and Kerberos, which only a login needs.
#pragma once

#include <string>

namespace tallyrun {

class DeferredLibrary {
public:
    // `soname`: the versioned file name the linker would have recorded, found the way the loader finds it.
    explicit DeferredLibrary(const char* soname);

    // Nothing when the library cannot be opened or has no such function.
    void* Function(const char* name) const;
    // Why the library could not be opened, as the loader tells it; empty when it was.
    const std::string& Failure() const noexcept { return m_failure; }

private:
    // Never closed: a caller's static object may still free its handles at exit, as with a library the executable
    // named, which also stays until the process ends.
    void* m_handle;
    std::string m_failure;
};

// Function `name` of `library`, looked up on its first call and kept; `fallback` stands in for the result of a
// function the library lacks. Each forwarder names its own declaration, so the system header checks its type.
template <auto Declared, class Result, class... Args>
Result CallDeferred(const DeferredLibrary& library, const char* name, Result fallback, Args... args)
{
    static const auto function = reinterpret_cast<decltype(Declared)>(library.Function(name));
    return function ? function(args...) : fallback;
}

template <auto Declared, class... Args>
void CallDeferredVoid(const DeferredLibrary& library, const char* name, Args... args)
{
    static const auto function = reinterpret_cast<decltype(Declared)>(library.Function(name));
    if (function)
        function(args...);
}

}  // namespace tallyrun
