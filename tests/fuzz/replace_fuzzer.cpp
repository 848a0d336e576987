// The replacement rule of the fatal-error report against a plain reading of it, character by
// character: while at least as many bytes remain as the pattern is long, either the pattern starts
// here (emit the replacement, skip the match) or one character is copied (a byte of 0x80 or above
// together with the byte after it); what is left at the end is copied as it stands.
//
// The first input byte chooses the pattern: even, the report's own position hint and label, with
// the rest of the input as the note; odd, a pattern and a replacement taken from the input, so that
// short patterns, patterns that begin with a lead byte and replacements that contain the pattern
// are reached too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/fatal_internal.h"
#include "platform/text.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using pebitness::TextView;

std::string Reference(const std::string& text, const std::string& pattern,
                      const std::string& replacement) {
    std::string out;
    std::size_t at = 0;
    while (text.size() - at >= pattern.size()) {
        if (text.compare(at, pattern.size(), pattern) == 0) {
            out += replacement;
            at += pattern.size();
        } else if (static_cast<unsigned char>(text[at]) >= 0x80 && at + 1 < text.size()) {
            out += text.substr(at, 2);
            at += 2;
        } else {
            out += text[at];
            at += 1;
        }
    }
    out += text.substr(at);
    return out;
}

TextView View(const std::string& s) { return TextView(s.data(), s.size()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pebitness::fuzz::FuzzInput input(data, size);
    std::string pattern(pebitness::FatalPositionHint.data(), pebitness::FatalPositionHint.size());
    std::string replacement = "ErrorPos :  ";
    if (input.Byte() % 2 == 1) {
        pattern = input.Piece();
        replacement = input.Piece();
        // The rule is stated for the hint, which is never empty.
        if (pattern.empty()) return 0;
    }
    const std::string text = input.Rest();
    const std::string expected = Reference(text, pattern, replacement);
    const pebitness::Text got =
        pebitness::ReplaceAllAtCharacterBoundaries(View(text), View(pattern), View(replacement));
    const std::string gotBytes(got.c_str(), got.size());
    if (gotBytes != expected) pebitness::fuzz::Mismatch("ReplaceAllAtCharacterBoundaries", expected, gotBytes);
    if (got.c_str()[got.size()] != '\0')
        pebitness::fuzz::Mismatch("result not zero-terminated", expected, gotBytes);
    return 0;
}
