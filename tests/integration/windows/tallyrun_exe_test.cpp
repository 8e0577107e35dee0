// The real Tallyrun.exe, driven from outside as a user would: a click on Tallyrun starts the client beside it
// with the exact command line, the wait dialog goes once the client ends, the message box that says why a run
// failed comes only after it, and the window starts centred in the work area; and its version information.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

bool WaitFor(const auto& condition, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// The visible top-level window of `processId` with that caption (and class, when one is named), waited for up to
// `limit`.
HWND FindWindowOf(DWORD processId, const std::wstring& caption, std::chrono::milliseconds limit,
                  const wchar_t* className = nullptr)
{
    HWND found = nullptr;
    WaitFor([&] {
        HWND window = nullptr;
        while (!found && (window = ::FindWindowExW(nullptr, window, className, caption.c_str())) != nullptr) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == processId && ::IsWindowVisible(window))
                found = window;
        }
        return found != nullptr;
    }, limit);
    return found;
}

// The folder this test programme was built into, with Tallyrun.exe.
fs::path BuiltFolder()
{
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(std::wstring(self, length)).parent_path();
}

// Tallyrun.exe started from a folder of the test's own that holds it and, as osql.exe beside it, the process
// probe standing in for the client; started in another folder, its main window up.
class TallyrunExe : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path built = BuiltFolder();
        fs::remove_all(folder);
        fs::create_directories(folder / L"elsewhere");
        fs::copy_file(built / L"Tallyrun.exe", folder / L"Tallyrun.exe");
        fs::copy_file(built / L"process_probe.exe", folder / L"osql.exe");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring line = L"\"" + (folder / L"Tallyrun.exe").wstring() + L"\"";
        ASSERT_TRUE(::CreateProcessW((folder / L"Tallyrun.exe").c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, (folder / L"elsewhere").c_str(), &startup, &process))
            << "CreateProcessW failed: " << ::GetLastError();
        ::CloseHandle(process.hThread);
        main = FindWindowOf(process.dwProcessId, L"Tallyrun", 20s);
        ASSERT_NE(main, nullptr) << "no window titled Tallyrun";
    }

    void TearDown() override
    {
        if (main) {
            ::PostMessageW(main, WM_CLOSE, 0, 0);
            EXPECT_EQ(::WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0) << "Tallyrun did not end";
            DWORD exitCode = 1;
            ::GetExitCodeProcess(process.hProcess, &exitCode);
            EXPECT_EQ(exitCode, 0u);
        }
        if (process.hProcess) {
            ::TerminateProcess(process.hProcess, 99);
            ::CloseHandle(process.hProcess);
        }
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    const fs::path folder = fs::temp_directory_path() / (L"tallyrun-exe-" + std::to_wstring(::GetCurrentProcessId()));
    PROCESS_INFORMATION process{};
    HWND main = nullptr;
};

// What the toolkit's own tests prove piece by piece, here once through the shipped programme. After a server's
// error the client exits 0: the window tells it from the client's output.
TEST_F(TallyrunExe, RunsTheClientBesideItAndSaysWhyTheRunFailedOnceTheDialogHasGone)
{
    // Centred between the screen's origin and the work area's far edges.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{};
    ::GetWindowRect(main, &frame);
    EXPECT_NEAR(frame.left, (work.right - (frame.right - frame.left)) / 2.0, 1.0);
    EXPECT_NEAR(frame.top, (work.bottom - (frame.bottom - frame.top)) / 2.0, 1.0);

    // The combo boxes in the layout's order: servers, then databases.
    const HWND servers = ::FindWindowExW(main, nullptr, L"ComboBox", nullptr);
    ::SetWindowTextW(servers, L"127.0.0.1,1433");
    ::SetWindowTextW(::FindWindowExW(main, servers, L"ComboBox", nullptr), L"Ventes d'\u00e9t\u00e9");
    ::PostMessageW(::FindWindowExW(main, nullptr, L"Button", L"Tallyrun"), BM_CLICK, 0, 0);
    const fs::path recorded = folder / L"command_line.txt";
    ASSERT_TRUE(WaitFor([&] { return fs::exists(recorded); }, 20s)) << "the client was never started";
    const HWND dialog = FindWindowOf(process.dwProcessId, L"Updating Usage", 20s);
    ASSERT_NE(dialog, nullptr) << "no wait dialog";
    std::ifstream in(recorded, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "osql -S 127.0.0.1,1433 -E -Q \"DBCC UPDATEUSAGE(N'Ventes d''\xC3\xA9t\xC3\xA9') WITH NO_INFOMSGS, "
              "COUNT_ROWS\"");

    // The system's message boxes are dialogs of this class.
    EXPECT_EQ(FindWindowOf(process.dwProcessId, L"Tallyrun", 0ms, L"#32770"), nullptr)
        << "told while the dialog was up";
    std::ofstream(folder / L"release.partial", std::ios::binary)
        << "0\nMsg 2520, Level 16, State 11, Server STANDIN, Line 1\r\n"
           "Could not find database 'Salse'. The database either does not exist.\r\n";
    fs::rename(folder / L"release.partial", folder / L"release");
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 2500ms))
        << "the dialog stayed after the client ended";
    const HWND box = FindWindowOf(process.dwProcessId, L"Tallyrun", 10s, L"#32770");
    ASSERT_NE(box, nullptr) << "the failure was not reported";
    EXPECT_EQ(::GetWindow(box, GW_OWNER), main);
    std::wstring texts;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[2048];
        texts.append(text, static_cast<std::size_t>(::GetWindowTextW(child, text, 2048))) += L"\n";
    }
    EXPECT_NE(texts.find(L"Could not find database 'Salse'."), std::wstring::npos) << "the box does not say why";
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(box); }, 5s)) << "the message box stayed";
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(main) != FALSE; }, 2s));
}

// The version information as Windows' own file properties read it.
TEST(TallyrunExeVersion, IsOneInUsEnglishUnicode)
{
    const std::wstring file = (BuiltFolder() / L"Tallyrun.exe").wstring();
    DWORD ignored = 0;
    std::vector<unsigned char> data(::GetFileVersionInfoSizeW(file.c_str(), &ignored));
    ASSERT_FALSE(data.empty()) << "no version information (error " << ::GetLastError() << ")";
    ASSERT_TRUE(::GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    const auto query = [&](const std::wstring& path) {
        void* value = nullptr;
        UINT size = 0;
        return ::VerQueryValueW(data.data(), path.c_str(), &value, &size) && size > 0 ? value : nullptr;
    };

    for (const auto& [name, expected] : {std::pair{L"ProductName", L"Tallyrun"}, {L"InternalName", L"Tallyrun"},
                                         {L"OriginalFilename", L"Tallyrun.exe"}, {L"FileVersion", L"1.00"},
                                         {L"ProductVersion", L"1.00"}}) {
        const auto* value = static_cast<const wchar_t*>(query(L"\\StringFileInfo\\040904B0\\" + std::wstring(name)));
        EXPECT_EQ(value ? std::wstring(value) : L"(missing)", expected) << name;
    }
    const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
    ASSERT_TRUE(translation);
    EXPECT_EQ(std::pair(translation[0], translation[1]), (std::pair<WORD, WORD>{0x0409, 1200}));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    ASSERT_TRUE(fixed);
    EXPECT_EQ(std::tuple(fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                         fixed->dwProductVersionLS, fixed->dwFileType),
              (std::tuple<DWORD, DWORD, DWORD, DWORD, DWORD>{0x00010000, 0, 0x00010000, 0, VFT_APP}));
}

}  // namespace
