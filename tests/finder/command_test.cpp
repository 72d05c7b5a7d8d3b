// qalomir-find run in-process over the sample database: every question kind
// and every language against its exact output, and every bad input.
#include <gtest/gtest.h>

#include <cstdio>

#include "finder/command.h"
#include "jet/database_file.h"
#include "jet/writer.h"
#include "tests/finder/sample_db.h"

using namespace finder;

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

std::string WithoutMessages(std::string out) {
    for (std::size_t at; (at = out.find("    message: ")) != std::string::npos;)
        out.erase(at, out.find('\n', at) + 1 - at);
    return out;
}

class FinderCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        path_ = ::testing::TempDir() + "finder_sample.mdb";
        std::string error;
        ASSERT_TRUE(finder_test::WriteSampleDatabase(path_, &error)) << error;
    }
    static void TearDownTestSuite() { std::remove(path_.c_str()); }
    static Result Run(const std::vector<std::string>& args) {
        Result r;
        StringOutput out, err;
        r.status = RunFind(args, path_, out, err);
        r.out = out.text;
        r.err = err.text;
        return r;
    }
    // Standard output of a run that found something and said nothing on standard error.
    static std::string Found(const std::vector<std::string>& args) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, kFound) << r.err;
        EXPECT_EQ(r.err, "");
        return r.out;
    }
    // Found() without the system's message lines, which only Windows has and
    // which say what its language says (finder_windows_test checks them).
    static std::string Decoded(const std::vector<std::string>& args) { return WithoutMessages(Found(args)); }
    // The path as a JSON string holds it.
    static std::string JsonPath() {
        std::string escaped;
        for (char c : path_) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        return escaped;
    }
    // The one line of a run that failed.
    static std::string Failure(const std::vector<std::string>& args) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, kFailed);
        EXPECT_EQ(r.out, "");
        return r.err;
    }
    static std::string path_;
};

std::string FinderCommand::path_;

}  // namespace

TEST_F(FinderCommand, NamesAsTheWindowShowsThem) {
    EXPECT_EQ(Found({"E_FAIL"}), "E_FAIL  -2147467259  0x80004005  winerror.h\n");
    EXPECT_EQ(Found({"WS_OVERLAPPEDWINDOW"}), "WS_OVERLAPPEDWINDOW  13565952  0xCF0000  winuser.h\n");
    EXPECT_EQ(Found({"lvm_insertitem"}), "LVM_INSERTITEM  4103  0x1007  commctrl.h\n");
    EXPECT_EQ(Found({"LVM_INSERTITEMW"}), "LVM_INSERTITEMW  4173  0x104D  commctrl.h\n");
    EXPECT_EQ(Found({"CW_USEDEFAULT"}), "CW_USEDEFAULT  -2147483648  0x80000000  winuser.h\n");
    EXPECT_EQ(Found({"MINUS_ONE"}), "MINUS_ONE  -1  0xFFFFFFFF  sample.h\n");
    EXPECT_EQ(Found({"HWND_MESSAGE"}), "HWND_MESSAGE  4294967293  0xFFFFFFFD  winuser.h\n");
    // 64-bit values shown whole, with what the window's 32-bit boxes make of them.
    EXPECT_EQ(Found({"DB_INVALIDCOLUMN"}), "DB_INVALIDCOLUMN  -1  0xffffffffffffffff  oledb.h\n");
    EXPECT_EQ(Found({"ASC_REQ_MESSAGES"}),
              "ASC_REQ_MESSAGES  4294967296  0x0000000100000000  sspi.h  "
              "(64-bit; the window shows 0 and 0000000100000000)\n");
    EXPECT_EQ(Found({"ULLONG_MAX"}),
              "ULLONG_MAX  18446744073709551615  0xFFFFFFFFFFFFFFFF  limits.h  "
              "(64-bit; the window shows 18446744073709551615 and 0)\n");
}

TEST_F(FinderCommand, NamesMatchWithoutCaseTheExactOneFirst) {
    EXPECT_EQ(Found({"AUX_a"}), "AUX_a  2  0x2  mmsystem.h\nAUX_A  1  0x1  mmsystem.h\n");
    EXPECT_EQ(Found({"aux_A"}), "AUX_A  1  0x1  mmsystem.h\nAUX_a  2  0x2  mmsystem.h\n");
}

TEST_F(FinderCommand, EveryRowWithAllMarkedWhereSourcesDisagree) {
    EXPECT_EQ(Found({"DWMWA_LAST"}),
              "DWMWA_LAST  17  0x11  dwmapi.h  (other sources give other values: --all shows them)\n");
    EXPECT_EQ(Found({"--all", "DWMWA_LAST"}),
              "DWMWA_LAST  17  0x11  dwmapi.h\n"
              "DWMWA_LAST  38  0x26  Windows.Win32.Graphics.Dwm  (differs from the first row)\n");
    EXPECT_EQ(Found({"--all", "STATUS_ACCESS_VIOLATION"}),
              "STATUS_ACCESS_VIOLATION  -1073741819  0xC0000005  winnt.h\n"
              "STATUS_ACCESS_VIOLATION  -1073741819  0xC0000005  ntstatus.h\n");
}

