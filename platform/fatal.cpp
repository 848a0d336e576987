#include "platform/fatal.h"

#include <charconv>
#include <cstring>

#include "platform/fatal_internal.h"

namespace pebitness {
namespace {

// The platform's model: one handler slot and the raised mark. The raised mark is also what keeps a
// failure inside the handler from calling the handler again: it is set before the handler is
// called and never cleared, so every later failure (inside the handler, while the first note is
// being built, on the way out) finds it set and goes to the platform's own box instead.
FatalErrorHandler handlerSlot = nullptr;
FatalSubjectLookup subjectLookup = nullptr;
PlatformErrorBoxFunction platformErrorBox = ShowSystemPlatformErrorBox;
bool raised = false;
// Set while the platform's own box is up, so that a failure under it does not stack another box.
bool platformBoxUp = false;
// Set while the window toolkit answers for a note's subject: a failure inside that answer must not
// ask it again, or each new note would fail the same way without end.
bool lookingUpSubject = false;

// Notes are built into static storage: the usual reason for being here is that memory ran out.
char firstNote[FatalNoteCapacity];
char secondNote[FatalNoteCapacity];

// "标记" / "窗口" / "组件" / "未找到"
constexpr TextView TagLabel = "\xB1\xEA\xBC\xC7";
constexpr TextView WindowWord = "\xB4\xB0\xBF\xDA";
constexpr TextView ComponentWord = "\xD7\xE9\xBC\xFE";
constexpr TextView NotFound = "\xCE\xB4\xD5\xD2\xB5\xBD";

class NoteWriter {
public:
    NoteWriter(char* into, std::size_t capacity) : into_(into), capacity_(capacity) {}

    void Append(TextView text) {
        if (cut_) return;
        // Characters are counted over the note as a whole: a part that ends in a lead byte (an error
        // text or a tag that is cut short) takes the next part's first byte as its trail.
        std::size_t count = text.size();
        std::size_t i = openLead_ ? 1 : 0;
        if (count > capacity_ - length_) {
            // Cut before a lead byte whose trail byte would be lost, and take nothing after the
            // cut: a stray piece of a later part (half a line break) would only mislead.
            count = capacity_ - length_;
            while (i < count) i += text[i] >= 0x80 ? 2u : 1u;
            if (i > count) {
                if (i >= 2) {
                    count = i - 2;
                } else {
                    --length_;  // the open lead byte of the part before loses its trail
                    count = 0;
                }
            }
            cut_ = true;
        } else {
            while (i < count) i += text[i] >= 0x80 ? 2u : 1u;
            openLead_ = i > count;
        }
        // A caller with nothing to write into may pass no buffer at all (capacity 0), and memcpy
        // must not be given a null pointer even for no bytes.
        if (count == 0) return;
        std::memcpy(into_ + length_, text.data(), count);
        length_ += count;
    }

    // Signed decimal as "%d" writes it; std::to_chars needs neither memory nor the locale.
    void AppendInteger(std::int32_t value) {
        char digits[11];  // "-2147483648"
        const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        Append(TextView(digits, static_cast<std::size_t>(end - digits)));
    }

    std::size_t length() const { return length_; }

private:
    char* into_;
    std::size_t capacity_;
    std::size_t length_ = 0;
    bool cut_ = false;
    // The last byte written is a lead byte whose trail is the next part's first byte.
    bool openLead_ = false;
};

}  // namespace

std::size_t BuildFatalNote(TextView errorText, std::int32_t windowId, std::int32_t componentId,
                           char* into, std::size_t capacity) noexcept {
    NoteWriter note(into, capacity);
    note.Append(errorText);
    note.Append("\r\n");
    note.Append(FatalPositionHint);
    note.Append(" ");
    note.AppendInteger(windowId);
    note.Append(", ");
    note.AppendInteger(componentId);
    if (windowId != 0 && subjectLookup != nullptr && !lookingUpSubject) {
        lookingUpSubject = true;
        const FatalSubject subject = subjectLookup(windowId, componentId);
        lookingUpSubject = false;
        // "窗口标记: tag" or "窗口未找到", then the same for the component.
        auto detail = [&note](TextView word, bool found, TextView tag) {
            note.Append("\r\n");
            note.Append(word);
            if (found) {
                note.Append(TagLabel);
                note.Append(": ");
                note.Append(tag);
            } else {
                note.Append(NotFound);
            }
        };
        detail(WindowWord, subject.windowFound, subject.windowTag);
        detail(ComponentWord, subject.componentFound, subject.componentTag);
    }
    note.Append("\r\n");
    return note.length();
}

void RegisterFatalErrorHandler(FatalErrorHandler handler) noexcept { handlerSlot = handler; }

void SetFatalSubjectLookup(FatalSubjectLookup lookup) noexcept { subjectLookup = lookup; }

bool FatalErrorRaised() noexcept { return raised; }

PlatformErrorBoxFunction ReplacePlatformErrorBox(PlatformErrorBoxFunction box) noexcept {
    PlatformErrorBoxFunction previous = platformErrorBox;
    platformErrorBox = box;
    return previous;
}

void ResetFatalErrorStateForTesting() noexcept {
    handlerSlot = nullptr;
    subjectLookup = nullptr;
    raised = false;
    platformBoxUp = false;
    lookingUpSubject = false;
}

namespace {

void ShowPlatformErrorBox(TextView note) noexcept {
    platformBoxUp = true;
    platformErrorBox(note);
    platformBoxUp = false;
}

}  // namespace

void DeliverFatalError(TextView errorText, std::int32_t windowId,
                       std::int32_t componentId) noexcept {
    if (raised) {
        // A later failure: inside the handler, while the first note was being built, or on the way
        // out. The handler is never called twice; the platform says it in its own box, once, unless
        // that box is already up. Staying silent here would end the process with nothing shown.
        if (platformBoxUp) return;
        const std::size_t length =
            BuildFatalNote(errorText, windowId, componentId, secondNote, FatalNoteCapacity);
        ShowPlatformErrorBox(TextView(secondNote, length));
        return;
    }
    raised = true;
    const std::size_t length =
        BuildFatalNote(errorText, windowId, componentId, firstNote, FatalNoteCapacity);
    const TextView note(firstNote, length);
    bool reported = false;
    if (handlerSlot != nullptr) reported = handlerSlot(0, note);
    if (!reported) ShowPlatformErrorBox(note);
}

void RaiseFatalError(TextView errorText, std::int32_t windowId,
                     std::int32_t componentId) noexcept {
    DeliverFatalError(errorText, windowId, componentId);
    EndProcessAfterFatalError();
}

}  // namespace pebitness
