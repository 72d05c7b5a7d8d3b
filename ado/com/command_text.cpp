#include "ado/com/command_text.h"

#include "ado/com/ado_errors.h"

namespace ado_com {
namespace {

enum : long {
    kCmdText = 1,
    kCmdTable = 2,
    kCmdStoredProc = 4,
    kCmdUnknown = 8,
    kCmdFile = 0x100,
    kCmdTableDirect = 0x200,
    kTypeBits = 0x30F,
    kAsyncBits = 0x10 | 0x20 | 0x40,  // adAsyncExecute, adAsyncFetch, adAsyncFetchNonBlocking
    kExecuteNoRecords = 0x80,
    kExecuteStream = 0x400,
    kExecuteRecord = 0x800,
};

const char16_t kNotCapable[] = u"Object or provider is not capable of performing requested operation: ";

}  // namespace

bool KnownCommandType(long type) {
    switch (type) {
    case -1:
    case kCmdText:
    case kCmdTable:
    case kCmdStoredProc:
    case kCmdUnknown:
    case kCmdFile:
    case kCmdTableDirect: return true;
    default: return false;
    }
}

HRESULT PlanCommand(const std::u16string& text, long commandType, long options, CommandPlan* out,
                    std::u16string* why) {
    if (options == -1) options = 0;
    if (options & ~(kTypeBits | kAsyncBits | kExecuteNoRecords | kExecuteStream | kExecuteRecord)) {
        *why = AdoErrorText(kInvalidArgument);
        return kInvalidArgument;
    }
    if (options & (kExecuteStream | kExecuteRecord)) {
        *why = std::u16string(kNotCapable) + u"results as a Stream or a Record (adExecuteStream, adExecuteRecord).";
        return kNotAvailable;
    }
    long type = (options & kTypeBits) ? (options & kTypeBits) : commandType;
    switch (type) {
    case -1:
    case kCmdText:
    case kCmdUnknown: out->sql = text; break;
    case kCmdTable:
    case kCmdTableDirect:
        if (text.find(u']') != std::u16string::npos) {
            *why = u"Syntax error: ] in the table name.";
            return kCommandFailed;
        }
        out->sql = u"SELECT * FROM [" + text + u"]";
        break;
    case kCmdStoredProc:
        *why = std::u16string(kNotCapable) + u"saved queries (adCmdStoredProc) are not read from the file; send "
                                             u"the statement itself.";
        return kNotAvailable;
    case kCmdFile:
        *why = std::u16string(kNotCapable) + u"record sets persisted to a file (adCmdFile).";
        return kNotAvailable;
    default:
        *why = AdoErrorText(kInvalidArgument);
        return kInvalidArgument;
    }
    out->noRecords = (options & kExecuteNoRecords) != 0;
    return S_OK;
}

}  // namespace ado_com
