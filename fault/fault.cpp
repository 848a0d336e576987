#include "fault/fault.h"

#include "fault/support_address.h"
#include "platform/fatal.h"
#include "platform/message_box.h"

namespace pebitness {

void InstallFatalErrorReporter() noexcept { RegisterFatalErrorHandler(ReportFatalError); }

bool ReportFatalError(std::int32_t code, TextView note) {
    // The platform's note lives only during this call and is never written to: work on a copy.
    const Text copy(note);
    const Text rewritten =
        ReplaceAllAtCharacterBoundaries(copy, FatalPositionHint, ReportPositionLabel);
    Text head = JoinTexts({ReportCodeLabel, IntegerToText(code), ReportNoteLabel, rewritten});
    const Text message = JoinTexts({head, ReportSupportLabel, SupportAddress});
    head = Text();
    // No line break before the support label: the platform's note already ends with one.
    ShowMessageBox(message, MessageBoxStyleError, ReportTitle, nullptr);
    return true;
}

}  // namespace pebitness
