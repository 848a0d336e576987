#include "fault/fault.h"

#include "fault/support_address.h"
#include "platform/fatal.h"
#include "platform/message_box.h"

namespace pebitness {

void InstallFatalErrorReporter() noexcept { RegisterFatalErrorHandler(ReportFatalError); }

bool ReportFatalError(std::int32_t code, TextView note) {
    // Each step makes one text with one memory request, in this order: the copy of the note (its
    // length plus one), the rewritten note, the code text, the head, the message. Those sizes are
    // what a failure inside the report names in the platform's box, and what the tests refuse by,
    // so the copy stays although the note is only read: taking it is one of the observable
    // requests.
    const Text copy(note);
    const Text rewritten =
        ReplaceAllAtCharacterBoundaries(copy, FatalPositionHint, ReportPositionLabel);
    Text head = JoinTexts({ReportCodeLabel, IntegerToText(code), ReportNoteLabel, rewritten});
    const Text message = JoinTexts({head, ReportSupportLabel, SupportAddress});
    // The code text went with the join that used it; the head goes as soon as it is joined too.
    head = Text();
    // No line break before the support label: the platform's note already ends with one.
    ShowMessageBox(message, MessageBoxStyleError, ReportTitle, nullptr);
    return true;
}

}  // namespace pebitness
