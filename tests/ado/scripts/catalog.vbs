' An ADO client on a file of three related tables: header (one row per header
' file, a column of every type), constant (names with their header and kind),
' kind. Jet's SQL beyond a lookup, Command and Parameters, the record set's
' view, field metadata, schema rowsets and Properties, each refusal's number.
' Argument: the database file. Ends with the number of failed checks.
Option Explicit
Dim db, failures
failures = 0
db = WScript.Arguments(0)

Const adOpenKeyset = 1, adOpenStatic = 3, adLockReadOnly = 1, adLockOptimistic = 3
Const adCmdText = 1, adCmdTable = 2, adParamInput = 1
Const adInteger = 3, adCurrency = 6, adVarWChar = 202, adLongVarWChar = 203
Const adSchemaColumns = 4, adSchemaIndexes = 12, adSchemaTables = 20
Const adHoldRecords = &H100, adMovePrevious = &H200, adBookmark = &H2000, adFind = &H80000
Const adAddNew = &H1000400, adUpdate = &H1008000, adDelete = &H1000800
Const adSearchForward = 1, adSearchBackward = -1, adBookmarkFirst = 1, adBookmarkLast = 2
Const adFilterNone = 0, adClipString = 2, adCompareLessThan = 0, adCompareEqual = 1
Const adFldIsNullable = &H20, adFldLong = &H80, adPosEOF = -3

Sub Check(ok, what)
    If Not ok Then
        failures = failures + 1
        WScript.Echo "FAIL: " & what
    End If
End Sub

' Checks the error the last statement raised, then clears it.
Sub CheckErr(number, what)
    Check Err.Number = number, what & ": Err.Number " & Err.Number & " = &H" & Hex(Err.Number) & " (" & Err.Description & ")"
    Check Err.Number = 0 Or Len(Err.Description) > 0, what & ": Err.Description is empty"
    Err.Clear
End Sub

' The values of one field from the current row to EOF, joined by ",".
Function Walk(rs, field)
    Dim out
    out = ""
    Do Until rs.EOF
        If out <> "" Then out = out & ","
        If IsNull(rs(field).Value) Then out = out & "Null" Else out = out & rs(field).Value
        rs.MoveNext
    Loop
    Walk = out
End Function

Dim cn, rs, cmd, p, text, bm, copy, n
Set cn = CreateObject("ADODB.Connection")
cn.Open "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" & db

' --- Jet's SQL: joins, grouping, ranges, lists, Null, dates, TOP with ties, DISTINCT
Set rs = cn.Execute("SELECT c.name, h.file FROM constant AS c INNER JOIN header AS h ON c.header = h.id " & _
                    "WHERE h.file = 'winbase.h' ORDER BY c.name")
Check Walk(rs, "name") = "INFINITE,WAIT_OBJECT_0", "inner join"
Set rs = cn.Execute("SELECT kind, COUNT(*) AS n, MIN(value) AS low, MAX(value) AS high FROM constant " & _
                    "WHERE kind IS NOT NULL GROUP BY kind ORDER BY kind")
Check Walk(rs, "kind") = "hresult,message,none,wait", "GROUP BY"
rs.Requery
rs.MoveNext
Check rs("n") = 5 And rs("low") = 0 And rs("high") = 4096, "COUNT, MIN, MAX of the messages: " & rs("n") & " " & rs("low") & " " & rs("high")
Set rs = cn.Execute("SELECT name FROM constant WHERE value BETWEEN 1 AND 20 AND kind IN ('message', 'none') ORDER BY value")
Check Walk(rs, "name") = "WM_CREATE,WM_DESTROY,ORPHAN,WM_PAINT", "BETWEEN and IN"
Set rs = cn.Execute("SELECT file FROM header WHERE added >= #1/2/2001# ORDER BY added")
Check Walk(rs, "file") = "winuser.h,winbase.h,WinError.h", "a #date# literal"
Set rs = CreateObject("ADODB.Recordset")
rs.Open "SELECT TOP 3 name FROM constant ORDER BY value", cn, adOpenStatic, adLockReadOnly
Check rs.RecordCount = 5, "TOP 3 keeps the rows tied with the third: " & rs.RecordCount
rs.Close
rs.Open "SELECT DISTINCT kind FROM constant ORDER BY kind", cn, adOpenStatic, adLockReadOnly
Check Walk(rs, "kind") = "Null,hresult,message,none,wait", "DISTINCT, Null sorting first"
rs.Close
On Error Resume Next
cn.Execute "DELETE FROM constant"
CheckErr &H80004005, "a write statement is refused"
cn.Execute "SELECT name FROM constant WHERE value = ?"
CheckErr &H80040E10, "a ? without a value"
On Error GoTo 0

