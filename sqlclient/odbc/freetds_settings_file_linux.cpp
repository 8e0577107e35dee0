// The settings file as a memfd, which never touches the disk, and FREETDSCONF naming it as /proc/self/fd/N.
#include "sqlclient/odbc/freetds_settings_file.h"

#include "base/posix/own_environment.h"
#include "base/posix/unique_fd.h"
#include "base/system_message.h"

#include <fcntl.h>
#include <sys/mman.h>

#include <cerrno>
#include <string>

namespace tallyrun::odbc {
namespace {

struct SettingsFile {
    UniqueFd fd{::memfd_create("freetds.conf", MFD_CLOEXEC)};
    int error = fd ? 0 : errno;  // why there is none
    std::string path = "/proc/self/fd/" + std::to_string(fd.Get());
    std::mutex lock;

    SettingsFile()
    {
        if (fd)
            SetOwnVariable("FREETDSCONF", path);
    }
};

// Made before main, while the process has no other thread yet to call getenv as setenv changes the environment;
// FreeTDS reads the variable again at each connect, so it is set this once. A process this one starts gets the
// variable as this one found it: the descriptor would mean nothing there.
SettingsFile file;

}  // namespace

FreeTdsSettingsFile::FreeTdsSettingsFile(std::string_view text) : m_hold(file.lock)
{
    const auto cannot = [](int code) {
        return Error(errc::SettingsUnavailable,
                     "FreeTDS cannot be handed the settings of this connection (" + file.path + "): "
                         + SystemMessage(code) + ". Check that /proc is mounted and this process may open more files.");
    };
    if (!file.fd)
        throw cannot(file.error);
    errno = 0;
    if (::ftruncate(file.fd.Get(), 0) != 0
        || ::pwrite(file.fd.Get(), text.data(), text.size(), 0) != static_cast<ssize_t>(text.size()))
        throw cannot(errno ? errno : EIO);
    // Where /proc is missing, FreeTDS would look for the section in the user's own settings files instead.
    if (!UniqueFd(::open(file.path.c_str(), O_RDONLY | O_CLOEXEC)))
        throw cannot(errno);
}

}  // namespace tallyrun::odbc
