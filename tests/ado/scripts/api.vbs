' The functions and types of the shipped database as an ADO client asks for them:
' one join for a function's parameters in order, one for a structure's fields on
' an architecture. Argument: the database file. Ends with the number of failed checks.
Option Explicit
Dim db, failures, cn, rs, got
failures = 0
db = WScript.Arguments(0)

Sub Check(ok, what)
    If Not ok Then
        failures = failures + 1
        WScript.Echo "FAIL: " & what
    End If
End Sub

' The rows of a statement as text: values joined by "|", rows by ",".
Function Rows(sql)
    Dim r, out, i, line
    Set r = cn.Execute(sql)
    out = ""
    Do While Not r.EOF
        line = ""
        For i = 0 To r.Fields.Count - 1
            If i > 0 Then line = line & "|"
            line = line & r.Fields(i).Value
        Next
        If out <> "" Then out = out & ","
        out = out & line
        r.MoveNext
    Loop
    r.Close
    Rows = out
End Function

Set cn = CreateObject("ADODB.Connection")
cn.Open "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" & db

got = Rows("SELECT p.pos, p.symbol, p.type_text FROM api_function AS f INNER JOIN api_param AS p " & _
           "ON f.id = p.function_id WHERE f.symbol = 'MessageBoxA' ORDER BY p.pos")
Check got = "1|hWnd|HWND,2|lpText|PSTR,3|lpCaption|PSTR,4|uType|MESSAGEBOX_STYLE", "MessageBoxA's parameters: " & got

got = Rows("SELECT f.dll, f.returns, f.last_error FROM api_function AS f WHERE f.symbol = 'GetWindowRect'")
Check got = "USER32.dll|BOOL|SetLastError", "GetWindowRect: " & got

got = Rows("SELECT fl.symbol, fl.byte_offset, fl.bytes FROM api_type AS t INNER JOIN api_field AS fl " & _
           "ON t.fields_id = fl.type_id WHERE t.symbol = 'RECT' AND t.arch = 'x86_64' ORDER BY fl.pos")
Check got = "left|0|4,top|4|4,right|8|4,bottom|12|4", "RECT's fields on x86_64: " & got

got = Rows("SELECT t.arch, t.bytes, t.alignment FROM api_type AS t WHERE t.symbol = 'INPUT' ORDER BY t.arch")
Check got = "i686|28|4,x86_64|40|8", "INPUT on both architectures: " & got

got = Rows("SELECT m.slot, m.symbol FROM api_type AS t INNER JOIN api_function AS m ON m.owner = t.symbol " & _
           "WHERE t.symbol = 'IUnknown' ORDER BY m.slot")
Check got = "1|QueryInterface,2|AddRef,3|Release", "IUnknown's methods in vtable order: " & got

cn.Close
WScript.Echo "reached the end: " & failures & " failed"
WScript.Quit failures
