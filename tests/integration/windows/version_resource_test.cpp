// The version information of the built Tallyrun.exe, read back as Windows' own file properties read it.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::filesystem::path ProgramBesideUs()
{
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_GT(length, 0u);
    return std::filesystem::path(std::wstring(self, length)).parent_path() / L"Tallyrun.exe";
}

struct VersionInfo : testing::Test {
    void SetUp() override
    {
        const std::wstring file = ProgramBesideUs().wstring();
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version information in Tallyrun.exe (error " << ::GetLastError() << ")";
        data.resize(size);
        ASSERT_TRUE(::GetFileVersionInfoW(file.c_str(), 0, size, data.data()));
    }

    std::wstring String(const wchar_t* name)
    {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!::VerQueryValueW(data.data(), path.c_str(), &value, &length) || length == 0)
            return L"(missing)";
        // The length counts the terminating null.
        return std::wstring(static_cast<const wchar_t*>(value), length - 1);
    }

    std::vector<unsigned char> data;
};

TEST_F(VersionInfo, NamesTheProductInUsEnglishUnicode)
{
    EXPECT_EQ(String(L"ProductName"), L"Tallyrun");
    EXPECT_EQ(String(L"InternalName"), L"Tallyrun");
    EXPECT_EQ(String(L"OriginalFilename"), L"Tallyrun.exe");
    EXPECT_EQ(String(L"FileVersion"), L"1.00");
    EXPECT_EQ(String(L"ProductVersion"), L"1.00");

    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                 &length));
    ASSERT_EQ(length, sizeof(Translation));
    EXPECT_EQ(translation->language, 0x0409);
    EXPECT_EQ(translation->codePage, 1200);
}

TEST_F(VersionInfo, FixedVersionIsOneZeroZeroZero)
{
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

}  // namespace