TEST_F(FinderCommand, NameNotFound) {
    const Result r = Run({"NO_SUCH_NAME"});
    EXPECT_EQ(r.status, kNotFound);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "qalomir-find: no constant, function or type named 'NO_SUCH_NAME'\n");
    // A name without a value is no constant, as in the window.
    EXPECT_EQ(Run({"EMPTY_VALUE"}).status, kNotFound);
    // Several queries: found only when each finds something.
    EXPECT_EQ(Run({"E_FAIL", "NO_SUCH_NAME"}).status, kNotFound);
}

TEST_F(FinderCommand, PatternsSortedWithTheirTotal) {
    EXPECT_EQ(Found({"DWMWA_*"}),
              "DWMWA_CLOAK                  13  0xD   dwmapi.h\n"
              "DWMWA_LAST                   17  0x11  dwmapi.h  (other sources give other values: --all shows them)\n"
              "DWMWA_SYSTEMBACKDROP_TYPE    38  0x26  Windows.Win32.Graphics.Dwm\n"
              "DWMWA_USE_HOSTBACKDROPBRUSH  17  0x11  Windows.Win32.Graphics.Dwm\n"
              "4 names match 'DWMWA_*'\n");
    EXPECT_EQ(Found({"*backdrop*"}),
              "DWMWA_SYSTEMBACKDROP_TYPE    38  0x26  Windows.Win32.Graphics.Dwm\n"
              "DWMWA_USE_HOSTBACKDROPBRUSH  17  0x11  Windows.Win32.Graphics.Dwm\n"
              "2 names match '*backdrop*'\n");
    EXPECT_EQ(Found({"--limit", "1", "WS_*BOX"}),
              "WS_MAXIMIZEBOX  65536  0x00010000  winuser.h\n"
              "2 names match 'WS_*BOX'; the first 1 shown (--limit 0 shows all)\n");
    EXPECT_EQ(Found({"WS_?????"}), "WS_POPUP  -2147483648  0x80000000  winuser.h\n1 name matches 'WS_\?\?\?\?\?'\n");
    const Result none = Run({"NO_SUCH_*"});
    EXPECT_EQ(none.status, kNotFound);
    EXPECT_EQ(none.out, "no names match 'NO_SUCH_*'\n");
}

TEST_F(FinderCommand, ValuesWithEachReadingLabelled) {
    EXPECT_EQ(Decoded({"80070005"}),
              "'80070005' as decimal: 80070005 = 0x4C5C575\n"
              "  no names\n"
              "'80070005' as hexadecimal: -2147024891 = 0x80070005 = 2147942405 unsigned\n"
              "  E_ACCESSDENIED  -2147024891  0x80070005  winerror.h\n"
              "  1 name\n"
              "  HRESULT: failure, facility 7 (FACILITY_WIN32), code 5 (0x0005)\n"
              "    Win32 error 5: ERROR_ACCESS_DENIED\n");
    // A negative value: -1 is 0xFFFFFFFF in 32 bits and has the 64 bits of 0xFFFFFFFFFFFFFFFF.
    EXPECT_EQ(Decoded({"-1"}),
              "'-1' as decimal: -1 = 0xFFFFFFFF = 4294967295 unsigned\n"
              "  DB_INVALIDCOLUMN  -1                    0xffffffffffffffff  oledb.h\n"
              "  MINUS_ONE         -1                    0xFFFFFFFF          sample.h\n"
              "  ULLONG_MAX        18446744073709551615  0xFFFFFFFFFFFFFFFF  limits.h  "
              "(64-bit; the window shows 18446744073709551615 and 0)\n"
              "  3 names\n");
    // 4294967295 is -1 in 32 bits only; with a C suffix it reads as decimal only.
    EXPECT_EQ(Decoded({"4294967295u"}),
              "'4294967295u' as decimal: 4294967295 = 0xFFFFFFFF = -1 as int32\n"
              "  MINUS_ONE  -1  0xFFFFFFFF  sample.h\n"
              "  1 name\n");
    EXPECT_EQ(Decoded({"4294967293"}),
              "'4294967293' as decimal: 4294967293 = 0xFFFFFFFD = -3 as int32\n"
              "  HWND_MESSAGE  4294967293  0xFFFFFFFD  winuser.h\n"
              "  1 name\n"
              "'4294967293' as hexadecimal: 285960729235 = 0x4294967293 (64-bit)\n"
              "  no names\n");
    EXPECT_EQ(Decoded({"0x100000000"}),
              "'0x100000000' as hexadecimal: 4294967296 = 0x100000000 (64-bit)\n"
              "  ASC_REQ_MESSAGES  4294967296  0x0000000100000000  sspi.h  "
              "(64-bit; the window shows 0 and 0000000100000000)\n"
              "  1 name\n");
    // C0000005 is no name, so it is read as the hexadecimal number it looks like.
    EXPECT_EQ(Decoded({"C0000005"}),
              "'C0000005' as hexadecimal: -1073741819 = 0xC0000005 = 3221225477 unsigned\n"
              "  EXCEPTION_ACCESS_VIOLATION  -1073741819  0xC0000005  minwinbase.h\n"
              "  STATUS_ACCESS_VIOLATION     -1073741819  0xC0000005  winnt.h\n"
              "  2 names\n"
              "  NTSTATUS: error (severity 3), facility 0 (no FACILITY_ name), code 5 (0x0005)\n");
}

