' Lookup idioms a script sends to ADO: connection properties set before Open,
' quoted paths, Jet's SQL, Err and Errors on failure, enumeration, lifetime.
' Argument: the database file. Ends with the number of failed checks.
Option Explicit
Dim db, failures
failures = 0
db = WScript.Arguments(0)

Sub Check(ok, what)
    If Not ok Then
        failures = failures + 1
        WScript.Echo "FAIL: " & what
    End If
End Sub

' Checks the error the last statement raised, then clears it. VBScript gives
' ADO's own errors (0x800A....) as their number alone, as it does with ADO.
Sub CheckErr(number, what)
    Check Err.Number = number, what & ": Err.Number " & Err.Number & " = &H" & Hex(Err.Number) & " (" & Err.Description & ")"
    Check Err.Number = 0 Or Len(Err.Description) > 0, what & ": Err.Description is empty"
    Err.Clear
End Sub

' --- properties set before Open, and a quoted Data Source
Dim cn
Set cn = CreateObject("ADODB.Connection")
Check TypeName(cn) = "Connection", "TypeName(cn) is " & TypeName(cn)
Check cn.Version = "2.8", "Version"
Check cn.State = 0, "State before Open"
Check cn.CursorLocation = 2, "CursorLocation defaults to adUseServer"
cn.CursorLocation = 3
Check cn.CursorLocation = 3, "CursorLocation kept"
cn.Mode = 1
Check cn.Mode = 1, "Mode kept"
cn.Provider = "Microsoft.Jet.OLEDB.4.0"
Check cn.Provider = "Microsoft.Jet.OLEDB.4.0", "Provider kept"
cn.ConnectionString = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=""" & db & """;Persist Security Info=False"
Check InStr(cn.ConnectionString, db) > 0, "ConnectionString kept"
cn.Open
Check cn.State = 1, "Open with no arguments opens ConnectionString"
On Error Resume Next
cn.ConnectionString = "Data Source=x"
CheckErr 3705, "ConnectionString put while open (3705)"
cn.Open
CheckErr 3705, "Open while open (3705)"
On Error GoTo 0
cn.Close
cn.Open "Data Source='" & db & "'"
Check cn.State = 1, "Data Source in single quotes"

' --- static cursor (adOpenStatic): an exact count, the Move family, 3021 past the ends
Dim rs, counted, walked
Set rs = CreateObject("ADODB.Recordset")
Check TypeName(rs) = "Recordset", "TypeName(rs) is " & TypeName(rs)
rs.Open "SELECT COUNT(*) AS n FROM api_const WHERE 宏或常量名 LIKE 'WM_CREATE*'", cn, 3, 1
counted = rs("n").Value
rs.Close
Check counted >= 1, "COUNT(*) of WM_CREATE* is " & counted
rs.Open "SELECT 宏或常量名, 常量值 FROM api_const WHERE 宏或常量名 LIKE 'WM_CREATE*'", cn, 3, 1
Check rs.State = 1, "static open"
Check rs.CursorType = 3, "static cursor kept, got " & rs.CursorType
Check rs.RecordCount = counted, "static RecordCount " & rs.RecordCount & " is COUNT(*) " & counted
walked = 0
Do Until rs.EOF
    walked = walked + 1
    rs.MoveNext
Loop
Check walked = counted, "rows walked " & walked & " are COUNT(*) " & counted
rs.MoveFirst
Check rs.Fields.Count = 2, "Fields.Count"
Check rs("宏或常量名") = "WM_CREATE" Or Left(rs("宏或常量名"), 9) = "WM_CREATE", "LIKE with * keeps its prefix"
Dim value
value = rs("常量值").Value
Check Len(value) > 0, "WM_CREATE has a value"
Check rs.Fields(1).Name = "常量值", "Fields(1).Name"
Check rs.Fields(1).Type = 202, "Fields(1).Type adVarWChar"
Check rs.Fields(1).DefinedSize = 255, "DefinedSize " & rs.Fields(1).DefinedSize
Check rs.Fields(1).ActualSize = 2 * Len(value), "ActualSize " & rs.Fields(1).ActualSize
rs.MoveLast
rs.MoveNext
Check rs.EOF, "EOF after the last row"
On Error Resume Next
rs.MoveNext
CheckErr 3021, "MoveNext past EOF (3021)"
value = rs("常量值").Value
CheckErr 3021, "reading a field at EOF (3021)"
rs.AddNew
CheckErr 3251, "AddNew refused (3251)"
On Error GoTo 0
rs.MoveFirst
rs.MovePrevious
Check rs.BOF, "BOF before the first row"
rs.Close
On Error Resume Next
value = rs.RecordCount
CheckErr 3704, "RecordCount on a closed set (3704)"
On Error GoTo 0

' --- forward-only, the default: no count, no way back
Set rs = CreateObject("ADODB.Recordset")
rs.Open "SELECT * FROM api_const WHERE 宏或常量名 = ""WM_CREATE""", cn
Check rs.CursorType = 0, "default cursor type is forward-only"
Check rs.RecordCount = -1, "forward-only RecordCount is -1, got " & rs.RecordCount
Check rs("常量值") = value, "double-quoted literal finds the row"
On Error Resume Next
rs.MovePrevious
CheckErr &H80040E24, "MovePrevious on forward-only"
On Error GoTo 0
rs.MoveNext
Check rs.EOF, "forward-only reaches EOF"
rs.Close

