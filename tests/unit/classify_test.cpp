#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "classify/classify.h"
#include "tests/unit/file_heads.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace pebitness {
namespace {

using test::Bytes;
using test::Name;
using test::TempFolder;

// A file head: size bytes of filler (never 50 45 together), with bytes placed at given offsets.
struct HeadBuilder {
    Bytes bytes;
    explicit HeadBuilder(std::size_t size, unsigned char filler = 0xCC) : bytes(size, filler) {}
    HeadBuilder& At(std::size_t offset, std::initializer_list<unsigned char> values) {
        for (unsigned char v : values) bytes.at(offset++) = v;
        return *this;
    }
    // "MZ" at 0 and the PE signature (preceded by 00) at offset, with the given Machine value.
    HeadBuilder& Pe(std::size_t offset, unsigned machine) {
        At(0, {'M', 'Z'});
        return At(offset - 1, {0x00, 'P', 'E', 0x00, 0x00, static_cast<unsigned char>(machine),
                               static_cast<unsigned char>(machine >> 8)});
    }
};

struct HeadCase {
    const char* name;
    Bytes file;
    const char* expected;
};

Bytes Pe(std::size_t size, std::size_t offset, unsigned machine) {
    return HeadBuilder(size).Pe(offset, machine).bytes;
}

const HeadCase headCases[] = {
    {"x86 at 0x118", Pe(1024, 0x118, 0x014C), "32"},
    {"x64 at 0x118", Pe(1024, 0x118, 0x8664), "64"},
    {"ARM64 low byte 64", Pe(1024, 0x118, 0xAA64), "64"},
    {"RISC-V 64 low byte 64", Pe(1024, 0x118, 0x5064), "64"},
    {"LoongArch 64 low byte 64", Pe(1024, 0x118, 0x6264), "64"},
    {"ARM Thumb-2", Pe(1024, 0x118, 0x01C4), "unknown"},
    {"Itanium", Pe(1024, 0x118, 0x0200), "unknown"},
    {"ARM64EC", Pe(1024, 0x118, 0xA641), "unknown"},
    // The Machine low byte of a signature at 995 is the head's last byte; at 996 it lies beyond.
    {"signature at 995 of a 1000-byte file",
     HeadBuilder(1000).At(994, {0x00, 'P', 'E', 0x00, 0x00, 0x4C}).bytes, "32"},
    {"signature at 995 of a larger file", Pe(4096, 995, 0x8664), "64"},
    {"signature at 996 of a larger file", Pe(4096, 996, 0x8664), "unknown"},
    {"signature past the head", Pe(4096, 2000, 0x8664), "unknown"},
    {"earlier PE pair in the stub wins",
     HeadBuilder(1024).Pe(0x118, 0x8664).At(0x4E, {'P', 'E'}).bytes, "unknown"},
    {"earlier pair that fits a signature wins",
     HeadBuilder(1024).Pe(0x118, 0x8664).At(0x40, {0x00, 'P', 'E', 0x00, 0x00, 0x4C}).bytes, "32"},
    {"pair at index 0 wins over a later signature",
     HeadBuilder(1024).Pe(0x118, 0x8664).At(0, {'P', 'E'}).bytes, "unknown"},
    {"non-zero byte before the marker", HeadBuilder(1024).Pe(0x118, 0x8664).At(0x117, {0x01}).bytes,
     "unknown"},
    {"non-zero byte after the marker", HeadBuilder(1024).Pe(0x118, 0x8664).At(0x11A, {0x01}).bytes,
     "unknown"},
    {"no executable, only the signature bytes",
     HeadBuilder(300, 'a').At(100, {0x00, 'P', 'E', 0x00, 0x00, 0x64}).bytes, "64"},
    {"six-byte file", {0x00, 'P', 'E', 0x00, 0x00, 0x4C}, "32"},
    {"five-byte file", {0x00, 'P', 'E', 0x00, 0x00}, "unknown"},
    {"file that begins with the marker", {'P', 'E', 0x00, 0x00, 0x4C, 0x01}, "unknown"},
    {"no marker at all", HeadBuilder(1000, 0x00).bytes, "unknown"},
    {"empty file", {}, "unknown"},
};

TEST(ClassifyFileBitness, JudgesFileHeadsOnDisk) {
    TempFolder folder;
    int index = 0;
    for (const HeadCase& c : headCases) {
        SCOPED_TRACE(c.name);
        const Text path = folder.Write("head" + std::to_string(index++) + ".bin", c.file);
        EXPECT_EQ(Name(ClassifyFileBitness(path)), c.expected);
        // The head alone decides: the same verdict from the bytes in memory.
        const std::size_t n = c.file.size() < ProbeSize ? c.file.size() : ProbeSize;
        EXPECT_EQ(Name(ClassifyHead(ByteView(c.file.data(), n))), c.expected);
    }
}

TEST(ClassifyFileBitness, PathsThatYieldNoHeadAreUnknown) {
    TempFolder folder;
    const Text missing;
    const struct {
        const char* name;
        Text path;
    } cases[] = {
        {"missing path", missing},
        {"empty path", Text(TextView(""))},
        {"a folder", test::TextFromPath(folder.path())},
        {"a path that names nothing", folder.PathOf("no-such-file.exe")},
        {"a file in a folder that does not exist", folder.PathOf("nowhere/a.exe")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ClassifyFileBitness(c.path), VerdictUnknown);
    }
}

TEST(ClassifyFileBitness, FolderAndFileNamesInChinese) {
    TempFolder folder;
    const Text path = folder.Write("测试 文件夹/程序64.exe", Pe(1024, 0x80, 0x8664));
    EXPECT_EQ(ClassifyFileBitness(path), Verdict64);
}

// Executables that no test wrote by hand: this project's own Windows builds and the runtime DLLs
// that the MinGW-w64 cross toolchains ship. A build that has not been made is left out and the test
// is then reported as skipped, not passed.
TEST(ClassifyFileBitness, RealExecutables) {
    const struct {
        std::string path;
        TextView expected;
    } cases[] = {
        {PEBITNESS_X64_UNIT_TESTS_EXE, Verdict64},
        {PEBITNESS_X86_UNIT_TESTS_EXE, Verdict32},
        {"/usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++-6.dll", Verdict64},
        {"/usr/lib/gcc/x86_64-w64-mingw32/12-posix/libgcc_s_seh-1.dll", Verdict64},
        {"/usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll", Verdict64},
        {"/usr/lib/gcc/i686-w64-mingw32/12-posix/libstdc++-6.dll", Verdict32},
        {"/usr/lib/gcc/i686-w64-mingw32/12-posix/libgcc_s_dw2-1.dll", Verdict32},
        {"/usr/i686-w64-mingw32/lib/libwinpthread-1.dll", Verdict32},
    };
    std::string absent;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string path = test::HostPath(c.path);
        std::error_code error;
        if (!std::filesystem::is_regular_file(test::PathFromUtf8(path), error)) {
            absent += " " + c.path;
            continue;
        }
        EXPECT_EQ(Name(ClassifyFileBitness(TextView(path.data(), path.size()))), Name(c.expected));
    }
    if (!absent.empty()) GTEST_SKIP() << "not built:" << absent;
}