' --- Command and Parameters
Set cmd = CreateObject("ADODB.Command")
Check TypeName(cmd) = "Command", "TypeName(cmd) is " & TypeName(cmd)
Set cmd.ActiveConnection = cn
cmd.CommandText = "SELECT name FROM constant WHERE header = ? AND value >= ? ORDER BY name"
cmd.CommandType = adCmdText
cmd.Parameters.Append cmd.CreateParameter("header", adInteger, adParamInput, , 1)
cmd.Parameters.Append cmd.CreateParameter("low", adInteger, adParamInput, , 2)
Check cmd.Parameters.Count = 2, "Parameters.Count"
Check TypeName(cmd.Parameters(0)) = "Parameter", "TypeName of a parameter"
Check Walk(cmd.Execute, "name") = "WM_DESTROY,WM_PAINT", "Execute with appended parameters"
cmd.Parameters("low") = 10
Check Walk(cmd.Execute, "name") = "WM_PAINT", "a parameter's value set through the default member"
cmd(0) = 2
cmd(1).Value = "-5"
Check Walk(cmd.Execute, "name") = "INFINITE,WAIT_OBJECT_0", "cmd(i), and text converted to the parameter's type"
Check Walk(cmd.Execute(n, Array(5, -1)), "name") = "S_OK", "Execute's array of values"
Check n = -1, "RecordsAffected of a SELECT: " & n
Check cmd.Parameters("header").Value = 2, "the array leaves the parameters as they were"
For Each p In cmd.Parameters
    Check p.Direction = adParamInput And p.Type = adInteger, "For Each over Parameters: " & p.Name
Next
cmd.Parameters.Delete "low"
Check cmd.Parameters.Count = 1, "Parameters.Delete"
cmd.CommandText = "SELECT name FROM constant WHERE header = ? ORDER BY name"
Set rs = CreateObject("ADODB.Recordset")
rs.Open cmd, , adOpenStatic, adLockReadOnly
Check rs.RecordCount = 2, "a record set opened on a command counts: " & rs.RecordCount
Check rs.ActiveCommand Is cmd, "ActiveCommand"
cmd(0) = 5
rs.Requery
Check Walk(rs, "name") = "E_FAIL,S_OK", "Requery reads the parameters again"
rs.Close

Dim described
Set described = CreateObject("ADODB.Command")
described.ActiveConnection = cn
described.CommandText = "SELECT file FROM header WHERE id = ? OR file LIKE ?"
described.Parameters.Refresh
Check described.Parameters.Count = 2, "Refresh finds both parameters"
Check described.Parameters(0).Type = adInteger, "Refresh types the first from its column"
Check described.Parameters(1).Type = adVarWChar, "and a LIKE pattern as text"
described(0) = 3
Set p = CreateObject("ADODB.Parameter")
Check TypeName(p) = "Parameter", "ADODB.Parameter is creatable"
p.Type = adVarWChar
p.Size = 40
p.Value = "ole*"
Set described = CreateObject("ADODB.Command")
Set described.ActiveConnection = cn
described.CommandText = "SELECT file FROM header WHERE file LIKE ?"
described.Parameters.Append p
Check Walk(described.Execute, "file") = "ole2.h", "a parameter made on its own"

On Error Resume Next
Set p = cmd.CreateParameter("untyped")
cmd.Parameters.Append p
CheckErr 3708, "a parameter without a type is refused"
cmd.Parameters.Append cmd.CreateParameter("text", adVarWChar, adParamInput)
CheckErr 3708, "a text parameter without a size is refused"
cmd.Parameters.Append cmd.Parameters(0)
CheckErr 3367, "a parameter appended twice"
cmd.Parameters.Delete "nosuch"
CheckErr 3265, "deleting a parameter that is not there"
cmd.CreateParameter "bad", 999
CheckErr 3001, "an unknown type"
Set described = CreateObject("ADODB.Command")
described.CommandText = "SELECT * FROM kind"
described.Execute
CheckErr 3709, "Execute without a connection"
Set described.ActiveConnection = cn
described.CommandText = "SELECT * FROM constant WHERE ? = ?"
described.Parameters.Refresh
CheckErr &H80040E51, "Refresh when the types cannot be told"
described.CommandText = "kind"
described.CommandType = 4
described.Execute
CheckErr 3251, "a saved query (adCmdStoredProc)"
described.CommandType = adCmdTable
Check Walk(described.Execute, "name") = "message,wait,hresult", "adCmdTable"
cmd(0) = "not a number"
cmd.Execute
CheckErr 3421, "a value that does not convert"
On Error GoTo 0