TEST_F(FinderCommand, ValueListsCutNarrowedAndEveryRow) {
    EXPECT_EQ(Found({"--limit", "1", "17"}),
              "'17' as decimal: 17 = 0x11\n"
              "  DWMWA_LAST  17  0x11  dwmapi.h  (other sources give other values: --all shows them)\n"
              "  2 names; the first 1 shown (--prefix P narrows them, --limit 0 shows all)\n"
              "'17' as hexadecimal: 23 = 0x17\n"
              "  no names\n");
    EXPECT_EQ(Found({"--prefix", "*hostbackdrop*", "0x11"}),
              "'0x11' as hexadecimal: 17 = 0x11\n"
              "  DWMWA_USE_HOSTBACKDROPBRUSH  17  0x11  Windows.Win32.Graphics.Dwm\n"
              "  1 name\n");
    EXPECT_EQ(Found({"--prefix", "dwmwa_", "0x26"}),
              "'0x26' as hexadecimal: 38 = 0x26\n"
              "  DWMWA_SYSTEMBACKDROP_TYPE  38  0x26  Windows.Win32.Graphics.Dwm\n"
              "  1 name\n");
    // A later row's value is found with --all, marked.
    EXPECT_EQ(Found({"--all", "0x26"}),
              "'0x26' as hexadecimal: 38 = 0x26\n"
              "  DWMWA_LAST                 38  0x26  Windows.Win32.Graphics.Dwm  (differs from the first row)\n"
              "  DWMWA_SYSTEMBACKDROP_TYPE  38  0x26  Windows.Win32.Graphics.Dwm\n"
              "  2 names\n");
    const Result none = Run({"0x12345"});
    EXPECT_EQ(none.status, kNotFound);
    EXPECT_EQ(none.out, "'0x12345' as hexadecimal: 74565 = 0x12345\n  no names\n");
}

TEST_F(FinderCommand, ErrorCodes) {
    // An NTSTATUS made into an HRESULT: its fields, and the names of the NTSTATUS.
    EXPECT_EQ(Decoded({"0xD0000005"}),
              "'0xD0000005' as hexadecimal: -805306363 = 0xD0000005 = 3489660933 unsigned\n"
              "  no names\n"
              "  HRESULT from NTSTATUS 0xC0000005 (FACILITY_NT_BIT): failure, facility 0 (FACILITY_NULL), code 5 (0x0005)\n"
              "    NTSTATUS 0xC0000005: error (severity 3), facility 0 (no FACILITY_ name), code 5 (0x0005)\n"
              "    its names: EXCEPTION_ACCESS_VIOLATION, STATUS_ACCESS_VIOLATION (2 names)\n");
    // A warning NTSTATUS has the shape of a failing HRESULT: both readings, since a STATUS_ name has it.
    EXPECT_EQ(Decoded({"0x80000005"}),
              "'0x80000005' as hexadecimal: -2147483643 = 0x80000005 = 2147483653 unsigned\n"
              "  STATUS_BUFFER_OVERFLOW  -2147483643  0x80000005  ntstatus.h\n"
              "  1 name\n"
              "  HRESULT: failure, facility 0 (FACILITY_NULL), code 5 (0x0005)\n"
              "  NTSTATUS: warning (severity 2), facility 0 (no FACILITY_ name), code 5 (0x0005)\n");
    // No name has the value, but the Win32 error behind it has one.
    EXPECT_EQ(Decoded({"0x80070006"}),
              "'0x80070006' as hexadecimal: -2147024890 = 0x80070006 = 2147942406 unsigned\n"
              "  no names\n"
              "  HRESULT: failure, facility 7 (FACILITY_WIN32), code 6 (0x0006)\n"
              "    Win32 error 6: ERROR_INVALID_HANDLE\n");
    // NTSTATUS facility 7 is FACILITY_NTWIN32; the customer bit; a facility without a name.
    const Result nt = Run({"0xE0070005", "0x80FF0001"});
    EXPECT_EQ(nt.status, kNotFound);  // the second has no name at all
    EXPECT_EQ(WithoutMessages(nt.out),
              "'0xE0070005' as hexadecimal: -536412155 = 0xE0070005 = 3758555141 unsigned\n"
              "  no names\n"
              "  NTSTATUS: error (severity 3), facility 7 (FACILITY_NTWIN32), code 5 (0x0005), customer bit set\n"
              "    Win32 error 5: ERROR_ACCESS_DENIED\n"
              "\n"
              "'0x80FF0001' as hexadecimal: -2130771967 = 0x80FF0001 = 2164195329 unsigned\n"
              "  no names\n"
              "  HRESULT: failure, facility 255 (no FACILITY_ name), code 1 (0x0001)\n");
}

