// A JScript client of the three-table file (header, constant, kind): a
// command with parameters, the record set's view with bookmarks kept in
// JScript numbers, GetString, clones, schema rowsets, Properties and field
// metadata, and ADO's numbers for what is refused.
// Argument: the database file. Ends with the number of failed checks.
var db = WScript.Arguments(0);
var failures = 0;

var adOpenStatic = 3, adOpenKeyset = 1, adLockReadOnly = 1, adCmdText = 1, adParamInput = 1;
var adInteger = 3, adVarWChar = 202, adDate = 7, adSchemaTables = 20, adSchemaIndexes = 12;
var adBookmark = 0x2000, adMovePrevious = 0x200, adFind = 0x80000, adUpdate = 0x1008000;
var adSearchBackward = -1, adBookmarkFirst = 1, adBookmarkLast = 2, adClipString = 2, adCompareGreaterThan = 2;

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
function ado(number) { return (0x800A0000 | number) >>> 0; }

// The values of one field from the current row to EOF, joined by ",".
function walk(rs, field) {
    var out = [];
    for (; !rs.EOF; rs.MoveNext()) out.push(rs.Fields(field).Value === null ? "Null" : String(rs.Fields(field).Value));
    return out.join(",");
}

var cn = new ActiveXObject("ADODB.Connection");
cn.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + db);

// --- a command with parameters
var cmd = new ActiveXObject("ADODB.Command");
cmd.ActiveConnection = cn;
cmd.CommandText = "SELECT h.file, COUNT(*) AS n FROM header AS h INNER JOIN constant AS c ON c.header = h.id " +
                  "WHERE c.value >= ? GROUP BY h.file ORDER BY h.file";
cmd.CommandType = adCmdText;
cmd.Parameters.Append(cmd.CreateParameter("low", adInteger, adParamInput, 4, 0));
var rs = cmd.Execute();
check(walk(rs, "file") == "commctrl.h,winbase.h,WinError.h,winuser.h", "a join grouped, with a parameter");
cmd.Parameters("low").Value = 10;
rs = cmd.Execute();
check(walk(rs, "n") == "1,1", "a new value, the same command");
var seen = [];
for (var en = new Enumerator(cmd.Parameters); !en.atEnd(); en.moveNext()) seen.push(en.item().Name);
check(seen.join(",") == "low", "Enumerator over Parameters");
var dated = new ActiveXObject("ADODB.Command");
dated.ActiveConnection = cn;
dated.CommandText = "SELECT file FROM header WHERE added BETWEEN ? AND ? ORDER BY added";
check(dated.Parameters.Count == 2, "the collection describes the statement when first read");
check(dated.Parameters(0).Type == adDate, "a date parameter");
dated.Parameters(0).Value = "1999-12-31";
dated.Parameters(1).Value = "2001-01-02";
check(walk(dated.Execute(), "file") == "ole2.h,winuser.h", "dates given as text");
check(errorOf(function () { cmd.Parameters.Append(cmd.CreateParameter("t", adVarWChar)); }) == ado(3708), "a text parameter needs a size");
check(errorOf(function () { cmd.Parameters.Delete("nosuch"); }) == ado(3265), "Delete of a parameter that is not there");
var lone = new ActiveXObject("ADODB.Command");
lone.CommandText = "SELECT * FROM kind";
check(errorOf(function () { lone.Execute(); }) == ado(3709), "Execute without a connection");
check(errorOf(function () { cn.Execute("UPDATE kind SET meaning = 'x'"); }) == 0x80004005, "a write is refused");

