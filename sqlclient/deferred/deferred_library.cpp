#include "sqlclient/deferred/deferred_library.h"

#include <dlfcn.h>

namespace tallyrun {

// Global, as a library the executable named would be: the ODBC driver the driver manager loads later may rely on
// the manager's and Kerberos' symbols being visible.
DeferredLibrary::DeferredLibrary(const char* soname) : m_handle(dlopen(soname, RTLD_NOW | RTLD_GLOBAL))
{
    if (!m_handle) {
        const char* reason = dlerror();
        m_failure = reason ? reason : std::string(soname) + ": cannot be opened";
    }
}

void* DeferredLibrary::Function(const char* name) const
{
    return m_handle ? dlsym(m_handle, name) : nullptr;
}

}  // namespace tallyrun
