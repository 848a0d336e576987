// What the executables carry besides code: a GUI subsystem, the icon, the version information in
// Chinese (PRC) with Unicode texts, and a manifest that asks for the common controls of version 6
// for its own architecture and nothing else. Both builds are read as data files, whichever build
// the test belongs to; a build that has not been made is skipped.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/support.h"

namespace pebitness::e2e {
namespace {

struct Module {
    explicit Module(const std::wstring& path)
        : handle(::LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    ~Module() {
        if (handle != nullptr) ::FreeLibrary(handle);
    }
    std::string Resource(const wchar_t* type, WORD id, WORD language) const {
        HRSRC found = ::FindResourceExW(handle, type, MAKEINTRESOURCEW(id), language);
        if (found == nullptr) return {};
        const void* bytes = ::LockResource(::LoadResource(handle, found));
        return std::string(static_cast<const char*>(bytes), ::SizeofResource(handle, found));
    }
    HMODULE handle;
};

// One node of a version resource: length, value length, type, key, then the value and children,
// each aligned to four bytes.
class VersionNode {
public:
    VersionNode(const std::string& data, std::size_t at) : data_(data), at_(at) {}

    std::size_t Length() const { return Word(0); }
    std::wstring Key() const {
        std::wstring key;
        for (std::size_t p = at_ + 6; p + 1 < data_.size() && WordAt(p) != 0; p += 2)
            key.push_back(static_cast<wchar_t>(WordAt(p)));
        return key;
    }
    std::string Value() const {
        const std::size_t bytes = Word(2) * (Word(4) == 1 ? 2u : 1u);
        return data_.substr(ValueStart(), bytes);
    }
    // The child with the key, or a node of length 0.
    VersionNode Child(const std::wstring& key) const {
        const std::size_t end = at_ + Length();
        std::size_t p = Align(ValueStart() + Word(2) * (Word(4) == 1 ? 2u : 1u));
        while (p + 6 <= end) {
            VersionNode child(data_, p);
            if (child.Length() == 0) break;
            if (child.Key() == key) return child;
            p = Align(p + child.Length());
        }
        return VersionNode(empty_, 0);
    }

private:
    static std::size_t Align(std::size_t p) { return (p + 3) & ~std::size_t{3}; }
    std::size_t WordAt(std::size_t p) const {
        if (p + 1 >= data_.size()) return 0;
        return static_cast<unsigned char>(data_[p]) |
               static_cast<std::size_t>(static_cast<unsigned char>(data_[p + 1])) << 8;
    }
    std::size_t Word(std::size_t offset) const { return WordAt(at_ + offset); }
    std::size_t ValueStart() const { return Align(at_ + 6 + (Key().size() + 1) * 2); }

