#pragma once
// ADODB.Connection: a read-only connection to one Access file.
#include <memory>
#include <string>
#include <vector>

#include "ado/com/failure.h"
#include "ado/com/ado_enums.h"
#include "ado/com/dispatch_object.h"
#include "ado/com/library.h"
#include "ado/com/open_rows.h"
#include "ado/com/property_objects.h"
#include "jetsql/query.h"
#include "ado/schema.h"

namespace ado_com {

// Answered only by this component's connections; lets a record set find the
// implementation behind the object passed as its active connection.
extern const IID IID_ConnectionImplementation;

class ConnectionObject : public DispatchObject<Connection, &IID_Connection> {
public:
    ConnectionObject();
    ~ConnectionObject() override;

    HRESULT STDMETHODCALLTYPE get_ConnectionString(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE put_ConnectionString(BSTR text) override;
    HRESULT STDMETHODCALLTYPE Open(BSTR connectionString, BSTR userId, BSTR password, long options) override;
    HRESULT STDMETHODCALLTYPE get_State(long* state) override;
    HRESULT STDMETHODCALLTYPE get_Errors(Errors** errors) override;
    HRESULT STDMETHODCALLTYPE Execute(BSTR commandText, VARIANT* recordsAffected, long options,
                                      Recordset** recordset) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE get_Provider(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE put_Provider(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR* version) override;
    HRESULT STDMETHODCALLTYPE get_CursorLocation(long* location) override;
    HRESULT STDMETHODCALLTYPE put_CursorLocation(long location) override;
    HRESULT STDMETHODCALLTYPE get_Mode(long* mode) override;
    HRESULT STDMETHODCALLTYPE put_Mode(long mode) override;
    HRESULT STDMETHODCALLTYPE get_ConnectionTimeout(long* seconds) override;
    HRESULT STDMETHODCALLTYPE put_ConnectionTimeout(long seconds) override;
    HRESULT STDMETHODCALLTYPE get_CommandTimeout(long* seconds) override;
    HRESULT STDMETHODCALLTYPE put_CommandTimeout(long seconds) override;
    HRESULT STDMETHODCALLTYPE OpenSchema(long schema, VARIANT restrictions, VARIANT schemaId,
                                         Recordset** rows) override;
    HRESULT STDMETHODCALLTYPE get_Properties(Properties** collection) override;

    // Opens over a source already at hand (tests, and Open itself).
    HRESULT OpenSource(std::shared_ptr<jetsql::DataSource> source, std::u16string connectionString);

    bool IsOpen() const { return source_ != nullptr; }
    long CursorLocation() const { return cursorLocation_; }
    // The engine's answers for a record set or a command; a failure goes to
    // the Errors log, success clears it.
    HRESULT Query(std::u16string_view sql, const jetsql::Parameters& parameters, jetsql::ResultSet* out);
    HRESULT Schema(ado::Schema schema, const std::vector<jet::Value>& restrictions, jetsql::ResultSet* out);
    // report false: a refusal is only returned, neither raised nor logged.
    HRESULT DescribeParameters(std::u16string_view sql, std::vector<jetsql::ParameterInfo>* out, bool report = true);
    // Rows that closing the connection closes too.
    void Track(const SharedRows& rows);
    // Records a failure for the Errors collection, raises it, and returns hr.
    HRESULT Fail(HRESULT hr, std::u16string text, std::u16string sqlState = {}, long nativeError = 0);
    // Runs body; what it throws is reported as Fail reports (Guarded, failure.h).
    template <class Body>
    HRESULT Reported(Body&& body) {
        return Guarded(static_cast<Body&&>(body), [this](HRESULT hr, const std::u16string& text) {
            return Fail(hr, text.empty() ? std::u16string(u"Not enough memory to complete the operation.") : text);
        });
    }

    // The implementation behind an object of this component, or null.
    static ComPtr<ConnectionObject> FromObject(IUnknown* object);

protected:
    bool IsPrivateInterface(REFIID iid) const override { return iid == IID_ConnectionImplementation; }
    const char16_t* ErrorSource() const override { return u"ADODB.Connection"; }

private:
    HRESULT OpenFile(const std::u16string& text);
    // Runs one call against the open file, as Query does; Error is what the
    // call fills when it refuses (the engine's jetsql::SqlError, or a schema
    // rowset's ado::RecordsetError).
    template <class Error, class Call>
    HRESULT Engine(Call call, bool report = true);
    std::vector<PropertyEntry> PropertyList() const;
    // Closes the rows opened on this connection, then the file.
    void Shut();

    std::shared_ptr<jetsql::DataSource> source_;
    std::u16string connectionString_;
    std::u16string dataSource_;  // the file the open connection reads
    std::u16string provider_ = u"MSDASQL";
    long cursorLocation_ = adUseServer;
    long mode_ = 0;            // adModeUnknown
    long connectionTimeout_ = 15;
    long commandTimeout_ = 30;
    SharedErrorLog errors_;
    std::vector<std::weak_ptr<OpenRows>> dependents_;
};

}  // namespace ado_com
