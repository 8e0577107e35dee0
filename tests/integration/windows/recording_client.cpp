// A stand-in client for the Windows programme: writes the command line it was started with, as UTF-16, to
// "command_line.txt" beside itself (complete or not at all), then runs until a file "release" appears there, so
// that a test decides when and how it ends: the file's first line is the exit code (none: 0), the rest is printed
// as the client's output. Gives up after a minute.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int EndAsReleased(const std::filesystem::path& release)
{
    std::ifstream in(release, std::ios::binary);
    std::string code;
    std::getline(in, code);
    const std::string output((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fwrite(output.data(), 1, output.size(), stdout);
    std::fflush(stdout);
    return code.empty() ? 0 : std::stoi(code);
}

}  // namespace

int wmain()
{
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return 2;
    const std::filesystem::path folder = std::filesystem::path(std::wstring(self, length)).parent_path();

    const std::wstring line = ::GetCommandLineW();
    {
        std::ofstream out(folder / L"command_line.partial", std::ios::binary);
        out.write(reinterpret_cast<const char*>(line.data()), static_cast<std::streamsize>(line.size() * 2));
        if (!out)
            return 2;
    }
    std::error_code error;
    std::filesystem::rename(folder / L"command_line.partial", folder / L"command_line.txt", error);
    if (error)
        return 2;

    for (int waited = 0; waited < 60000; waited += 20) {
        if (std::filesystem::exists(folder / L"release", error))
            return EndAsReleased(folder / L"release");
        ::Sleep(20);
    }
    return 3;
}