TEST_F(FinderCommand, FlagsWithCompositesFieldsAndRemainders) {
    EXPECT_EQ(Found({"--flags", "WS_", "0x16CF0000"}),
              "0x16CF0000 = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE\n"
              "  WS_OVERLAPPEDWINDOW  13565952   0xCF0000    winuser.h\n"
              "  WS_CLIPCHILDREN      33554432   0x02000000  winuser.h\n"
              "  WS_CLIPSIBLINGS      67108864   0x04000000  winuser.h\n"
              "  WS_VISIBLE           268435456  0x10000000  winuser.h\n"
              "  WS_OVERLAPPEDWINDOW: also WS_TILEDWINDOW\n"
              "  WS_CLIPCHILDREN: also WS_EX_COMPOSITED\n");
    EXPECT_EQ(Found({"--flags", "MB_", "0x24"}),
              "0x24 = MB_YESNO | MB_ICONQUESTION\n"
              "  MB_YESNO         4   0x00000004  winuser.h\n"
              "  MB_ICONQUESTION  32  0x00000020  winuser.h\n"
              "  MB_YESNO: in the field MB_TYPEMASK (0xF); also MB_USEGLYPHCHARS\n"
              "  MB_ICONQUESTION: in the field MB_ICONMASK (0xF0)\n");
    EXPECT_EQ(Found({"--flags", "ws_", "2147483649"}),
              "0x80000001 = WS_POPUP | 0x1\n"
              "  WS_POPUP  -2147483648  0x80000000  winuser.h\n");
    EXPECT_EQ(Found({"--flags", "WS_", "0"}), "0x0 = WS_OVERLAPPED\n");
    // A field value no name has is left over.
    const Result rest = Run({"--flags", "MB_*", "0x7"});
    EXPECT_EQ(rest.status, kNotFound);
    EXPECT_EQ(rest.out, "0x7 = 0x7\n");
    const Result none = Run({"--flags", "NOPE_", "5"});
    EXPECT_EQ(none.status, kNotFound);
    EXPECT_EQ(none.out, "0x5 = 0x5\nno names begin with 'NOPE_'\n");
}

namespace {

const std::vector<std::string> kDeclared = {"E_FAIL",       "WS_OVERLAPPEDWINDOW", "LVM_INSERTITEMW", "CW_USEDEFAULT",
                                            "MINUS_ONE",    "HWND_MESSAGE",        "DB_INVALIDCOLUMN", "ASC_REQ_MESSAGES",
                                            "BIG_NEGATIVE", "LLONG_MIN",           "ULLONG_MAX",       "ERROR",
                                            "String",       "None",                "NOT_A_NUMBER"};

std::vector<std::string> DeclareAs(const char* language) {
    std::vector<std::string> args = {"--lang", language};
    args.insert(args.end(), kDeclared.begin(), kDeclared.end());
    return args;
}

}  // namespace

TEST_F(FinderCommand, DeclarationsInE) {
    // Exactly the text the window copies, then a line end.
    EXPECT_EQ(Found({"--lang", "e", "E_FAIL"}), u8".版本 2\r\n\r\n.常量 E_FAIL, \"-2147467259\"\r\n");
    EXPECT_EQ(Found(DeclareAs("e")), u8".版本 2\r\n\r\n"
                                     u8".常量 E_FAIL, \"-2147467259\"\r\n"
                                     u8".常量 WS_OVERLAPPEDWINDOW, \"13565952\"\r\n"
                                     u8".常量 LVM_INSERTITEMW, \"4173\"\r\n"
                                     u8".常量 CW_USEDEFAULT, \"-2147483648\"\r\n"
                                     u8".常量 MINUS_ONE, \"-1\"\r\n"
                                     u8".常量 HWND_MESSAGE, \"4294967293\"\r\n"
                                     u8".常量 DB_INVALIDCOLUMN, \"-1\"\r\n"
                                     u8".常量 ASC_REQ_MESSAGES, \"0\"\r\n"
                                     u8".常量 BIG_NEGATIVE, \"-5000000000\"\r\n"
                                     u8".常量 LLONG_MIN, \"-9223372036854775808\"\r\n"
                                     u8".常量 ULLONG_MAX, \"18446744073709551615\"\r\n"
                                     u8".常量 ERROR, \"0\"\r\n"
                                     u8".常量 String, \"5\"\r\n"
                                     u8".常量 None, \"0\"\r\n"
                                     u8".常量 NOT_A_NUMBER, \"sizeof(int)\"\r\n");
}

