#pragma once
// A scriptable component registered as "ADODB.Connection" and "ADODB.RecordSet"
// for the span of a test: the test sets what it answers and reads every call
// back from testautomation::CallLog().
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bridge/variant.h"
#include "tests/automation/scripted_dispatch.h"

using namespace core;
using namespace bridge;

namespace adostandin {

using Row = std::map<std::string, Variant>;  // field name in lower case -> value

struct Script {
    double connectionState = 0;
    std::wstring errors;
    double recordSetState = 0;
    Variant recordCount;
    std::vector<Row> rows;
    std::size_t current = 0;
    LONG recordsAffected = 0;
    // "Object.Member" pairs that answer DISP_E_EXCEPTION, e.g. "Field.Value".
    std::set<std::string> refused;
    bool creationFails = false;
    std::vector<std::string> created;  // labels in order of creation
    IUnknown* connection = nullptr;     // the last Connection made; not a reference
};

class AdoStandIn {
public:
    AdoStandIn();
    AdoStandIn(const AdoStandIn&) = delete;
    AdoStandIn& operator=(const AdoStandIn&) = delete;
    ~AdoStandIn();

    Script& script() { return *script_; }
    bool Registered() const;

private:
    std::shared_ptr<Script> script_;
    std::unique_ptr<testautomation::TypeLibrary> library_;
    std::unique_ptr<testautomation::ClassRegistration> connectionClass_;
    std::unique_ptr<testautomation::ClassRegistration> recordSetClass_;
};

// Shorthands for rows.
Variant TextValue(const wchar_t* text);
Variant NumberValue(double value);
Variant NullValue();
Variant BytesValue(const Bytes& bytes);

}  // namespace adostandin
