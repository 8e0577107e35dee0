// The real Tallyrun.exe, driven from outside as a user would: its window, a click on Tallyrun that starts the
// client beside it with the exact command line, the wait dialog that refuses to close until the client ends, and
// the message box that says why a run failed.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

fs::path FolderOfThisTest()
{
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(std::wstring(self, length)).parent_path();
}

// A folder of the test's own holding the programme and the recording client under the client's name.
struct Installation {
    Installation()
    {
        folder = fs::temp_directory_path() / (L"tallyrun-exe-" + std::to_wstring(::GetCurrentProcessId()));
        fs::remove_all(folder);
        fs::create_directories(folder / L"elsewhere");
        fs::copy_file(FolderOfThisTest() / L"Tallyrun.exe", folder / L"Tallyrun.exe");
        fs::copy_file(FolderOfThisTest() / L"recording_client.exe", folder / L"osql.exe");
    }
    ~Installation()
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    fs::path folder;
};

// The started programme, ended when the test is, whatever it asserted.
struct Running {
    explicit Running(const fs::path& program, const fs::path& workingFolder)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring line = L"\"" + program.wstring() + L"\"";
        started = ::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   workingFolder.c_str(), &startup, &process);
        if (started)
            ::CloseHandle(process.hThread);
    }
    ~Running()
    {
        if (!started)
            return;
        if (::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process.hProcess, 99);
        ::CloseHandle(process.hProcess);
    }
    BOOL started = FALSE;
    PROCESS_INFORMATION process{};
};

std::wstring TextOf(HWND window)
{
    wchar_t text[2048];
    const int length = ::GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return std::wstring(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64];
    const int length = ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

// The system's message boxes are dialogs of this class.
constexpr const wchar_t* MessageBoxClass = L"#32770";

// The visible top-level window of `processId` with that caption (and class, when one is named), waited for up to
// `limit`.
HWND FindWindowOf(DWORD processId, const std::wstring& caption, std::chrono::milliseconds limit = 20s,
                  const wchar_t* className = nullptr)
{
    struct Search {
        DWORD processId;
        const std::wstring* caption;
        const wchar_t* className;
        HWND found;
    } search{processId, &caption, className, nullptr};
    const auto deadline = Clock::now() + limit;
    do {
        ::EnumWindows(
            [](HWND window, LPARAM parameter) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(parameter);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(window, &owner);
                if (owner == s.processId && ::IsWindowVisible(window) && TextOf(window) == *s.caption
                    && (!s.className || ClassOf(window) == s.className)) {
                    s.found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        std::this_thread::sleep_for(20ms);
    } while (Clock::now() < deadline);
    return nullptr;
}

// The `n`th child (from 0) of that window class, in creation order, which is the layout's.
HWND ChildOfClass(HWND parent, const wchar_t* className, int n)
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::lstrcmpiW(ClassOf(child).c_str(), className) == 0 && n-- == 0)
            return child;
    return nullptr;
}

// Every text shown in a window's children, a line each.
std::wstring TextsWithin(HWND window)
{
    std::wstring texts;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        texts += TextOf(child) + L"\n";
    return texts;
}

SIZE ClientSize(HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

std::wstring ReadUtf16(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

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

int LogicalDpi()
{
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

// Tallyrun.exe in a folder of its own with the recording client beside it, its main window up, and helpers for a
// run through it.
class TallyrunExe : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (LogicalDpi() != 96)
            GTEST_SKIP() << "the pixel sizes below are those at 96 dots per inch";
        tallyrun.emplace(installation.folder / L"Tallyrun.exe", installation.folder / L"elsewhere");
        ASSERT_TRUE(tallyrun->started) << "CreateProcessW failed: " << ::GetLastError();
        main = FindWindowOf(ProcessId(), L"Tallyrun");
        ASSERT_NE(main, nullptr) << "no window titled Tallyrun";
    }

    void TearDown() override
    {
        if (!main)
            return;
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_EQ(::WaitForSingleObject(tallyrun->process.hProcess, 10000), WAIT_OBJECT_0) << "Tallyrun did not end";
        DWORD exitCode = 1;
        ::GetExitCodeProcess(tallyrun->process.hProcess, &exitCode);
        EXPECT_EQ(exitCode, 0u);
    }

    DWORD ProcessId() const { return tallyrun->process.dwProcessId; }

    // Types the names, clicks Tallyrun and waits for the client to start and the wait dialog to show.
    void StartRun(const std::wstring& server, const std::wstring& database)
    {
        const HWND servers = ChildOfClass(main, L"ComboBox", 0);
        const HWND databases = ChildOfClass(main, L"ComboBox", 1);
        const HWND run = ::FindWindowExW(main, nullptr, L"Button", L"Tallyrun");
        ASSERT_TRUE(servers && databases && run);
        ::SetWindowTextW(servers, server.c_str());
        ::SetWindowTextW(databases, database.c_str());
        ASSERT_TRUE(::PostMessageW(run, BM_CLICK, 0, 0));
        ASSERT_TRUE(WaitFor([&] { return fs::exists(Recorded()); }, 20s)) << "the client was never started";
        dialog = FindWindowOf(ProcessId(), L"Updating Usage");
        ASSERT_NE(dialog, nullptr) << "no wait dialog";
    }

    fs::path Recorded() const { return installation.folder / L"command_line.txt"; }

    // Lets the client end with that exit code after printing `output`; returns once the dialog has gone.
    void EndClient(int exitCode, const std::string& output)
    {
        const fs::path partial = installation.folder / L"release.partial";
        std::ofstream(partial, std::ios::binary) << exitCode << '\n' << output;
        fs::rename(partial, installation.folder / L"release");
        const auto released = Clock::now();
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 5s))
            << "the dialog stayed after the client ended";
        dialogGoneAfter = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - released);
    }

    HWND MessageBoxOver(std::chrono::milliseconds limit) const
    {
        return FindWindowOf(ProcessId(), L"Tallyrun", limit, MessageBoxClass);
    }

    Installation installation;
    std::optional<Running> tallyrun;
    HWND main = nullptr;
    HWND dialog = nullptr;
    std::chrono::milliseconds dialogGoneAfter{};
};

