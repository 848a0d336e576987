#include "platform/text.h"

#include <charconv>
#include <cstring>
#include <utility>

#include "platform/memory.h"

namespace pebitness {

Text Text::OfSize(std::size_t size) {
    Text text;
    text.bytes_ = static_cast<char*>(RequestMemory(size + 1));
    std::memset(text.bytes_, 0, size + 1);
    text.size_ = size;
    return text;
}

Text::Text(TextView bytes) : Text(OfSize(bytes.size())) {
    if (!bytes.empty()) std::memcpy(bytes_, bytes.data(), bytes.size());
}

Text& Text::operator=(const Text& other) {
    if (this != &other) *this = Text(TextView(other));
    return *this;
}

Text::Text(Text&& other) noexcept
    : bytes_(std::exchange(other.bytes_, nullptr)), size_(std::exchange(other.size_, 0)) {}

Text& Text::operator=(Text&& other) noexcept {
    if (this != &other) {
        ReleaseMemory(bytes_);
        bytes_ = std::exchange(other.bytes_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

Text::~Text() { ReleaseMemory(bytes_); }

Text JoinTexts(std::initializer_list<TextView> parts) {
    std::size_t total = 0;
    for (TextView part : parts) total += part.size();
    Text joined = Text::OfSize(total);
    char* out = joined.data();
    for (TextView part : parts) {
        if (part.empty()) continue;
        std::memcpy(out, part.data(), part.size());
        out += part.size();
    }
    return joined;
}

Text IntegerToText(std::int32_t value) {
    // std::to_chars writes base 10 as "%d" does, without memory or the locale. The digits are
    // formatted first so that the one request is of the text's exact length.
    char digits[11];  // "-2147483648"
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return Text(TextView(digits, static_cast<std::size_t>(end - digits)));
}

Text ReplaceAllAtCharacterBoundaries(TextView text, TextView pattern, TextView replacement) {
    if (pattern.empty()) return Text(text);
    // First pass counts, second pass writes: one request of the result's exact length, the size a
    // failure would name.
    auto scan = [&](char* out) {
        std::size_t written = 0;
        auto emit = [&](const char* bytes, std::size_t count) {
            if (out) std::memcpy(out + written, bytes, count);
            written += count;
        };
        std::size_t i = 0;
        while (text.size() - i >= pattern.size()) {
            if (std::memcmp(text.data() + i, pattern.data(), pattern.size()) == 0) {
                emit(replacement.data(), replacement.size());
                i += pattern.size();
                continue;
            }
            std::size_t step = (text[i] >= 0x80 && i + 1 < text.size()) ? 2 : 1;
            emit(text.data() + i, step);
            i += step;
        }
        emit(text.data() + i, text.size() - i);
        return written;
    };
    Text result = Text::OfSize(scan(nullptr));
    scan(result.data());
    return result;
}

ByteBuffer::ByteBuffer(std::size_t capacity)
    : bytes_(static_cast<unsigned char*>(RequestMemory(capacity))), capacity_(capacity),
      size_(capacity) {}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : bytes_(std::exchange(other.bytes_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        ReleaseMemory(bytes_);
        bytes_ = std::exchange(other.bytes_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

ByteBuffer::~ByteBuffer() { ReleaseMemory(bytes_); }

}  // namespace pebitness
