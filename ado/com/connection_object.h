#pragma once
// ADODB.Connection: a read-only connection to one Access file.
#include <memory>
#include <string>
#include <vector>

#include "ado/com/library.h"
#include "ado/com/ado_errors.h"
#include "ado/com/dispatch_object.h"
#include "ado/com/open_rows.h"
#include "ado/query.h"

namespace ado_com {

// Answered only by this component's connections; lets a record set find the
// implementation behind the object passed as its active connection.
extern const IID IID_ConnectionImplementation;

class ConnectionObject : public DispatchObject<_Connection, &IID__Connection> {
public:
    ConnectionObject();
    ~ConnectionObject() override;

    HRESULT STDMETHODCALLTYPE get_ConnectionString(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE Open(BSTR connectionString, BSTR userId, BSTR password, long options) override;
    HRESULT STDMETHODCALLTYPE get_State(long* state) override;
    HRESULT STDMETHODCALLTYPE get_Errors(Errors** errors) override;
    HRESULT STDMETHODCALLTYPE Execute(BSTR commandText, VARIANT* recordsAffected, long options,
                                      _Recordset** recordset) override;
    HRESULT STDMETHODCALLTYPE Close() override;

    // Opens over a source already at hand (tests, and Open itself).
    HRESULT OpenSource(std::shared_ptr<ado::DataSource> source, std::u16string connectionString);

    bool IsOpen() const { return source_ != nullptr; }
    // Runs a statement for a record set; a failure goes to the Errors log.
    HRESULT Query(std::u16string_view sql, ado::ResultSet* out);
    // Rows that closing the connection closes too.
    void Track(const SharedRows& rows);
    // Records a failure for the Errors collection and returns hr.
    HRESULT Fail(HRESULT hr, std::u16string text);

    // The implementation behind an object of this component, or null.
    static ComPtr<ConnectionObject> FromObject(IUnknown* object);

protected:
    bool IsPrivateInterface(REFIID iid) const override { return iid == IID_ConnectionImplementation; }

private:
    std::shared_ptr<ado::DataSource> source_;
    std::u16string connectionString_;
    SharedErrorLog errors_;
    std::vector<std::weak_ptr<OpenRows>> dependents_;
};

}  // namespace ado_com
