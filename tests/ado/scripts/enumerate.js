// JScript clients: Enumerator over Fields and Errors, try/catch with ADO's
// numbers, and a function that returns a record set from its own connection.
// Argument: the database file. Ends with the number of failed checks.
var db = WScript.Arguments(0);
var failures = 0;

function check(ok, what) {
    if (!ok) {
        failures++;
        WScript.Echo("FAIL: " + what);
    }
}

// The error number fn raises (as an unsigned 32-bit HRESULT), or 0.
function errorOf(fn) {
    try {
        fn();
    } catch (e) {
        check(e.description.length > 0, "error " + (e.number >>> 0).toString(16) + " has a description");
        return e.number >>> 0;
    }
    return 0;
}

function open() {
    var cn = new ActiveXObject("ADODB.Connection");
    cn.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + db);
    return cn;
}

function lookup(name) {
    return open().Execute("SELECT 宏或常量名, 常量值 FROM api_const WHERE 宏或常量名 = \"" + name + "\"");
}

var rs = lookup("WM_CREATE");
check(rs.State == 1, "record set outlives the function's connection");
var names = [];
for (var en = new Enumerator(rs.Fields); !en.atEnd(); en.moveNext()) names.push(en.item().Name);
check(names.join(",") == "宏或常量名,常量值", "Enumerator over Fields gave " + names.join(","));
check(rs.Fields.Item("常量值").Value.length > 0, "Fields.Item(name).Value");
check(rs.RecordCount == -1, "Execute gives a forward-only set");
check(errorOf(function () { rs.MovePrevious(); }) == 0x80040E24, "MovePrevious on forward-only");
rs.MoveNext();
check(errorOf(function () { rs.MoveNext(); }) == 0x800A0BCD, "MoveNext past EOF (3021)");
rs.Close();
check(errorOf(function () { rs.MoveFirst(); }) == 0x800A0E78, "MoveFirst on a closed set (3704)");

var cn = open();
check(errorOf(function () { cn.Execute("SELECT * FROM [nowhere]"); }) == 0x80040E37, "unknown table");
check(cn.Errors.Count == 1, "Errors.Count");
var seen = 0;
for (var e = new Enumerator(cn.Errors); !e.atEnd(); e.moveNext()) {
    seen++;
    check(e.item().Number == 0x80040E37 - 0x100000000, "Error.Number " + e.item().Number);
    check(e.item().Description.indexOf("nowhere") >= 0, "Error.Description " + e.item().Description);
}
check(seen == 1, "Enumerator over Errors");
check(errorOf(function () { cn.Execute("SELECT x FROM api_const"); }) == 0x80040E10, "unknown column");
check(errorOf(function () { cn.Execute("SELECT * FROM api_const WHERE"); }) == 0x80040E14, "syntax error");
check(errorOf(function () { cn.Execute("UPDATE api_const SET 常量值 = '1'"); }) != 0, "update refused");

var keyset = new ActiveXObject("ADODB.Recordset");
keyset.Open("SELECT 常量值 FROM api_const WHERE 宏或常量名 LIKE 'WM_C%' OR 宏或常量名 LIKE 'WM_D%' ORDER BY 宏或常量名", cn, 1, 1);
check(keyset.RecordCount > 2, "LIKE with % and OR: " + keyset.RecordCount);
keyset.MoveLast();
keyset.MovePrevious();
check(!keyset.BOF, "a keyset cursor moves back");
keyset.Close();
cn.Close();
check(errorOf(function () { keyset.Open("SELECT * FROM api_const", cn, 3, 1); }) == 0x800A0E7D, "open on a closed connection (3709)");

// Wine's cscript exits with 0 after a script error too: this line shows the end was reached.
WScript.Echo("reached the end: " + failures + " failed");
WScript.Quit(failures);
