#include "tests/unit/file_heads.h"

#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <unistd.h>
#endif

#include "classify/classify.h"

namespace pebitness::test {

namespace {

unsigned long ProcessId() {
#ifdef _WIN32
    return ::GetCurrentProcessId();
#else
    return static_cast<unsigned long>(::getpid());
#endif
}

}  // namespace

TempFolder::TempFolder() {
    // Unique per process and per folder: tests run in parallel, and the random device of some
    // runtimes is not random at all.
    static unsigned serial = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("pebitness-test-" + std::to_string(ProcessId()) + "-" + std::to_string(serial++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

Text TempFolder::Write(const std::string& name, const Bytes& bytes) const {
    const std::filesystem::path file = path_ / PathFromUtf8(name);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return TextFromPath(file);
}

Text TempFolder::PathOf(const std::string& name) const {
    return TextFromPath(path_ / PathFromUtf8(name));
}

#ifdef _WIN32

Text TextFromPath(const std::filesystem::path& path) {
    const std::wstring wide = path.wstring();
    const int size = static_cast<int>(wide.size());
    const int bytes = ::WideCharToMultiByte(936, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    Text text = Text::OfSize(static_cast<std::size_t>(bytes));
    ::WideCharToMultiByte(936, 0, wide.data(), size, text.data(), bytes, nullptr, nullptr);
    return text;
}

std::filesystem::path PathFromUtf8(const std::string& utf8) {
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return std::filesystem::path(wide);
}

bool DecodeCodePage936(TextView bytes, std::string* utf8) {
    utf8->clear();
    if (bytes.empty()) return true;
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length == 0) return false;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
    const int out = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    utf8->resize(static_cast<std::size_t>(out));
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8->data(), out, nullptr, nullptr);
    return true;
}

std::string HostPath(const std::string& path) { return "Z:" + path; }

#else

Text TextFromPath(const std::filesystem::path& path) { return Text(TextView(path.c_str(), path.native().size())); }

std::filesystem::path PathFromUtf8(const std::string& utf8) { return std::filesystem::path(utf8); }

bool DecodeCodePage936(TextView bytes, std::string* utf8) {
    utf8->clear();
    iconv_t converter = ::iconv_open("UTF-8", "CP936");
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    std::string in(bytes.data(), bytes.size());
    std::string out(bytes.size() * 3 + 4, '\0');
    char* inPointer = in.data();
    char* outPointer = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t result = ::iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
    ::iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0) return false;
    out.resize(out.size() - outLeft);
    *utf8 = out;
    return true;
}

std::string HostPath(const std::string& path) { return path; }

#endif

std::string Name(TextView verdict) {
    if (verdict == Verdict32) return "32";
    if (verdict == Verdict64) return "64";
    if (verdict == VerdictUnknown) return "unknown";
    return "not a verdict";
}

}  // namespace pebitness::test
