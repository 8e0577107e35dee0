// The real Tallyrun.exe, driven from outside as a user would: a click on Tallyrun starts the client beside it
// with the exact command line, the wait dialog goes once the client ends, the message box that says why a run
// failed comes only after it, and the window starts centred in the work area.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

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

// The `n`th child (from 0) of that window class, in creation order, which is the layout's.
HWND ChildOfClass(HWND parent, const wchar_t* className, int n)
{
    HWND child = ::FindWindowExW(parent, nullptr, className, nullptr);
    while (child && n-- > 0)
        child = ::FindWindowExW(parent, child, className, nullptr);
    return child;
}

// Tallyrun.exe started from a folder of the test's own that holds it and, as osql.exe beside it, the process
// probe standing in for the client; started in another folder, its main window up.
class TallyrunExe : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t self[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        const fs::path built = fs::path(std::wstring(self, length)).parent_path();
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

// What the toolkit's own tests prove piece by piece, here once through the shipped programme: the window centred
// between the screen's origin and the work area's far edges, the client beside it started with the exact line,
// and a server's error, after which the client exits 0, told over the main window once the dialog has gone.
TEST_F(TallyrunExe, RunsTheClientBesideItAndSaysWhyTheRunFailedOnceTheDialogHasGone)
{
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{};
    ::GetWindowRect(main, &frame);
    EXPECT_NEAR(frame.left, (work.right - (frame.right - frame.left)) / 2.0, 1.0);
    EXPECT_NEAR(frame.top, (work.bottom - (frame.bottom - frame.top)) / 2.0, 1.0);

    ::SetWindowTextW(ChildOfClass(main, L"ComboBox", 0), L"127.0.0.1,1433");
    ::SetWindowTextW(ChildOfClass(main, L"ComboBox", 1), L"Ventes d'\u00e9t\u00e9");
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

}  // namespace
