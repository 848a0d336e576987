// Splits a fuzzer's input into the pieces a target needs, so that every byte string maps to some
// call and nearby inputs map to nearby calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pebitness::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return offset_ == size_; }

    // One byte, 0 once the input is used up.
    std::uint8_t Byte() { return empty() ? 0 : data_[offset_++]; }

    std::int32_t Int32() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = (value << 8) | Byte();
        return static_cast<std::int32_t>(value);
    }

    // The bytes up to the next separator byte (0xFF is rare in the program's texts, so a cut there
    // keeps texts whole), or up to the end.
    std::string Piece() {
        std::string piece;
        while (!empty()) {
            const std::uint8_t byte = data_[offset_++];
            if (byte == 0xFF) break;
            piece.push_back(static_cast<char>(byte));
        }
        return piece;
    }

    // Everything not yet taken.
    std::string Rest() {
        std::string rest(reinterpret_cast<const char*>(data_) + offset_, size_ - offset_);
        offset_ = size_;
        return rest;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

// Stops the run with a message that names what differed; libFuzzer saves the input as a crash.
[[noreturn]] void Mismatch(const char* what, const std::string& expected, const std::string& got);

}  // namespace pebitness::fuzz
