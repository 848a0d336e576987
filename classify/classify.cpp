#include "classify/classify.h"

#include "platform/file.h"

namespace pebitness {

TextView ClassifyHead(ByteView head) noexcept {
    // The first marker wins; the window starts one byte before it, or at 0 when there is no marker
    // or nothing precedes it.
    std::size_t start = 0;
    for (std::size_t p = 0; p + PeMarker.size() <= head.size(); ++p) {
        if (head.Slice(p, PeMarker.size()) == PeMarker) {
            start = p == 0 ? 0 : p - 1;
            break;
        }
    }
    const ByteView window = head.Slice(start, Signature32.size());
    if (window == Signature32) return Verdict32;
    if (window == Signature64) return Verdict64;
    return VerdictUnknown;
}

TextView ClassifyFileBitness(TextView path) {
    if (path.empty()) return VerdictUnknown;
    ByteBuffer head(ProbeSize);
    {
        ReadOnlyFile file = ReadOnlyFile::OpenExisting(path);
        head.Truncate(file.ReadOnce(head.data(), ProbeSize));
    }  // closed before the search
    return ClassifyHead(head);
}

}  // namespace pebitness
