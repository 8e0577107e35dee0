#include "sqlclient/odbc/loaded_driver.h"

#include "base/unique_resource.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>

namespace tallyrun::odbc {
namespace {

// The full path of the loaded library whose file name is `fileName`: the driver manager reports only that.
std::string LoadedPath(const std::string& fileName)
{
    struct Search {
        std::string fileName;
        std::string path;
    } search{fileName, {}};
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            const char* name = info->dlpi_name ? info->dlpi_name : "";
            const char* slash = std::strrchr(name, '/');
            if (s->fileName == (slash ? slash + 1 : name)) {
                s->path = name;
                return 1;
            }
            return 0;
        },
        &search);
    return search.path;
}

void CloseLibrary(void* handle) noexcept
{
    dlclose(handle);
}

// A reference of our own to the library, so it stays while we call into it.
class DynamicLibrary : public LoadedDriver {
public:
    explicit DynamicLibrary(void* handle) : m_handle(handle) {}

    void* Function(const char* name) const override { return dlsym(m_handle.Get(), name); }

private:
    UniqueResource<void*, CloseLibrary> m_handle;
};

}  // namespace

std::unique_ptr<LoadedDriver> LoadedDriver::Find(const std::string& fileName)
{
    const std::string path = LoadedPath(fileName);
    void* handle = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!handle)
        return nullptr;
    return std::make_unique<DynamicLibrary>(handle);
}

}  // namespace tallyrun::odbc
