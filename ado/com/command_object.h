#pragma once
// ADODB.Command: a statement with `?` parameters, run on a connection as
// often as asked, each run with the values of the moment.
#include <string>

#include "ado/com/command_text.h"
#include "ado/com/ado_enums.h"
#include "ado/com/dispatch_object.h"
#include "ado/com/library.h"
#include "ado/com/parameter_objects.h"
#include "ado/com/recordset_object.h"

namespace ado_com {

class ConnectionObject;

// Answered only by this component's commands.
extern const IID IID_CommandImplementation;

// What one run of a command reads: the connection, the statement, the values.
struct CommandRun {
    ComPtr<ConnectionObject> connection;
    CommandPlan plan;
    jetsql::Parameters parameters;
    std::u16string text;  // CommandText, the rows' Source
};

class CommandObject : public DispatchObject<Command, &IID_Command> {
public:
    CommandObject();
    ~CommandObject() override;

    HRESULT STDMETHODCALLTYPE get_Parameters(Parameters** collection) override;
    HRESULT STDMETHODCALLTYPE get_ActiveConnection(Connection** active) override;
    HRESULT STDMETHODCALLTYPE put_ActiveConnection(VARIANT active) override;
    HRESULT STDMETHODCALLTYPE putref_ActiveConnection(Connection* active) override;
    HRESULT STDMETHODCALLTYPE get_CommandText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE put_CommandText(BSTR text) override;
    HRESULT STDMETHODCALLTYPE get_CommandType(long* type) override;
    HRESULT STDMETHODCALLTYPE put_CommandType(long type) override;
    HRESULT STDMETHODCALLTYPE get_CommandTimeout(long* seconds) override;
    HRESULT STDMETHODCALLTYPE put_CommandTimeout(long seconds) override;
    HRESULT STDMETHODCALLTYPE get_Prepared(VARIANT_BOOL* prepared) override;
    HRESULT STDMETHODCALLTYPE put_Prepared(VARIANT_BOOL prepared) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_State(long* state) override;
    HRESULT STDMETHODCALLTYPE Execute(VARIANT* recordsAffected, VARIANT values, long options,
                                      Recordset** rows) override;
    HRESULT STDMETHODCALLTYPE CreateParameter(BSTR name, long type, long direction, long size, VARIANT value,
                                              Parameter** made) override;

    // What a run reads: values (Execute's array, or null for the
    // collection's), options as Execute takes them. Raises what it refuses.
    HRESULT Prepare(const VARIANT* values, long options, CommandRun* out);
    // The rows of this command with its parameters' values at each run (what
    // a record set opened on it reads again on Requery).
    RowsMaker CurrentRows(long options);
    // Parameters.Refresh: the statement's parameters as the provider describes them.
    HRESULT DescribeParameters();
    // The same when the collection is first read, leaving it empty (and no
    // error behind) when the provider cannot tell.
    void DescribeQuietly();

    static ComPtr<CommandObject> FromObject(IUnknown* object);

protected:
    bool IsPrivateInterface(REFIID iid) const override { return iid == IID_CommandImplementation; }
    const char16_t* ErrorSource() const override { return u"ADODB.Command"; }

private:
    // The statement and the provider's description of its `?`s; false (with
    // nothing raised when quiet) when either cannot be had.
    HRESULT Describe(bool quiet, std::vector<jetsql::ParameterInfo>* out);

    ComPtr<ConnectionObject> connection_;
    std::u16string text_;
    std::u16string name_;
    long type_ = adCmdUnknown;
    long timeout_ = 30;
    bool prepared_ = false;
    SharedParameters parameters_;
};

}  // namespace ado_com