TEST_F(FinderCommand, DeclarationsInC) {
    EXPECT_EQ(Found(DeclareAs("c")),
              "#define E_FAIL ((int)0x80004005)\n"
              "#define WS_OVERLAPPEDWINDOW 0xCF0000\n"
              "#define LVM_INSERTITEMW 0x104D\n"
              "#define CW_USEDEFAULT ((int)0x80000000)\n"
              "#define MINUS_ONE (-1)\n"
              "#define HWND_MESSAGE 4294967293u\n"
              "#define DB_INVALIDCOLUMN ((long long)0xffffffffffffffffull)\n"
              "#define ASC_REQ_MESSAGES 0x0000000100000000ll\n"
              "#define BIG_NEGATIVE (-5000000000ll)\n"
              "#define LLONG_MIN (-9223372036854775807ll - 1)\n"
              "#define ULLONG_MAX 18446744073709551615ull\n"
              "#define ERROR 0\n"
              "#define String 5\n"
              "#define None 0\n"
              "// NOT_A_NUMBER = \"sizeof(int)\": not an integer\n");
}

TEST_F(FinderCommand, DeclarationsInCSharp) {
    EXPECT_EQ(Found(DeclareAs("cs")),
              "public const int E_FAIL = unchecked((int)0x80004005);\n"
              "public const int WS_OVERLAPPEDWINDOW = 0xCF0000;\n"
              "public const int LVM_INSERTITEMW = 0x104D;\n"
              "public const int CW_USEDEFAULT = unchecked((int)0x80000000);\n"
              "public const int MINUS_ONE = -1;\n"
              "public const uint HWND_MESSAGE = 4294967293;\n"
              "public const long DB_INVALIDCOLUMN = unchecked((long)0xffffffffffffffff);\n"
              "public const long ASC_REQ_MESSAGES = 0x0000000100000000;\n"
              "public const long BIG_NEGATIVE = -5000000000;\n"
              "public const long LLONG_MIN = -9223372036854775808;\n"
              "public const ulong ULLONG_MAX = 18446744073709551615;\n"
              "public const int ERROR = 0;\n"
              "public const int String = 5;\n"
              "public const int None = 0;\n"
              "// NOT_A_NUMBER = \"sizeof(int)\": not an integer\n");
}

TEST_F(FinderCommand, DeclarationsInVisualBasic) {
    EXPECT_EQ(Found(DeclareAs("vb")),
              "Public Const E_FAIL As Integer = &H80004005\n"
              "Public Const WS_OVERLAPPEDWINDOW As Integer = &HCF0000\n"
              "Public Const LVM_INSERTITEMW As Integer = &H104D\n"
              "Public Const CW_USEDEFAULT As Integer = &H80000000\n"
              "Public Const MINUS_ONE As Integer = -1\n"
              "Public Const HWND_MESSAGE As UInteger = 4294967293UI\n"
              "Public Const DB_INVALIDCOLUMN As Long = &HffffffffffffffffL\n"
              "Public Const ASC_REQ_MESSAGES As Long = &H0000000100000000L\n"
              "Public Const BIG_NEGATIVE As Long = -5000000000L\n"
              "Public Const LLONG_MIN As Long = &H8000000000000000L\n"
              "Public Const ULLONG_MAX As ULong = 18446744073709551615UL\n"
              "Public Const [ERROR] As Integer = 0\n"
              "Public Const [String] As Integer = 5\n"
              "Public Const None As Integer = 0\n"
              "' NOT_A_NUMBER = \"sizeof(int)\": not an integer\n");
    EXPECT_EQ(Found(DeclareAs("vb6")),
              "Public Const E_FAIL As Long = &H80004005&\n"
              "Public Const WS_OVERLAPPEDWINDOW As Long = &HCF0000&\n"
              "Public Const LVM_INSERTITEMW As Long = &H104D&\n"
              "Public Const CW_USEDEFAULT As Long = &H80000000&\n"
              "Public Const MINUS_ONE As Long = -1\n"
              "Public Const HWND_MESSAGE As Long = &HFFFFFFFD&  ' 4294967293: VB6 has no unsigned type; the same 32 "
              "bits as a Long\n"
              "' DB_INVALIDCOLUMN = -1: VB6 has no 64-bit integer type\n"
              "' ASC_REQ_MESSAGES = 4294967296: VB6 has no 64-bit integer type\n"
              "' BIG_NEGATIVE = -5000000000: VB6 has no 64-bit integer type\n"
              "' LLONG_MIN = -9223372036854775808: VB6 has no 64-bit integer type\n"
              "' ULLONG_MAX = 18446744073709551615: VB6 has no 64-bit integer type\n"
              "' ERROR = 0: a reserved word, not declared\n"
              "' String = 5: a reserved word, not declared\n"
              "Public Const None As Long = 0\n"
              "' NOT_A_NUMBER = \"sizeof(int)\": not an integer\n");
}

