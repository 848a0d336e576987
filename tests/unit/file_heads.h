// Test support: a temporary folder that removes itself, files written into it, and conversions of
// the program's code page 936 texts for checking them against their readable form.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/text.h"

namespace pebitness::test {

using Bytes = std::vector<unsigned char>;

class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::filesystem::path& path() const { return path_; }
    // Writes bytes to a file named name (UTF-8) in the folder; returns its path as a program text.
    Text Write(const std::string& name, const Bytes& bytes) const;
    Text PathOf(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// A path as the program holds it: code page 936 bytes on Windows, the system's bytes elsewhere.
Text TextFromPath(const std::filesystem::path& path);
// A file or folder named by a UTF-8 string.
std::filesystem::path PathFromUtf8(const std::string& utf8);

// Decodes code page 936 strictly into UTF-8; false when the bytes are not valid code page 936.
bool DecodeCodePage936(TextView bytes, std::string* utf8);

// A verdict by a short name for test messages: "32", "64", "unknown", or "not a verdict".
std::string Name(TextView verdict);

// Where a host path (/usr/...) is seen by the program under test: the same natively, Z:/usr/... on
// Windows under Wine.
std::string HostPath(const std::string& path);

}  // namespace pebitness::test
