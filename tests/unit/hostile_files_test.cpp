// Files that fight back: a huge sparse file, a file gone before the read, a file locked against
// readers, a file being written meanwhile, and paths that name devices, ports, consoles, pipes and
// folders. The same source runs natively and under Wine; each case says what it means where.
//
// None of them may block. A blocked call never returns, so each runs on a thread of its own and the
// test fails when it has not come back within a bound far above any honest delay (a loaded machine,
// Wine's start-up of its device layer); the blocked thread is left behind and dies with the test
// program. The test's own TIMEOUT in CTest is the backstop should the whole program hang.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "classify/classify.h"
#include "tests/unit/file_heads.h"

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pebitness {
namespace {

using test::Bytes;
using test::Name;
using test::TempFolder;

constexpr auto ReturnBound = std::chrono::seconds(20);

// The threads whose call did not come back. They are kept rather than detached, and never joined
// or destroyed: the process ends them. MinGW's thread library races when a thread is detached
// before it has started, and the new thread can then start without its work: a crash in x86
// runs, a call that never comes back in x64 ones.
std::vector<std::thread>& LeftBehind() {
    static auto* threads = new std::vector<std::thread>;
    return *threads;
}

// The verdict's name, or "blocked" when the call has not returned within the bound.
std::string ClassifyOnAThread(const Text& path) {
    std::packaged_task<TextView()> task([path] { return ClassifyFileBitness(path); });
    std::future<TextView> verdict = task.get_future();
    std::thread worker(std::move(task));
    if (verdict.wait_for(ReturnBound) != std::future_status::ready) {
        LeftBehind().push_back(std::move(worker));
        return "blocked";
    }
    worker.join();
    return Name(verdict.get());
}

Text TextOf(const std::string& path) { return Text(TextView(path.data(), path.size())); }

// An executable's head: "MZ", filler, and the PE signature at 0x80 with the given Machine value.
Bytes PeHead(unsigned machine, std::size_t size = 1024) {
    Bytes bytes(size, 0xCC);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    const unsigned char signature[] = {0x00, 'P', 'E', 0x00, 0x00,
                                       static_cast<unsigned char>(machine),
                                       static_cast<unsigned char>(machine >> 8)};
    std::copy(std::begin(signature), std::end(signature), bytes.begin() + 0x7F);
    return bytes;
}

// Grows a file to size bytes without writing them: a sparse file where the file system has them.
void GrowSparse(const std::filesystem::path& file, std::uint64_t size) {
#ifdef _WIN32
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD ignored = 0;
    // Without the sparse mark NTFS would allocate every byte; Wine's files are the host's, sparse
    // already, and it may not know the request.
    ::DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool grown = ::SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(handle);
    ::CloseHandle(handle);
    ASSERT_TRUE(grown);
#else
    ASSERT_EQ(::truncate(file.c_str(), static_cast<off_t>(size)), 0);
#endif
    ASSERT_EQ(std::filesystem::file_size(file), size);
}

// Holds a file open against readers for as long as it lives. On Windows a handle that shares
// nothing; natively the strongest lock there is, an exclusive flock, which is only advisory: a
// reader that does not ask for the lock is not kept out, and POSIX has nothing mandatory to offer.
class ExclusiveHold {
public:
    explicit ExclusiveHold(const std::filesystem::path& file) {
#ifdef _WIN32
        handle_ = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        held_ = handle_ != INVALID_HANDLE_VALUE;
#else
        fd_ = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
        held_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
#endif
    }
    ExclusiveHold(const ExclusiveHold&) = delete;
    ExclusiveHold& operator=(const ExclusiveHold&) = delete;
    ~ExclusiveHold() {
#ifdef _WIN32
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
#else
        if (fd_ >= 0) ::close(fd_);
#endif
    }
    bool held() const { return held_; }

private:
#ifdef _WIN32
    HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
    int fd_ = -1;
#endif
    bool held_ = false;
};

// What a case leaves standing while the classifier runs (a server, a writer, a held file).
struct Standing {
    virtual ~Standing() = default;
};

struct HostileCase {
    const char* name;
    // Prepares the case in the folder; returns the path to classify and whatever must stay up.
    std::function<Text(const TempFolder&, std::unique_ptr<Standing>*)> prepare;
    const char* expected;
};

template <typename T>
struct Hold : Standing {
    template <typename... A>
    explicit Hold(A&&... args) : value(std::forward<A>(args)...) {}
    T value;
};

constexpr std::uint64_t EightGiB = std::uint64_t{8} << 30;

#ifdef _WIN32

std::string PipeName(const char* what) {
    return "\\\\.\\pipe\\pebitness-test-" + std::to_string(::GetCurrentProcessId()) + "-" + what;
}

// A pipe server that waits for a client and never writes to it.
struct SilentPipeServer : Standing {
    explicit SilentPipeServer(const std::string& name) {
        const std::wstring wide(name.begin(), name.end());
        handle = ::CreateNamedPipeW(wide.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                    4096, 4096, 0, nullptr);
    }
    ~SilentPipeServer() override {
        if (client != INVALID_HANDLE_VALUE) ::CloseHandle(client);
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE client = INVALID_HANDLE_VALUE;
};

#else

// A FIFO with a writer attached, opened by the test itself so that the classifier's open succeeds.
struct FifoWriter : Standing {
    explicit FifoWriter(const std::string& path) {
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    }
    ~FifoWriter() override {
        if (fd >= 0) ::close(fd);
    }
    int fd = -1;
};

#endif

const HostileCase hostileCases[] = {
    {"an 8 GiB sparse file with an x64 head",
     [](const TempFolder& folder, std::unique_ptr<Standing>*) {
         const Text path = folder.Write("huge64.exe", PeHead(0x8664));
         GrowSparse(folder.path() / "huge64.exe", EightGiB);
         return path;
     },
     "64"},
    {"an 8 GiB sparse file whose signature lies just past the first 1000 bytes",
     [](const TempFolder& folder, std::unique_ptr<Standing>*) {
         Bytes head(1010, 0xCC);
         const unsigned char signature[] = {0x00, 'P', 'E', 0x00, 0x00, 0x64, 0x86};
         std::copy(std::begin(signature), std::end(signature), head.begin() + 1000);
         const Text path = folder.Write("huge-late.exe", head);
         GrowSparse(folder.path() / "huge-late.exe", EightGiB);
         return path;
     },
     "unknown"},
    {"a file removed between the choice and the read",
     [](const TempFolder& folder, std::unique_ptr<Standing>*) {
         const Text path = folder.Write("gone.exe", PeHead(0x8664));
         std::filesystem::remove(folder.path() / "gone.exe");
         return path;
     },
     "unknown"},
    {"a file replaced by a folder between the choice and the read",
     [](const TempFolder& folder, std::unique_ptr<Standing>*) {
         const Text path = folder.Write("folder.exe", PeHead(0x8664));
         std::filesystem::remove(folder.path() / "folder.exe");
         std::filesystem::create_directory(folder.path() / "folder.exe");
         return path;
     },
     "unknown"},
    {"a folder", [](const TempFolder& folder,
                    std::unique_ptr<Standing>*) { return test::TextFromPath(folder.path()); },
     "unknown"},
    {"a file held open against readers",
     [](const TempFolder& folder, std::unique_ptr<Standing>* standing) {
         const Text path = folder.Write("locked.exe", PeHead(0x8664));
         auto hold = std::make_unique<Hold<ExclusiveHold>>(folder.path() / "locked.exe");
         EXPECT_TRUE(hold->value.held());
         *standing = std::move(hold);
         return path;
     },
#ifdef _WIN32
     "unknown"},  // the open is refused: it asks for read sharing that the holder does not give
#else
     "64"},  // the lock is advisory: the classifier asks for none and reads the head
#endif
    // The character devices of the host: under Wine they stand behind the Z: drive.
    {"the host's /dev/zero", [](const TempFolder&, std::unique_ptr<Standing>*) {
         return TextOf(test::HostPath("/dev/zero")); }, "unknown"},
    {"the host's /dev/null", [](const TempFolder&, std::unique_ptr<Standing>*) {
         return TextOf(test::HostPath("/dev/null")); }, "unknown"},
    {"the host's /dev/tty", [](const TempFolder&, std::unique_ptr<Standing>*) {
         return TextOf(test::HostPath("/dev/tty")); }, "unknown"},
    {"the host's first serial port", [](const TempFolder&, std::unique_ptr<Standing>*) {
         return TextOf(test::HostPath("/dev/ttyS0")); }, "unknown"},
#ifdef _WIN32
    // Under Wine COM1 is the host's first serial port, whose read waits for data.
    {"COM1", [](const TempFolder&, std::unique_ptr<Standing>*) { return TextOf("COM1"); },
     "unknown"},
    {"CON", [](const TempFolder&, std::unique_ptr<Standing>*) { return TextOf("CON"); },
     "unknown"},
    {"CONIN$", [](const TempFolder&, std::unique_ptr<Standing>*) { return TextOf("CONIN$"); },
     "unknown"},
    {"NUL", [](const TempFolder&, std::unique_ptr<Standing>*) { return TextOf("NUL"); },
     "unknown"},
    {"a named pipe whose server never writes",
     [](const TempFolder&, std::unique_ptr<Standing>* standing) {
         const std::string name = PipeName("silent");
         auto server = std::make_unique<SilentPipeServer>(name);
         EXPECT_NE(server->handle, INVALID_HANDLE_VALUE);
         *standing = std::move(server);
         return TextOf(name);
     },
     "unknown"},
    {"a named pipe whose one instance is taken",
     [](const TempFolder&, std::unique_ptr<Standing>* standing) {
         const std::string name = PipeName("busy");
         auto server = std::make_unique<SilentPipeServer>(name);
         const std::wstring wide(name.begin(), name.end());
         server->client = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
         EXPECT_NE(server->client, INVALID_HANDLE_VALUE);
         *standing = std::move(server);
         return TextOf(name);
     },
     "unknown"},
#else
    {"a FIFO without a writer",
     [](const TempFolder& folder, std::unique_ptr<Standing>*) {
         const std::string fifo = (folder.path() / "empty.fifo").string();
         EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
         return TextOf(fifo);
     },
     "unknown"},
    {"a FIFO with a writer that never writes",
     [](const TempFolder& folder, std::unique_ptr<Standing>* standing) {
         const std::string fifo = (folder.path() / "silent.fifo").string();
         EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
         auto writer = std::make_unique<FifoWriter>(fifo);
         EXPECT_GE(writer->fd, 0);
         *standing = std::move(writer);
         return TextOf(fifo);
     },
     "unknown"},
    // Bytes in a FIFO are no file's head, even when they look like one.
    {"a FIFO holding an x64 head",
     [](const TempFolder& folder, std::unique_ptr<Standing>* standing) {
         const std::string fifo = (folder.path() / "full.fifo").string();
         EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
         auto writer = std::make_unique<FifoWriter>(fifo);
         const Bytes head = PeHead(0x8664);
         EXPECT_EQ(::write(writer->fd, head.data(), head.size()),
                   static_cast<ssize_t>(head.size()));
         *standing = std::move(writer);
         return TextOf(fifo);
     },
     "unknown"},
#endif
};

TEST(HostileFiles, EachGivesItsVerdictWithoutBlocking) {
    for (const HostileCase& c : hostileCases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        std::unique_ptr<Standing> standing;
        const Text path = c.prepare(folder, &standing);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        EXPECT_EQ(ClassifyOnAThread(path), c.expected);
    }
}

// A writer that keeps flipping the Machine byte of an executable between x86 and x64 while the
// classifier reads it: every read sees a whole head, one or the other, never a failure.
TEST(HostileFiles, AFileBeingWrittenMeanwhileIsJudgedFromItsCurrentHead) {
    TempFolder folder;
    const Text path = folder.Write("busy.exe", PeHead(0x014C));
    const std::filesystem::path file = folder.path() / "busy.exe";
    constexpr std::size_t MachineOffset = 0x7F + 5;
    std::atomic<bool> stop{false};
    std::atomic<int> writes{0};
    std::thread writer([&] {
#ifdef _WIN32
        HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return;
        for (unsigned i = 0; !stop; ++i) {
            const unsigned char machine = i % 2 == 0 ? 0x64 : 0x4C;
            OVERLAPPED at{};
            at.Offset = MachineOffset;
            DWORD written = 0;
            if (::WriteFile(handle, &machine, 1, &written, &at)) ++writes;
        }
        ::CloseHandle(handle);
#else
        const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return;
        for (unsigned i = 0; !stop; ++i) {
            const unsigned char machine = i % 2 == 0 ? 0x64 : 0x4C;
            if (::pwrite(fd, &machine, 1, MachineOffset) == 1) ++writes;
        }
        ::close(fd);
#endif
    });
    // The reads start once the writer is at work: on a quick machine all of them could otherwise
    // be over before its thread has run at all.
    for (int wait = 0; writes.load() == 0 && wait < 2000; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::vector<std::string> seen;
    for (int i = 0; i < 200; ++i) seen.push_back(ClassifyOnAThread(path));
    stop = true;
    writer.join();
    ASSERT_GT(writes.load(), 0) << "the writer never wrote";
    for (const std::string& verdict : seen)
        ASSERT_TRUE(verdict == "32" || verdict == "64") << verdict;
}

}  // namespace
}  // namespace pebitness