TEST_F(FinderCommand, DeclarationsInDelphi) {
    EXPECT_EQ(Found(DeclareAs("delphi")),
              "const\n"
              "  E_FAIL = LongInt($80004005);\n"
              "  WS_OVERLAPPEDWINDOW = LongInt($CF0000);\n"
              "  LVM_INSERTITEMW = LongInt($104D);\n"
              "  CW_USEDEFAULT = LongInt($80000000);\n"
              "  MINUS_ONE = LongInt(-1);\n"
              "  HWND_MESSAGE = Cardinal(4294967293);\n"
              "  DB_INVALIDCOLUMN = Int64($ffffffffffffffff);\n"
              "  ASC_REQ_MESSAGES = Int64($0000000100000000);\n"
              "  BIG_NEGATIVE = Int64(-5000000000);\n"
              "  LLONG_MIN = Int64($8000000000000000);\n"
              "  ULLONG_MAX = UInt64(18446744073709551615);\n"
              "  ERROR = LongInt(0);\n"
              "  &String = LongInt(5);\n"
              "  None = LongInt(0);\n"
              "  // NOT_A_NUMBER = \"sizeof(int)\": not an integer\n");
}

TEST_F(FinderCommand, DeclarationsInRustAndPython) {
    EXPECT_EQ(Found(DeclareAs("rust")),
              "pub const E_FAIL: i32 = 0x80004005_u32 as i32;\n"
              "pub const WS_OVERLAPPEDWINDOW: i32 = 0xCF0000;\n"
              "pub const LVM_INSERTITEMW: i32 = 0x104D;\n"
              "pub const CW_USEDEFAULT: i32 = 0x80000000_u32 as i32;\n"
              "pub const MINUS_ONE: i32 = -1;\n"
              "pub const HWND_MESSAGE: u32 = 4294967293;\n"
              "pub const DB_INVALIDCOLUMN: i64 = 0xffffffffffffffff_u64 as i64;\n"
              "pub const ASC_REQ_MESSAGES: i64 = 0x0000000100000000;\n"
              "pub const BIG_NEGATIVE: i64 = -5000000000;\n"
              "pub const LLONG_MIN: i64 = -9223372036854775808;\n"
              "pub const ULLONG_MAX: u64 = 18446744073709551615;\n"
              "pub const ERROR: i32 = 0;\n"
              "pub const String: i32 = 5;\n"
              "pub const None: i32 = 0;\n"
              "// NOT_A_NUMBER = \"sizeof(int)\": not an integer\n");
    EXPECT_EQ(Found(DeclareAs("python")),
              "E_FAIL = -2147467259  # 0x80004005\n"
              "WS_OVERLAPPEDWINDOW = 0xCF0000\n"
              "LVM_INSERTITEMW = 0x104D\n"
              "CW_USEDEFAULT = -2147483648  # 0x80000000\n"
              "MINUS_ONE = -1\n"
              "HWND_MESSAGE = 4294967293\n"
              "DB_INVALIDCOLUMN = -1  # 0xffffffffffffffff\n"
              "ASC_REQ_MESSAGES = 0x0000000100000000\n"
              "BIG_NEGATIVE = -5000000000\n"
              "LLONG_MIN = -9223372036854775808\n"
              "ULLONG_MAX = 18446744073709551615\n"
              "ERROR = 0\n"
              "String = 5\n"
              "# None = 0: a reserved word, not declared\n"
              "# NOT_A_NUMBER = \"sizeof(int)\": not an integer\n");
}

TEST_F(FinderCommand, DeclarationsOfEachQueryKind) {
    // A name once however often it is found; a list cut short says so on standard error.
    EXPECT_EQ(Found({"--lang", "c", "E_FAIL", "e_fail", "0x80070005"}),
              "#define E_FAIL ((int)0x80004005)\n#define E_ACCESSDENIED ((int)0x80070005)\n");
    const Result cut = Run({"--lang", "rust", "--limit", "1", "DWMWA_*"});
    EXPECT_EQ(cut.status, kFound);
    EXPECT_EQ(cut.out, "pub const DWMWA_CLOAK: i32 = 13;\n");
    EXPECT_EQ(cut.err, "4 names match 'DWMWA_*'; the first 1 shown (--limit 0 shows all)\n");
    EXPECT_EQ(Found({"--lang", "python", "--flags", "MB_", "0x24"}), "MB_YESNO = 0x00000004\nMB_ICONQUESTION = 0x00000020\n");
    EXPECT_EQ(Found({"--lang", "c", "--all", "DWMWA_LAST"}), "#define DWMWA_LAST 17\n");
}