    static inline const std::string empty_;
    const std::string& data_;
    std::size_t at_;
};

std::wstring WideValue(const VersionNode& node) {
    const std::string bytes = node.Value();
    std::wstring text(bytes.size() / 2, L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * 2);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

struct ExecutableCase {
    const char* name;
    const char* hostPath;
    WORD machine;
    const char* architecture;
};

const ExecutableCase executableCases[] = {
    {"x64 build", PEBITNESS_X64_APP_EXE, IMAGE_FILE_MACHINE_AMD64, "amd64"},
    {"x86 build", PEBITNESS_X86_APP_EXE, IMAGE_FILE_MACHINE_I386, "x86"},
};

// Checks each case whose executable has been built; the test is then skipped when one has not.
template <typename Check>
void ForEachBuiltExecutable(Check check) {
    std::string absent;
    for (const ExecutableCase& c : executableCases) {
        SCOPED_TRACE(c.name);
        std::error_code error;
        if (!std::filesystem::is_regular_file(WinePathOfHost(c.hostPath), error)) {
            absent += std::string(" ") + c.hostPath;
            continue;
        }
        check(c);
    }
    if (!absent.empty()) GTEST_SKIP() << "not built:" << absent;
}

constexpr WORD ChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

TEST(Executable, IsAGuiProgramForItsMachine) {
    ForEachBuiltExecutable([](const ExecutableCase& c) {
        std::ifstream file(std::filesystem::path(WinePathOfHost(c.hostPath)), std::ios::binary);
        ASSERT_TRUE(file) << c.hostPath;
        file.seekg(0, std::ios::end);
        std::string image(static_cast<std::size_t>(file.tellg()), '\0');
        file.seekg(0);
        file.read(image.data(), static_cast<std::streamsize>(image.size()));
        ASSERT_GT(image.size(), 0x40u);
        LONG peOffset = 0;
        std::memcpy(&peOffset, image.data() + 0x3C, sizeof peOffset);
        ASSERT_LT(static_cast<std::size_t>(peOffset) + 0x60, image.size());
        const char* coff = image.data() + peOffset + 4;
        WORD machine = 0, subsystem = 0;
        std::memcpy(&machine, coff, sizeof machine);
        std::memcpy(&subsystem, coff + 20 + 68, sizeof subsystem);  // optional header + 68
        EXPECT_EQ(machine, c.machine);
        EXPECT_EQ(subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    });
}

TEST(Executable, CarriesVersionOneZeroZeroNineInChineseWithUnicodeTexts) {
    ForEachBuiltExecutable([](const ExecutableCase& c) {
        Module module(WinePathOfHost(c.hostPath));
        ASSERT_NE(module.handle, nullptr) << c.hostPath << " does not load as a data file";
        const std::string data = module.Resource(RT_VERSION, 1, ChinesePrc);
        ASSERT_FALSE(data.empty()) << "no version information for Chinese (PRC)";
        const VersionNode root(data, 0);
        EXPECT_EQ(root.Key(), L"VS_VERSION_INFO");
        const std::string fixedBytes = root.Value();
        ASSERT_EQ(fixedBytes.size(), sizeof(VS_FIXEDFILEINFO));
        VS_FIXEDFILEINFO fixed{};
        std::memcpy(&fixed, fixedBytes.data(), sizeof fixed);
        EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
        EXPECT_EQ(fixed.dwFileVersionLS, 0x00000009u);
        EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
        EXPECT_EQ(fixed.dwProductVersionLS, 0x00000009u);

        const VersionNode strings = root.Child(L"StringFileInfo").Child(L"080404B0");
        ASSERT_GT(strings.Length(), 0u) << "no string table 080404B0";
        EXPECT_EQ(WideValue(strings.Child(L"FileDescription")), L"\x5E94\x7528\x7A0B\x5E8F");
        EXPECT_EQ(WideValue(strings.Child(L"FileVersion")), L"1,0,0,9");
        EXPECT_EQ(WideValue(strings.Child(L"ProductVersion")), L"1,0,0,9");
        EXPECT_EQ(root.Child(L"VarFileInfo").Child(L"Translation").Value(),
                  std::string("\x04\x08\xB0\x04", 4));

        EXPECT_FALSE(module.Resource(RT_GROUP_ICON, 1, ChinesePrc).empty()) << "no icon";
    });
}

TEST(Executable, ManifestAsksForCommonControlsSixForItsArchitectureAndNothingElse) {
    ForEachBuiltExecutable([](const ExecutableCase& c) {
        Module module(WinePathOfHost(c.hostPath));
        ASSERT_NE(module.handle, nullptr) << c.hostPath << " does not load as a data file";
        const std::string manifest = module.Resource(RT_MANIFEST, 1, ChinesePrc);
        ASSERT_FALSE(manifest.empty()) << "no manifest";
        const std::string architecture =
            std::string("processorArchitecture=\"") + c.architecture + "\"";
        const std::string controls =
            "<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
            "version=\"6.0.0.0\" " + architecture;
        EXPECT_NE(manifest.find(controls), std::string::npos) << manifest;
        EXPECT_NE(manifest.find(architecture), manifest.rfind(architecture))
            << "the program's own identity names the same architecture";
        for (const char* absent : {"dpiAware", "dpiAwareness", "requestedExecutionLevel",
                                   "requestedPrivileges", "supportedOS"})
            EXPECT_EQ(manifest.find(absent), std::string::npos) << absent;
    });
}

}  // namespace
}  // namespace pebitness::e2e
