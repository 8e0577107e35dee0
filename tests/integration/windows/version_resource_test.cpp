// The version information of the built Tallyrun.exe, read back as Windows' own file properties read it.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(VersionInfo, NamesTheProductVersionOneInUsEnglishUnicode)
{
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring file =
        (std::filesystem::path(std::wstring(self, length)).parent_path() / L"Tallyrun.exe").wstring();
    DWORD ignored = 0;
    std::vector<unsigned char> data(::GetFileVersionInfoSizeW(file.c_str(), &ignored));
    ASSERT_FALSE(data.empty()) << "no version information in Tallyrun.exe (error " << ::GetLastError() << ")";
    ASSERT_TRUE(::GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));

    const auto query = [&](const std::wstring& path, UINT& size) {
        void* value = nullptr;
        return ::VerQueryValueW(data.data(), path.c_str(), &value, &size) ? value : nullptr;
    };
    for (const auto& [name, expected] : {std::pair{L"ProductName", L"Tallyrun"}, {L"InternalName", L"Tallyrun"},
                                         {L"OriginalFilename", L"Tallyrun.exe"}, {L"FileVersion", L"1.00"},
                                         {L"ProductVersion", L"1.00"}}) {
        UINT size = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        const auto* value = static_cast<const wchar_t*>(query(path, size));
        // The size counts the terminating null.
        EXPECT_EQ(value && size > 0 ? std::wstring(value, size - 1) : L"(missing)", expected) << name;
    }

    UINT size = 0;
    const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation", size));
    ASSERT_TRUE(translation && size == 2 * sizeof(WORD));
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\", size));
    ASSERT_TRUE(fixed && fixed->dwSignature == 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

}  // namespace