TEST_F(TallyrunExe, RunsTheClientBesideItAndWaitsForItBehindADialogThatWillNotClose)
{
    const SIZE mainClient = ClientSize(main);
    EXPECT_EQ(mainClient.cx, 402);
    EXPECT_EQ(mainClient.cy, 143);

    // Centred between the screen's origin and the work area's far edges, to the pixel the twips round to.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{};
    ::GetWindowRect(main, &frame);
    EXPECT_NEAR(frame.left, (work.right - (frame.right - frame.left)) / 2.0, 1.0);
    EXPECT_NEAR(frame.top, (work.bottom - (frame.bottom - frame.top)) / 2.0, 1.0);

    ASSERT_NO_FATAL_FAILURE(StartRun(L"127.0.0.1,1433", L"Ventes d'\u00e9t\u00e9"));
    EXPECT_EQ(ReadUtf16(Recorded()),
              L"osql -S 127.0.0.1,1433 -E -Q \"DBCC UPDATEUSAGE(N'Ventes d''\u00e9t\u00e9') WITH NO_INFOMSGS, "
              L"COUNT_ROWS\"");
    const SIZE dialogClient = ClientSize(dialog);
    EXPECT_EQ(dialogClient.cx, 277);
    EXPECT_EQ(dialogClient.cy, 60);
    EXPECT_FALSE(::IsWindowEnabled(main)) << "the main window takes input while the dialog waits";

    // Every way a user closes a window: the close box and Alt+F4, the system menu, Escape.
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(dialog, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ::PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(::IsWindow(dialog) && ::IsWindowVisible(dialog)) << "the dialog closed while the client ran";

    ASSERT_NO_FATAL_FAILURE(EndClient(0, "\r\n"));
    std::printf("wait dialog gone %lld ms after the client was released\n",
                static_cast<long long>(dialogGoneAfter.count()));
    EXPECT_LT(dialogGoneAfter, 2500ms);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(main) != FALSE; }, 2s));
    EXPECT_EQ(MessageBoxOver(1s), nullptr) << "a run that succeeded reported something";
}

// The client's own shape of a server's error, after which it exits 0, and a client that fails without one.
TEST_F(TallyrunExe, AFailedRunSaysWhyOverTheMainWindowOnceTheDialogHasGone)
{
    const struct {
        int exitCode;
        std::string output;
        std::wstring told;
    } runs[] = {
        {0,
         "Msg 2520, Level 16, State 11, Server STANDIN, Line 1\r\n"
         "Could not find database 'Salse'. The database either does not exist, or was dropped.\r\n",
         L"Could not find database 'Salse'."},
        {5, "", L"osql ended with exit status 5."},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.exitCode);
        std::error_code ignored;
        fs::remove(Recorded(), ignored);
        fs::remove(installation.folder / L"release", ignored);
        ASSERT_NO_FATAL_FAILURE(StartRun(L"STANDIN", L"Salse"));
        ASSERT_NO_FATAL_FAILURE(EndClient(run.exitCode, run.output));

        const HWND box = MessageBoxOver(10s);
        ASSERT_NE(box, nullptr) << "the failure was not reported";
        EXPECT_EQ(::GetWindow(box, GW_OWNER), main);
        EXPECT_FALSE(::IsWindowEnabled(main)) << "the main window takes input under its message box";
        EXPECT_NE(TextsWithin(box).find(run.told), std::wstring::npos);

        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(box); }, 5s)) << "the message box stayed";
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(main) != FALSE; }, 2s));
    }
}

}  // namespace
