#pragma once
// What a command's text means: its CommandTypeEnum bits say whether it is a
// statement or a table's name, its ExecuteOptionEnum bits whether rows come
// back. Connection.Execute, Recordset.Open and Command.Execute share this.
#include <windows.h>

#include <string>

namespace ado_com {

struct CommandPlan {
    std::u16string sql;      // the statement to run
    bool noRecords = false;  // adExecuteNoRecords: run it, hand back no rows
};

// commandType: the CommandTypeEnum the object was given (adCmdUnknown when
// none); options: the call's own, whose type bits (if any) take precedence.
// Asynchronous execution is asked for with adAsyncExecute/Fetch bits; the
// statement then simply finishes before the call returns. Fails with the
// HRESULT to raise and says why in *why: a table name holding ']' (syntax),
// saved queries and persisted files (adCmdStoredProc, adCmdFile: not
// available), stream or record results, bits no enumeration has.
HRESULT PlanCommand(const std::u16string& text, long commandType, long options, CommandPlan* out,
                    std::u16string* why);

// CommandTypeEnum values a CommandType property takes.
bool KnownCommandType(long type);

}  // namespace ado_com