' --- the record set's view
Set rs = CreateObject("ADODB.Recordset")
rs.Open "SELECT name, value, kind FROM constant", cn, adOpenKeyset, adLockReadOnly
Check rs.Supports(adBookmark) And rs.Supports(adMovePrevious) And rs.Supports(adFind) And rs.Supports(adHoldRecords), "a keyset cursor supports bookmarks, moving back, Find"
Check Not rs.Supports(adAddNew) And Not rs.Supports(adUpdate) And Not rs.Supports(adDelete), "but no writes"
rs.Filter = "kind = 'message'"
Check rs.RecordCount = 5 And rs("name") = "WM_CREATE", "Filter: " & rs.RecordCount
rs.Sort = "value DESC"
Check rs("name") = "LVM_FIRST" And rs.Sort = "value DESC", "Sort on the filter"
rs.Filter = adFilterNone
Check rs.RecordCount = 10 And rs.Filter = 0, "adFilterNone"
rs.Sort = ""
rs.Find "name = 'WM_PAINT'"
Check rs("name") = "WM_PAINT" And rs.AbsolutePosition = 3, "Find forward"
bm = rs.Bookmark
rs.Find "kind = 'message'", 1, adSearchBackward
Check rs("name") = "WM_DESTROY", "Find backward, skipping the current row"
Check rs.CompareBookmarks(rs.Bookmark, bm) = adCompareLessThan, "CompareBookmarks"
rs.Find "value < 0", 0, adSearchForward, bm
Check rs("name") = "INFINITE", "Find from a bookmark"
rs.Find "kind = 'wait'", 0, adSearchBackward, adBookmarkLast
Check rs("name") = "WAIT_OBJECT_0", "Find backward from the last row"
rs.Find "name = 'nothing'"
Check rs.EOF And rs.AbsolutePosition = adPosEOF, "Find without a match rests on EOF"
rs.Bookmark = bm
Check rs("name") = "WM_PAINT", "Bookmark put back"
rs.AbsolutePosition = 6
Check rs("name") = "LVM_FIRST", "AbsolutePosition put"
rs.PageSize = 4
Check rs.PageCount = 3, "PageCount: " & rs.PageCount
rs.AbsolutePage = 3
Check rs.AbsolutePosition = 9 And rs.AbsolutePage = 3, "AbsolutePage"
Set copy = rs.Clone
Check copy.RecordCount = 10 And copy("name") = "WM_CREATE", "a clone starts on the first row"
copy.MoveLast
Check rs("name") = "ORPHAN", "and moves on its own"
copy.Bookmark = bm
Check copy("name") = "WM_PAINT", "bookmarks are shared with clones"
copy.Close
rs.Filter = "kind = 'wait'"
rs.Requery
Check rs.RecordCount = 2, "Requery keeps the filter"
text = rs.GetString
Check text = "INFINITE" & vbTab & "-1" & vbTab & "wait" & vbCr & "WAIT_OBJECT_0" & vbTab & "0" & vbTab & "wait" & vbCr, "GetString: " & text
rs.Filter = "kind = Null OR kind = 'hresult'"
text = rs.GetString(adClipString, 1, ", ", "; ", "(null)")
Check text = "S_OK, 0, (null); ", "GetString with delimiters: " & text
Check rs("name") = "E_FAIL", "GetString leaves the row after the last one taken"
On Error Resume Next
rs.Filter = "nosuch = 1"
CheckErr 3265, "Filter on an unknown field"
rs.Filter = "(kind = 'wait' OR kind = 'none') AND value = 0"
CheckErr 3001, "Filter with an OR group joined by AND"
rs.Find "kind = 'wait' AND value = 0"
CheckErr 3001, "Find with two criteria"
rs.Bookmark = 99999
CheckErr 3001, "a bookmark of no row"
rs.AbsolutePage = 9
CheckErr 3001, "a page that is not there"
rs.Delete
CheckErr 3251, "Delete"
rs.Seek Array(1)
CheckErr 3251, "Seek"
rs.NextRecordset
CheckErr 3251, "NextRecordset"
rs.Save "C:\rows.xml"
CheckErr 3251, "Save"
Set copy = rs.Clone(adLockOptimistic)
CheckErr 3001, "a clone that would write"
rs("name") = "x"
CheckErr 3251, "a value put through the default member"
On Error GoTo 0
rs.Close

