// The word-size classifier: judges a file a 32-bit or a 64-bit Windows executable from its head.
//
// Only the first ProbeSize bytes are read, in one request. The verdict rests on the first "PE" pair
// found there: the byte before it must be 00, the two after it 00 00, and the next one (the low byte
// of the COFF Machine field) 4C for x86 or 64 for x64. Nothing else in the file is looked at.
#pragma once

#include <cstddef>

#include "platform/text.h"

namespace pebitness {

inline constexpr std::size_t ProbeSize = 1000;

inline constexpr unsigned char PeMarkerBytes[] = {0x50, 0x45};  // "PE"
inline constexpr unsigned char Signature32Bytes[] = {0x00, 0x50, 0x45, 0x00, 0x00, 0x4C};
inline constexpr unsigned char Signature64Bytes[] = {0x00, 0x50, 0x45, 0x00, 0x00, 0x64};
inline constexpr ByteView PeMarker = PeMarkerBytes;
inline constexpr ByteView Signature32 = Signature32Bytes;
inline constexpr ByteView Signature64 = Signature64Bytes;

inline constexpr TextView Verdict32 = "32\xCE\xBB\xB3\xCC\xD0\xF2";                // "32位程序"
inline constexpr TextView Verdict64 = "64\xCE\xBB\xB3\xCC\xD0\xF2";                // "64位程序"
inline constexpr TextView VerdictUnknown = "\xCE\xB4\xD6\xAA\xB3\xCC\xD0\xF2";     // "未知程序"

// The verdict for a file's head as read (0 to ProbeSize bytes).
TextView ClassifyHead(ByteView head) noexcept;

// Reads the head of the file at path (code page 936) and returns one of the three verdict
// constants. An empty path, a file that cannot be opened or read, or an empty file gives
// VerdictUnknown; the file system is not touched for an empty path.
TextView ClassifyFileBitness(TextView path);

}  // namespace pebitness
