// The note builder of the fatal-error path, into a buffer of exactly the capacity it is given (so
// AddressSanitizer sees any byte written past it), against the note's layout: the error text,
// "\r\n", the position hint, " ", the two numbers in signed decimal with ", " between, the detail
// lines when the first number names a window and the toolkit answers, then "\r\n". A note that does
// not fit is that layout cut at the last character boundary within the capacity, reading the whole
// note from its first byte (a byte of 0x80 or above starts a two-byte character).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/fatal.h"
#include "platform/fatal_internal.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using pebitness::FatalSubject;
using pebitness::TextView;

std::string Bytes(TextView text) { return std::string(text.data(), text.size()); }
TextView View(const std::string& s) { return TextView(s.data(), s.size()); }

// What the window toolkit answers in this run: the lookup is a plain function pointer.
std::string windowTag;
std::string componentTag;
FatalSubject subject;

FatalSubject Lookup(std::int32_t, std::int32_t) { return subject; }

std::string Decimal(std::int32_t value) { return std::to_string(value); }

// "窗口" / "组件" / "标记" / "未找到"
const std::string WindowWord = "\xB4\xB0\xBF\xDA";
const std::string ComponentWord = "\xD7\xE9\xBC\xFE";
const std::string TagLabel = "\xB1\xEA\xBC\xC7";
const std::string NotFound = "\xCE\xB4\xD5\xD2\xB5\xBD";

std::string DetailLine(const std::string& word, bool found, const std::string& tag) {
    return "\r\n" + word + (found ? TagLabel + ": " + tag : NotFound);
}

std::string FullNote(const std::string& errorText, std::int32_t windowId, std::int32_t componentId,
                     bool toolkitAnswers) {
    std::string note = errorText + "\r\n" + Bytes(pebitness::FatalPositionHint) + " " +
                       Decimal(windowId) + ", " + Decimal(componentId);
    if (windowId != 0 && toolkitAnswers) {
        note += DetailLine(WindowWord, subject.windowFound, windowTag);
        note += DetailLine(ComponentWord, subject.componentFound, componentTag);
    }
    return note + "\r\n";
}

// The longest prefix of note that fits capacity and ends at a character boundary.
std::size_t CutAt(const std::string& note, std::size_t capacity) {
    if (note.size() <= capacity) return note.size();
    std::size_t boundary = 0;
    for (std::size_t at = 0; at < note.size();) {
        const std::size_t next = at + (static_cast<unsigned char>(note[at]) >= 0x80 ? 2 : 1);
        if (next > capacity) break;
        boundary = at = next;
    }
    return boundary;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pebitness::fuzz::FuzzInput input(data, size);
    const std::uint8_t flags = input.Byte();
    const bool toolkitAnswers = (flags & 1) != 0;
    const std::int32_t windowId = (flags & 8) != 0 ? input.Int32() : input.Byte();
    const std::int32_t componentId = (flags & 16) != 0 ? input.Int32() : input.Byte();
    const std::size_t capacitySeed = static_cast<std::size_t>(input.Byte()) << 8 | input.Byte();
    const std::string errorText = input.Piece();
    windowTag = input.Piece();
    componentTag = input.Rest();
    subject = FatalSubject{(flags & 2) != 0, View(windowTag), (flags & 4) != 0, View(componentTag)};
    pebitness::SetFatalSubjectLookup(toolkitAnswers ? Lookup : nullptr);

    const std::string full = FullNote(errorText, windowId, componentId, toolkitAnswers);
    // Capacities around the note's own length are where the cutting happens; the platform's own
    // capacity is reached from the seeds.
    const std::size_t capacity = (flags & 32) != 0 ? pebitness::FatalNoteCapacity
                                                   : capacitySeed % (full.size() + 3);
    // Exactly capacity bytes, and no buffer at all for a capacity of 0.
    std::unique_ptr<char[]> buffer(capacity == 0 ? nullptr : new char[capacity]);
    const std::size_t length =
        pebitness::BuildFatalNote(View(errorText), windowId, componentId, buffer.get(), capacity);
    if (length > capacity)
        pebitness::fuzz::Mismatch("note longer than its capacity", full, std::to_string(length));
    const std::string got(buffer.get() == nullptr ? "" : buffer.get(), length);
    const std::string expected = full.substr(0, CutAt(full, capacity));
    if (got != expected) pebitness::fuzz::Mismatch("BuildFatalNote", expected, got);
    return 0;
}