Set rs = cn.Execute("SELECT name FROM constant")
Check Not rs.Supports(adBookmark) And Not rs.Supports(adMovePrevious) And rs.Supports(adFind), "a forward-only cursor finds, nothing more"
Check rs.AbsolutePosition = -1 And rs.PageCount = -1, "and has no position or pages"
On Error Resume Next
bm = rs.Bookmark
CheckErr 3251, "Bookmark on a forward-only cursor"
rs.Sort = "name"
CheckErr 3251, "Sort on a forward-only cursor"
rs.Find "name = 'WM_PAINT'", 0, adSearchBackward
CheckErr &H80040E24, "Find backward on a forward-only cursor"
On Error GoTo 0
rs.Find "name = 'WM_PAINT'"
Check rs("name") = "WM_PAINT", "Find forward on a forward-only cursor"

' --- fields
Set rs = cn.Execute("SELECT * FROM header WHERE id = 1")
Check rs("price").Type = adCurrency And rs("price").Precision = 19 And rs("price").NumericScale = 255, "a currency field"
Check rs("price").Value = 1.25 And TypeName(rs("price").Value) = "Currency", "its value"
Check rs("note").Type = adLongVarWChar And (rs("note").Attributes And adFldLong) <> 0, "a memo is long"
Check 0 = (rs("shipped").Attributes And adFldIsNullable), "Yes/No is never Null"
Check 0 <> (rs("file").Attributes And adFldIsNullable) And rs("file").DefinedSize = 50, "text(50) may be Null"
Check rs("file").OriginalValue = rs("file").Value, "OriginalValue is the value"
Check rs("id").Precision = 10, "a long integer's precision"

' --- schema rowsets
Set rs = cn.OpenSchema(adSchemaTables, Array(Empty, Empty, Empty, "TABLE"))
Check Walk(rs, "TABLE_NAME") = "constant,header,kind", "adSchemaTables restricted to user tables"
Set rs = cn.OpenSchema(adSchemaColumns, Array(Empty, Empty, "kind"))
Check Walk(rs, "COLUMN_NAME") = "meaning,name", "adSchemaColumns of one table"
Set rs = cn.OpenSchema(adSchemaIndexes, Array(Empty, Empty, Empty, Empty, "constant"))
Check Walk(rs, "INDEX_NAME") = "header,name", "adSchemaIndexes of one table"
Set rs = cn.OpenSchema(adSchemaTables)
rs.Filter = "TABLE_TYPE = 'TABLE'"
Check rs.RecordCount = 3, "a schema rowset is static and filters"
On Error Resume Next
Set rs = cn.OpenSchema(27)
CheckErr 3251, "adSchemaForeignKeys"
Set rs = cn.OpenSchema(adSchemaTables, Array(Empty, Empty, Empty, Empty, Empty))
CheckErr 3001, "too many restrictions"
On Error GoTo 0

' --- Properties
Check cn.Properties("DBMS Name") = "MS Jet", "DBMS Name: " & cn.Properties("DBMS Name")
Check cn.Properties("DBMS Version") = "04.00.0000", "DBMS Version"
Check cn.Properties("Provider Name") = "MSJETOLEDB40.DLL", "Provider Name"
Check InStr(cn.Properties("Data Source"), "catalog.mdb") > 0, "Data Source: " & cn.Properties("Data Source")
n = 0
For Each p In cn.Properties
    n = n + 1
    Check Len(p.Name) > 0 And p.Attributes = 512, "For Each over Properties: " & p.Name
Next
Check n = cn.Properties.Count And n >= 4, "Properties.Count " & n
Check TypeName(cn.Properties(0)) = "Property", "TypeName of a property"
On Error Resume Next
cn.Properties("DBMS Name") = "other"
CheckErr 3745, "a property of the open file is read-only"
n = cn.Properties("nosuch")
CheckErr 3265, "a property that is not there"
On Error GoTo 0
cn.Close

' Wine's cscript exits with 0 after a script error too: this line shows the end was reached.
WScript.Echo "reached the end: " & failures & " failed"
WScript.Quit failures