TEST_F(FinderCommand, JsonForScripts) {
    EXPECT_EQ(Found({"--json", "E_FAIL"}),
              "{\"database\":\"" + JsonPath() +
                  "\",\"queries\":[{\"query\":\"E_FAIL\",\"kind\":\"name\",\"found\":true,\"names\":[{\"name\":"
                  "\"E_FAIL\",\"text\":\"0x80004005\",\"source\":\"winerror.h\",\"value\":-2147467259,\"hex\":"
                  "\"0x80004005\",\"type\":\"int32\",\"window\":{\"decimal\":\"-2147467259\",\"hex\":\"80004005\"},"
                  "\"first\":true,\"differs\":false}]}]}\n");
    EXPECT_EQ(Found({"--json", "--flags", "MB_", "0x24"}),
              "{\"database\":\"" + JsonPath() +
                  "\",\"queries\":[{\"query\":\"0x24\",\"kind\":\"flags\",\"found\":true,\"prefix\":\"MB_\",\"value\":36,"
                  "\"hex\":\"0x24\",\"parts\":[{\"name\":\"MB_YESNO\",\"hex\":\"0x4\",\"aliases\":[\"MB_USEGLYPHCHARS\"],"
                  "\"field\":\"MB_TYPEMASK\",\"field_mask\":\"0xF\",\"row\":{\"name\":\"MB_YESNO\",\"text\":"
                  "\"0x00000004\",\"source\":\"winuser.h\",\"value\":4,\"hex\":\"0x00000004\",\"type\":\"int32\","
                  "\"window\":{\"decimal\":\"4\",\"hex\":\"00000004\"},\"first\":true,\"differs\":false}},{\"name\":"
                  "\"MB_ICONQUESTION\",\"hex\":\"0x20\",\"aliases\":[],\"field\":\"MB_ICONMASK\",\"field_mask\":"
                  "\"0xF0\",\"row\":{\"name\":\"MB_ICONQUESTION\",\"text\":\"0x00000020\",\"source\":\"winuser.h\","
                  "\"value\":32,\"hex\":\"0x00000020\",\"type\":\"int32\",\"window\":{\"decimal\":\"32\",\"hex\":"
                  "\"00000020\"},\"first\":true,\"differs\":false}}],\"remainder\":\"0x0\",\"zero_names\":[]}]}\n");
    // One document for several queries; what was not found says so.
    const Result r = Run({"--json", "NO_SUCH", "0x12345"});
    EXPECT_EQ(r.status, kNotFound);
    EXPECT_EQ(r.out, "{\"database\":\"" + JsonPath() +
                         "\",\"queries\":[{\"query\":\"NO_SUCH\",\"kind\":\"name\",\"found\":false,\"names\":[]},"
                         "{\"query\":\"0x12345\",\"kind\":\"value\",\"found\":false,\"readings\":[{\"base\":"
                         "\"hexadecimal\",\"value\":74565,\"hex\":\"0x12345\",\"type\":\"int32\",\"total\":0,"
                         "\"names\":[],\"error_codes\":[]}]}]}\n");
}

TEST_F(FinderCommand, BadUsageIsOneLineAndStatusTwo) {
    EXPECT_EQ(Failure({}), "qalomir-find: nothing to look up: give a name, a pattern or a number (--help)\n");
    EXPECT_EQ(Failure({""}), "qalomir-find: empty query (argument 1)\n");
    EXPECT_EQ(Failure({"E_FAIL", "  "}), "qalomir-find: empty query (argument 2)\n");
    EXPECT_EQ(Failure({"0x12G"}),
              "qalomir-find: malformed number '0x12G': 'G' at character 5 is not a hexadecimal digit (argument 1)\n");
    EXPECT_EQ(Failure({"--all", "-"}), "qalomir-find: malformed number '-': no digits (argument 2)\n");
    EXPECT_EQ(Failure({std::string(256, '*')}), "qalomir-find: query too long (argument 1): 256 characters, at most 255\n");
    EXPECT_EQ(Failure({"--limit", "x", "E_FAIL"}), "qalomir-find: --limit needs a whole number of names, not 'x'\n");
    EXPECT_EQ(Failure({"--limit", "-1", "E_FAIL"}), "qalomir-find: --limit needs a whole number of names, not '-1'\n");
    EXPECT_EQ(Failure({"--lang", "java", "E_FAIL"}),
              "qalomir-find: unknown language 'java' (e, c, cs, vb, vb6, delphi, rust, python)\n");
    EXPECT_EQ(Failure({"--json", "--lang", "c", "E_FAIL"}), "qalomir-find: --json and --lang do not go together\n");
    EXPECT_EQ(Failure({"--flags", "WS_"}), "qalomir-find: --flags needs a value after its prefix\n");
    EXPECT_EQ(Failure({"--flags", "WS_", "1", "2"}), "qalomir-find: --flags takes one value, not 2\n");
    EXPECT_EQ(Failure({"--flags", "WS_", "WS_VISIBLE"}),
              "qalomir-find: --flags needs a number, not 'WS_VISIBLE' (argument 3)\n");
    EXPECT_EQ(Failure({"--flags", "", "5"}), "qalomir-find: empty --flags prefix (argument 2)\n");
    EXPECT_EQ(Failure({"--prefix", "", "5"}), "qalomir-find: empty --prefix (argument 2)\n");
    EXPECT_EQ(Failure({"--bogus", "E_FAIL"}), "qalomir-find: unknown option '--bogus' (--help lists them)\n");
    EXPECT_EQ(Failure({"E_FAIL", "--db"}), "qalomir-find: --db needs a value\n");
    // After "--" everything is a query, and one that starts with a sign is a number.
    EXPECT_EQ(Failure({"--", "--all"}), "qalomir-find: malformed number '--all': '-' at character 2 is not a digit (argument 2)\n");
    // Usage errors come before the database is opened.
    EXPECT_EQ(Failure({"--db", "/no/such/file.mdb", "0x"}), "qalomir-find: malformed number '0x': no digits (argument 3)\n");
}

