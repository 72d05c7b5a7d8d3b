#pragma once
// ADO's enumerations as the component takes and gives them, named once with
// ADO's own names (their values are ADO's documented ones). DataTypeEnum's
// values that the engine reports are ado::DataType (ado/data_type.h); the ones
// here are those only parameters name.
namespace ado_com {

enum CursorTypeEnum : long {
    adOpenUnspecified = -1,
    adOpenForwardOnly = 0,
    adOpenKeyset = 1,
    adOpenDynamic = 2,
    adOpenStatic = 3,
};

enum LockTypeEnum : long {
    adLockUnspecified = -1,
    adLockReadOnly = 1,
    adLockPessimistic = 2,
    adLockOptimistic = 3,
    adLockBatchOptimistic = 4,
};

enum CursorLocationEnum : long {
    adUseServer = 2,
    adUseClient = 3,
};

enum ObjectStateEnum : long {
    adStateClosed = 0,
    adStateOpen = 1,
};

enum CommandTypeEnum : long {
    adCmdUnspecified = -1,
    adCmdText = 1,
    adCmdTable = 2,
    adCmdStoredProc = 4,
    adCmdUnknown = 8,
    adCmdFile = 0x100,
    adCmdTableDirect = 0x200,
};

enum ExecuteOptionEnum : long {
    adOptionUnspecified = -1,
    adAsyncExecute = 0x10,
    adAsyncFetch = 0x20,
    adAsyncFetchNonBlocking = 0x40,
    adExecuteNoRecords = 0x80,
    adExecuteStream = 0x400,
    adExecuteRecord = 0x800,
};
// The asynchronous bits: the component's rows are all there when a call returns.
constexpr long kAsyncBits = adAsyncExecute | adAsyncFetch | adAsyncFetchNonBlocking;

enum ParameterDirectionEnum : long {
    adParamUnknown = 0,
    adParamInput = 1,
    adParamOutput = 2,
    adParamInputOutput = 3,
    adParamReturnValue = 4,
};

enum SearchDirectionEnum : long {
    adSearchBackward = -1,
    adSearchForward = 1,
};

enum CursorOptionEnum : long {
    adHoldRecords = 0x100,
    adMovePrevious = 0x200,
    adBookmark = 0x2000,
    adApproxPosition = 0x4000,
    adResync = 0x20000,
    adFind = 0x80000,
};

enum FilterGroupEnum : long {
    adFilterNone = 0,
    adFilterPending = 1,
    adFilterAffected = 2,
    adFilterFetched = 3,
    adFilterConflicting = 5,
};

enum BookmarkEnum : long {
    adBookmarkCurrent = 0,
    adBookmarkFirst = 1,
    adBookmarkLast = 2,
};

enum StringFormatEnum : long {
    adClipString = 2,
};

enum DecimalTypeEnum : long {
    adDecimal = 14,
    adNumeric = 131,
    adVarNumeric = 139,
};

}  // namespace ado_com
