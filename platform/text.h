// Texts and byte buffers: the program's one inside encoding is the byte string in code page 936.
//
// TextView is a borrowed view (constants, arguments); Text owns its bytes and is always
// zero-terminated. A default-constructed Text is the "missing" text and reads as empty, so callers
// never test for it. Every owned buffer comes from RequestMemory, so a request that cannot be met
// ends the program through the fatal-error path instead of returning.
//
// The size of each request is observable: a request that cannot be met names it in the fatal note
// ("分配 N 字节内存失败!"), and the test builds' memory source refuses a request by its size. So
// each routine below says what it requests, and changing that changes what the program shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace pebitness {

class TextView {
public:
    constexpr TextView() noexcept = default;
    constexpr TextView(const char* bytes, std::size_t size) noexcept : bytes_(bytes), size_(size) {}
    // A literal of bytes; the terminating zero is not part of the text.
    template <std::size_t N>
    constexpr TextView(const char (&literal)[N]) noexcept : bytes_(literal), size_(N - 1) {}

    constexpr const char* data() const noexcept { return size_ == 0 ? "" : bytes_; }
    constexpr std::size_t size() const noexcept { return size_; }
    constexpr bool empty() const noexcept { return size_ == 0; }
    constexpr unsigned char operator[](std::size_t i) const noexcept {
        return static_cast<unsigned char>(bytes_[i]);
    }

    friend constexpr bool operator==(TextView a, TextView b) noexcept {
        if (a.size_ != b.size_) return false;
        for (std::size_t i = 0; i < a.size_; ++i)
            if (a.bytes_[i] != b.bytes_[i]) return false;
        return true;
    }

private:
    const char* bytes_ = "";
    std::size_t size_ = 0;
};

class Text {
public:
    Text() noexcept = default;
    explicit Text(TextView bytes);
    // size bytes, all zero, plus the terminating zero: for filling in place. One request of size + 1
    // bytes, as every owned text makes; copies and Text(TextView) request their length plus one.
    static Text OfSize(std::size_t size);

    Text(const Text& other) : Text(TextView(other)) {}
    Text& operator=(const Text& other);
    Text(Text&& other) noexcept;
    Text& operator=(Text&& other) noexcept;
    ~Text();

    const char* c_str() const noexcept { return bytes_ ? bytes_ : ""; }
    char* data() noexcept { return bytes_; }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    operator TextView() const noexcept { return TextView(c_str(), size_); }

private:
    char* bytes_ = nullptr;
    std::size_t size_ = 0;
};

// Joins the parts in order into one new text. Exactly one buffer of the summed length plus one is
// requested, also when every part is empty; the result is never missing.
Text JoinTexts(std::initializer_list<TextView> parts);

// Signed decimal, as "%d" writes it: one request of the digits, the sign and the terminating zero.
Text IntegerToText(std::int32_t value);

// Replaces every occurrence of pattern, scanning character by character in code page 936: a byte of
// 0x80 or above is a lead byte and is copied together with the byte after it, so a match is sought
// only at character boundaries. Matches never overlap and the replacement is never rescanned.
// Fewer bytes left than the pattern is long are copied as they stand. One request: the result's
// exact length plus one, also when nothing was replaced.
Text ReplaceAllAtCharacterBoundaries(TextView text, TextView pattern, TextView replacement);

// A read-only counted byte array; a buffer of 0 bytes is the same as a missing one.
class ByteView {
public:
    constexpr ByteView() noexcept = default;
    constexpr ByteView(const unsigned char* bytes, std::size_t size) noexcept
        : bytes_(bytes), size_(size) {}
    template <std::size_t N>
    constexpr ByteView(const unsigned char (&bytes)[N]) noexcept : bytes_(bytes), size_(N) {}

    constexpr const unsigned char* data() const noexcept { return bytes_; }
    constexpr std::size_t size() const noexcept { return size_; }
    constexpr unsigned char operator[](std::size_t i) const noexcept { return bytes_[i]; }
    // At most count bytes from offset on; fewer when the buffer ends first.
    constexpr ByteView Slice(std::size_t offset, std::size_t count) const noexcept {
        if (offset >= size_) return {};
        std::size_t left = size_ - offset;
        return ByteView(bytes_ + offset, count < left ? count : left);
    }

    friend constexpr bool operator==(ByteView a, ByteView b) noexcept {
        if (a.size_ != b.size_) return false;
        for (std::size_t i = 0; i < a.size_; ++i)
            if (a.bytes_[i] != b.bytes_[i]) return false;
        return true;
    }

private:
    const unsigned char* bytes_ = nullptr;
    std::size_t size_ = 0;
};

// An owned counted byte array with a fixed capacity and a length that may shrink after filling.
class ByteBuffer {
public:
    ByteBuffer() noexcept = default;
    explicit ByteBuffer(std::size_t capacity);
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ~ByteBuffer();

    unsigned char* data() noexcept { return bytes_; }
    std::size_t capacity() const noexcept { return capacity_; }
    std::size_t size() const noexcept { return size_; }
    // Keeps the first size bytes (at most the capacity).
    void Truncate(std::size_t size) noexcept { size_ = size < capacity_ ? size : capacity_; }
    operator ByteView() const noexcept { return ByteView(bytes_, size_); }

private:
    unsigned char* bytes_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

}  // namespace pebitness