TEST_F(FinderCommand, HelpListsTheOptions) {
    const Result r = Run({"--help"});
    EXPECT_EQ(r.status, kFound);
    EXPECT_EQ(r.out, kUsage);
}

namespace {

// The sample's bytes with damage done to its table: the stored row count, or
// the first row's entry in the first data page's row table.
std::string DamagedSample(const std::string& name, bool rowCount) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(jet::WriteDatabase({finder_test::SampleConstants()}, bytes, &error)) << error;
    const auto file = jet::DatabaseFile::Open(jet::PageSource(bytes), &error);
    const std::uint32_t tdef = file->Find(u"api_const")->def.page;
    if (rowCount) {
        bytes[tdef * 4096 + 16] ^= 1;  // the count the definition stores
    } else {
        for (std::size_t page = 0; page * 4096 < bytes.size(); ++page) {
            std::uint8_t* p = &bytes[page * 4096];
            if (p[0] != 1 || (p[4] | p[5] << 8 | p[6] << 16 | p[7] << 24) != static_cast<int>(tdef)) continue;
            p[14] = 1;  // row 0 now starts inside the row table
            p[15] = 0;
            break;
        }
    }
    const std::string path = ::testing::TempDir() + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

}  // namespace

TEST_F(FinderCommand, DamagedTablesFailSayingWhere) {
    const std::string counted = DamagedSample("finder_count.mdb", true);
    const Result walk = Run({"--db", counted, "0x5"});
    EXPECT_EQ(walk.status, kFailed);
    EXPECT_EQ(walk.out, "");
    EXPECT_NE(walk.err.find("': the file is damaged: the table definition counts "), std::string::npos) << walk.err;
    EXPECT_NE(walk.err.find(" rows, its data pages hold "), std::string::npos) << walk.err;
    EXPECT_NE(walk.err.find("(table 'api_const', page "), std::string::npos) << walk.err;

    const std::string shape = DamagedSample("finder_shape.mdb", false);
    const Result scan = Run({"--db", shape, "*BACKDROP*"});
    EXPECT_EQ(scan.status, kFailed);
    EXPECT_NE(scan.err.find("': row 0 out of shape (table 'api_const', page "), std::string::npos) << scan.err;
    EXPECT_EQ(scan.err.find('\n'), scan.err.size() - 1);
    std::remove(counted.c_str());
    std::remove(shape.c_str());
}

TEST_F(FinderCommand, FilesThatAreNoJet4Database) {
    const std::string path = ::testing::TempDir() + "finder_not_jet4.mdb";
    const auto failureFor = [&](const std::string& bytes) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return Failure({"--db", path, "WM_CREATE"});
    };
    EXPECT_EQ(failureFor(""), "qalomir-find: database '" + path + "': the file is empty\n");
    EXPECT_EQ(failureFor(std::string(8192, 'Q')), "qalomir-find: database '" + path + "': not a Jet database: signature missing\n");
    // An Access 2007 file (ACE, version byte 2): jet's refusal, passed on as it stands.
    std::string ace(8192, '\0');
    ace.replace(4, 15, "Standard ACE DB");
    ace[0x14] = 2;
    const std::string refused = failureFor(ace);
    EXPECT_EQ(refused.rfind("qalomir-find: database '" + path + "': ", 0), 0u) << refused;
    EXPECT_EQ(refused.find('\n'), refused.size() - 1);
    ace.replace(4, 15, "Standard Jet DB");
    const std::string jet = failureFor(ace);
    EXPECT_EQ(jet.rfind("qalomir-find: database '" + path + "': ", 0), 0u) << jet;
    std::remove(path.c_str());
}
