#include "sqlclient/odbc/loaded_driver.h"

#include <windows.h>

#include <string>

namespace tallyrun::odbc {
namespace {

// The driver manager holds the module for as long as the connection lives; a handle from GetModuleHandle adds no
// reference and needs no release.
class Module : public LoadedDriver {
public:
    explicit Module(HMODULE module) : m_module(module) {}
    void* Function(const char* name) const override
    {
        return reinterpret_cast<void*>(::GetProcAddress(m_module, name));
    }

private:
    HMODULE m_module;
};

}  // namespace

std::unique_ptr<LoadedDriver> LoadedDriver::Find(const std::string& fileName)
{
    const HMODULE module = fileName.empty() ? nullptr : ::GetModuleHandleA(fileName.c_str());
    if (!module)
        return nullptr;
    return std::make_unique<Module>(module);
}

}  // namespace tallyrun::odbc