' --- Fields: For Each, and a Fields object held across Close and Open
Set rs = CreateObject("ADODB.Recordset")
rs.Open "SELECT TOP 3 * FROM api_const WHERE 宏或常量名 LIKE 'WM_%' ORDER BY 宏或常量名 DESC, 常量值 ASC", cn, 1, 3
Dim f, names, held
names = ""
For Each f In rs.Fields
    names = names & f.Name & ";"
Next
Check names = "宏或常量名;常量值;备注;", "For Each over Fields gave " & names
Check rs.RecordCount = 3, "TOP 3 gives 3 rows, got " & rs.RecordCount
Dim first, second
first = rs(0)
rs.MoveNext
second = rs(0)
Check StrComp(first, second, 1) >= 0, "ORDER BY DESC: " & first & " before " & second
Set held = rs.Fields
rs.Close
rs.Open "SELECT COUNT(*) AS n FROM api_const", cn, 3, 1
Check held.Count = 1, "held Fields shows the new opening: " & held.Count
Check held(0).Name = "n", "COUNT(*) AS n"
Check held("n").Value > 100000, "COUNT(*) counts the table: " & held("n").Value
rs.Close

' --- OR and parentheses
Set rs = cn.Execute("SELECT 宏或常量名 FROM api_const WHERE (宏或常量名 = 'WM_CREATE' OR 宏或常量名 = 'WM_DESTROY') AND 常量值 <> ''")
Dim found
found = 0
Do While Not rs.EOF
    found = found + 1
    rs.MoveNext
Loop
Check found >= 2, "OR gives both names, got " & found
rs.Close

' --- GetRows
Set rs = CreateObject("ADODB.Recordset")
rs.Open "SELECT 宏或常量名, 常量值 FROM api_const WHERE 宏或常量名 = 'WM_CREATE'", cn, 3, 1
Dim rows
rows = rs.GetRows()
Check UBound(rows, 1) = 1, "GetRows gives fields first"
Check rows(1, 0) = value, "GetRows value"
rs.Close

' --- errors: Err and the Errors collection
On Error Resume Next
Set rs = cn.Execute("SELECT * FROM no_such_table")
CheckErr &H80040E37, "unknown table"
Set rs = cn.Execute("SELECT no_such_column FROM api_const")
CheckErr &H80040E10, "unknown column"
Set rs = cn.Execute("SELEC * FROM api_const")
Check cn.Errors.Count = 1, "Errors.Count after a failure"
Check cn.Errors(0).Number = Err.Number, "Errors(0).Number matches Err.Number"
Check cn.Errors(0).Description = Err.Description, "Errors(0).Description matches Err.Description"
CheckErr &H80040E14, "syntax error"
Check Len(cn.Errors.Item(0).Source) > 0, "Errors.Item(0).Source"
Check cn.Errors.Item(0).Number = &H80040E14, "Errors.Item(0).Number"
Check Len(cn.Errors(0).SQLState) > 0, "Errors(0).SQLState"
Check cn.Errors(0).NativeError <> 0, "Errors(0).NativeError"
Dim e, count
count = 0
For Each e In cn.Errors
    count = count + 1
    Check InStr(e.Description, "Syntax") > 0, "For Each over Errors: " & e.Description
Next
Check count = 1, "For Each over Errors visits one error"
Set rs = CreateObject("ADODB.Recordset")
rs.Open "SELECT * FROM api_const", "Data Source=""C:\no such folder\API.mdb""", 3, 1
Check InStr(Err.Description, "Could not find file 'C:\no such folder\API.mdb'") = 1, "a missing file says so: " & Err.Description
Err.Clear
Set rs = cn.Execute("DELETE FROM api_const")
Check InStr(Err.Description, "read-only") > 0, "a write is refused as read-only: " & Err.Description
Err.Clear
On Error GoTo 0

' --- lifetime: a record set keeps its connection; a string opens one it owns
Function Lookup(name)
    Dim local
    Set local = CreateObject("ADODB.Connection")
    local.Open "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" & db
    Set Lookup = local.Execute("SELECT 常量值 FROM api_const WHERE 宏或常量名 = '" & name & "'")
End Function
Set rs = Lookup("WM_CREATE")
Check rs.State = 1, "record set from a function's local connection stays open"
Check rs(0) = value, "and reads"
Set rs = CreateObject("ADODB.Recordset")
rs.Open "SELECT 常量值 FROM api_const WHERE 宏或常量名 = 'WM_CREATE'", "Data Source=" & db, 3, 1
Check rs.State = 1, "Open with a connection string"
Check rs.RecordCount >= 1, "and counts"
Check rs.ActiveConnection.State = 1, "its own connection is open"
rs.Close
Set rs = CreateObject("ADODB.Recordset")
rs.Open "SELECT 常量值 FROM api_const WHERE 宏或常量名 = 'WM_CREATE'", cn, 3, 1
Dim rs2
Set rs2 = CreateObject("ADODB.Recordset")
Set rs2.ActiveConnection = cn
rs2.Source = "SELECT 常量值 FROM api_const WHERE 宏或常量名 = 'WM_CREATE'"
rs2.CursorType = 3
rs2.Open
Check rs2.State = 1 And rs2.RecordCount >= 1, "Open with ActiveConnection, Source and CursorType set before"
Check rs2.ActiveConnection.State = 1, "ActiveConnection reads back"
rs2.Close
Set rs2.ActiveConnection = Nothing
Set cn = Nothing
Check rs.State = 1, "Set cn = Nothing leaves the record set open"
Check rs(0) = value, "and readable"
rs.ActiveConnection.Close
Check rs.State = 0, "closing the connection closes its record sets"

' Wine's cscript exits with 0 after a script error too: this line shows the end was reached.
WScript.Echo "reached the end: " & failures & " failed"
WScript.Quit failures
