#include "ado/com/command_text.h"

#include "ado/com/ado_enums.h"
#include "ado/com/failure.h"

namespace ado_com {
namespace {

// Where CommandTypeEnum's bits lie in an options argument.
constexpr long kTypeBits = adCmdText | adCmdTable | adCmdStoredProc | adCmdUnknown | adCmdFile | adCmdTableDirect;

const char16_t kNotCapable[] = u"Object or provider is not capable of performing requested operation: ";

}  // namespace

bool KnownCommandType(long type) {
    switch (type) {
    case adCmdUnspecified:
    case adCmdText:
    case adCmdTable:
    case adCmdStoredProc:
    case adCmdUnknown:
    case adCmdFile:
    case adCmdTableDirect: return true;
    default: return false;
    }
}

HRESULT PlanCommand(const std::u16string& text, long commandType, long options, CommandPlan* out,
                    std::u16string* why) {
    if (options == -1) options = 0;
    if (options & ~(kTypeBits | kAsyncBits | adExecuteNoRecords | adExecuteStream | adExecuteRecord)) {
        *why = AdoErrorText(kInvalidArgument);
        return kInvalidArgument;
    }
    if (options & (adExecuteStream | adExecuteRecord)) {
        *why = std::u16string(kNotCapable) + u"results as a Stream or a Record (adExecuteStream, adExecuteRecord).";
        return kNotAvailable;
    }
    long type = (options & kTypeBits) ? (options & kTypeBits) : commandType;
    switch (type) {
    case adCmdUnspecified:
    case adCmdText:
    case adCmdUnknown: out->sql = text; break;
    case adCmdTable:
    case adCmdTableDirect:
        if (text.find(u']') != std::u16string::npos) {
            *why = u"Syntax error: ] in the table name.";
            return kCommandFailed;
        }
        out->sql = u"SELECT * FROM [" + text + u"]";
        break;
    case adCmdStoredProc:
        *why = std::u16string(kNotCapable) + u"saved queries (adCmdStoredProc) are not read from the file; send "
                                             u"the statement itself.";
        return kNotAvailable;
    case adCmdFile:
        *why = std::u16string(kNotCapable) + u"record sets persisted to a file (adCmdFile).";
        return kNotAvailable;
    default:
        *why = AdoErrorText(kInvalidArgument);
        return kInvalidArgument;
    }
    out->noRecords = (options & adExecuteNoRecords) != 0;
    return S_OK;
}

}  // namespace ado_com
