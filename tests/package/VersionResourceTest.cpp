// Every DLL and program of the release package carries the version resource
// an operator reads in Explorer's Details tab: the build's version in the
// fixed fields and in the texts, the product's names, its own file name; and
// no link time, so that two builds of one commit are the same.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

// The unpacked package, relative to the build's bin folder (the working folder).
const std::string PackageFolder = PACKAGE_FOLDER;
const WORD VersionNumbers[4] = {PRODUCT_VERSION_NUMBERS};

std::vector<std::string> ProgramFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name.ends_with(".dll") || name.ends_with(".exe")) names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

class VersionBlock {
public:
    explicit VersionBlock(const std::string& path) {
        DWORD ignored = 0;
        FData.resize(GetFileVersionInfoSizeA(path.c_str(), &ignored));
        if (FData.empty() || !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(FData.size()), FData.data()))
            FData.clear();
    }
    bool Present() const { return !FData.empty(); }

    const VS_FIXEDFILEINFO& Fixed() const { return *static_cast<const VS_FIXEDFILEINFO*>(Query("\\")); }

    // A text of the block's first translation, or "<missing>".
    std::string Text(const std::string& name) const {
        const auto* translation = static_cast<const WORD*>(Query("\\VarFileInfo\\Translation"));
        if (!translation) return "<missing>";
        char path[96];
        std::snprintf(path, sizeof path, "\\StringFileInfo\\%04X%04X\\%s", translation[0], translation[1],
                      name.c_str());
        const auto* text = static_cast<const char*>(Query(path));
        return text ? text : "<missing>";
    }

private:
    const void* Query(const std::string& path) const {
        void* value = nullptr;
        UINT size = 0;
        if (!VerQueryValueA(FData.data(), path.c_str(), &value, &size) || size == 0) return nullptr;
        return value;
    }

    std::vector<BYTE> FData;
};

// The time stamp in the file's PE header (what the linker writes), or
// 0xFFFFFFFF when the file is not a PE file.
DWORD LinkTime(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    IMAGE_DOS_HEADER dos{};
    IMAGE_NT_HEADERS32 nt{};
    if (!file.read(reinterpret_cast<char*>(&dos), sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return ~0u;
    if (!file.seekg(dos.e_lfanew).read(reinterpret_cast<char*>(&nt), sizeof nt) || nt.Signature != IMAGE_NT_SIGNATURE)
        return ~0u;
    return nt.FileHeader.TimeDateStamp;
}

TEST(VersionResourceTest, NoProgramFileOfThePackageCarriesALinkTime) {
    for (const std::string& name : ProgramFiles(PackageFolder)) {
        SCOPED_TRACE(name);
        EXPECT_EQ(0u, LinkTime(PackageFolder + "\\" + name));
    }
}

TEST(VersionResourceTest, EveryProgramFileOfThePackageCarriesTheBuildsVersion) {
    const std::vector<std::string> files = ProgramFiles(PackageFolder);
    const std::set<std::string> names(files.begin(), files.end());
    for (const char* expected : {"OvixParamTransactor.dll", "param_host.exe", "EngineeringUnits.dll"})
        EXPECT_TRUE(names.contains(expected)) << expected << " is not in " << PackageFolder;

    const DWORD versionHigh = MAKELONG(VersionNumbers[1], VersionNumbers[0]);
    const DWORD versionLow = MAKELONG(VersionNumbers[3], VersionNumbers[2]);
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        const VersionBlock block(PackageFolder + "\\" + name);
        ASSERT_TRUE(block.Present());
        const VS_FIXEDFILEINFO& fixed = block.Fixed();
        EXPECT_EQ(versionHigh, fixed.dwFileVersionMS);
        EXPECT_EQ(versionLow, fixed.dwFileVersionLS);
        EXPECT_EQ(versionHigh, fixed.dwProductVersionMS);
        EXPECT_EQ(versionLow, fixed.dwProductVersionLS);
        EXPECT_EQ(name.ends_with(".exe") ? DWORD{VFT_APP} : DWORD{VFT_DLL}, fixed.dwFileType);
        EXPECT_EQ(PRODUCT_VERSION, block.Text("FileVersion"));
        EXPECT_EQ(PRODUCT_VERSION, block.Text("ProductVersion"));
        EXPECT_EQ(name, block.Text("OriginalFilename"));
        EXPECT_EQ(PRODUCT_NAME, block.Text("ProductName"));
        EXPECT_EQ(PRODUCT_COMPANY, block.Text("CompanyName"));
        EXPECT_EQ(PRODUCT_COPYRIGHT, block.Text("LegalCopyright"));
        EXPECT_NE("<missing>", block.Text("FileDescription"));
    }
}

}  // namespace