#ifdef _WIN32

// The open denies no one: a file another handle holds open for writing, sharing reads, is classified
// from its current bytes; a handle that does not share reading keeps the classifier out.
TEST(ClassifyFileBitness, FilesHeldOpenByOthers) {
    TempFolder folder;
    const Text path = folder.Write("held.exe", Pe(1024, 0x80, 0x014C));
    const std::filesystem::path file = folder.path() / "held.exe";
    const struct {
        const char* name;
        DWORD share;
        TextView expected;
    } cases[] = {
        {"writer shares reading", FILE_SHARE_READ, Verdict32},
        {"writer shares reading and writing", FILE_SHARE_READ | FILE_SHARE_WRITE, Verdict32},
        {"writer shares nothing", 0, VerdictUnknown},
        {"writer shares only writing", FILE_SHARE_WRITE, VerdictUnknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HANDLE writer = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, c.share, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(writer, INVALID_HANDLE_VALUE);
        EXPECT_EQ(Name(ClassifyFileBitness(path)), Name(c.expected));
        ::CloseHandle(writer);
    }
}

#else

// A FIFO with no writer would block a plain open; the classifier must come back at once.
TEST(ClassifyFileBitness, FifoDoesNotBlock) {
    TempFolder folder;
    const std::string fifo = (folder.path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ClassifyFileBitness(TextView(fifo.data(), fifo.size())), VerdictUnknown);
}

#endif

}  // namespace
}  // namespace pebitness