// --- the view, with bookmarks kept as JScript numbers
rs = new ActiveXObject("ADODB.Recordset");
rs.CursorLocation = 3;  // adUseClient: static, whatever type is asked
rs.Open("SELECT name, value, kind FROM constant", cn, 0, adLockReadOnly);
check(rs.CursorType == adOpenStatic && rs.RecordCount == 10, "a client cursor is static");
check(rs.Supports(adBookmark | adMovePrevious | adFind) && !rs.Supports(adUpdate), "Supports");
rs.Sort = "name";
check(rs.Fields("name").Value == "E_FAIL", "Sort");
rs.Find("kind = 'wait'");
var mark = rs.Bookmark;
check(rs.Fields("name").Value == "INFINITE" && rs.AbsolutePosition == 2, "Find on the sorted view");
rs.Find("kind = 'wait'", 0, adSearchBackward, adBookmarkLast);
check(rs.Fields("name").Value == "WAIT_OBJECT_0" && rs.AbsolutePosition == 6, "Find backward from the last row");
rs.Find("kind = 'wait'", 0, adSearchBackward, adBookmarkFirst);
check(rs.BOF && rs.AbsolutePosition == -2, "Find backward from the first row, which does not match, ends on BOF");
rs.MoveLast();
rs.Bookmark = mark;
check(rs.Fields("name").Value == "INFINITE", "a bookmark kept in a JScript number");
rs.Find("value > 100", 0, 1, mark);
check(rs.Fields("name").Value == "LVM_FIRST", "Find from a bookmark");
check(rs.CompareBookmarks(rs.Bookmark, mark) == adCompareGreaterThan, "CompareBookmarks");
rs.Filter = "value <= 0";
check(rs.RecordCount == 5 && rs.Filter == "value <= 0", "Filter under a sort");
rs.PageSize = 2;
check(rs.PageCount == 3, "PageCount of the filtered view");
rs.AbsolutePage = 3;
check(rs.Fields("name").Value == "WM_NULL", "AbsolutePage");
var copy = rs.Clone();
check(copy.RecordCount == 10 && copy.Fields("name").Value == "E_FAIL", "a clone: the sort, not the filter");
copy.Close();
rs.MoveFirst();
check(rs.GetString(adClipString, 2, "|", "\n", "-") == "E_FAIL|-2147467259|hresult\nINFINITE|-1|wait\n", "GetString");
check(rs.AbsolutePosition == 3, "GetString moves past the rows it took");
rs.Requery();
check(rs.RecordCount == 5 && rs.AbsolutePosition == 1, "Requery keeps the filter, moves to the first row");
rs.Filter = 0;
check(rs.RecordCount == 10, "adFilterNone");
check(errorOf(function () { rs.Filter = "nosuch = 1"; }) == ado(3265), "Filter on an unknown field");
check(errorOf(function () { rs.Bookmark = 12345; }) == ado(3001), "a bookmark of no row");
check(errorOf(function () { rs.Delete(); }) == ado(3251), "Delete");
check(errorOf(function () { rs.Fields("name").Value = "x"; }) == ado(3251), "a value put");
rs.Close();

var forward = cn.Execute("SELECT name FROM constant");
check(!forward.Supports(adBookmark) && forward.Supports(adFind), "a forward-only cursor");
check(errorOf(function () { return forward.Bookmark; }) == ado(3251), "no bookmarks on it");
check(errorOf(function () { forward.Find("name = 'S_OK'", 0, adSearchBackward); }) == 0x80040E24, "nor a backward Find");
forward.Find("name = 'S_OK'");
check(forward.Fields(0).Value == "S_OK", "Find forward on it");

// --- fields, schema rowsets, properties
rs = cn.Execute("SELECT price, shipped, note, added FROM header WHERE id = 2");
check(rs.Fields("price").Type == 6 && rs.Fields("price").Precision == 19, "a currency field");
check(rs.Fields("added").Type == adDate && rs.Fields("added").OriginalValue - rs.Fields("added").Value == 0, "OriginalValue");
check((rs.Fields("note").Attributes & 0x80) != 0 && rs.Fields("note").Value === null, "a memo is long, here Null");
check((rs.Fields("shipped").Attributes & 0x20) == 0 && rs.Fields("shipped").Value === false, "Yes/No");

rs = cn.OpenSchema(adSchemaTables);
rs.Filter = "TABLE_TYPE = 'TABLE'";
check(walk(rs, "TABLE_NAME") == "constant,header,kind", "adSchemaTables, filtered");
rs = cn.OpenSchema(adSchemaIndexes);
rs.Filter = "PRIMARY_KEY = True AND INDEX_NAME = 'PrimaryKey'";
check(walk(rs, "TABLE_NAME") == "header,kind", "primary keys from adSchemaIndexes");
check(errorOf(function () { cn.OpenSchema(16); }) == ado(3251), "adSchemaProcedures");

var names = [];
for (var p = new Enumerator(cn.Properties); !p.atEnd(); p.moveNext()) names.push(p.item().Name);
check(names.join(",").indexOf("Data Source,Provider Name,DBMS Name,DBMS Version") == 0, "Properties: " + names.join(","));
check(cn.Properties("DBMS Name").Value == "MS Jet" && cn.Properties.Item("DBMS Version").Value == "04.00.0000", "DBMS");
check(cn.Properties("Read-Only Data Source").Value === true, "the data source is read-only");
check(errorOf(function () { cn.Properties("Data Source").Value = "x"; }) == ado(3745), "a property is not set");
cn.Close();

// Wine's cscript exits with 0 after a script error too: this line shows the end was reached.
WScript.Echo("reached the end: " + failures + " failed");
WScript.Quit(failures);
