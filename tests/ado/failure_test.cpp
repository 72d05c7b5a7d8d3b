// The component's one catch: what a call throws becomes one HRESULT, and only
// a damaged file is reported as one.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <vector>

#include "ado/com/failure.h"
#include "jetsql/data_source.h"

using ado_com::CaughtFailure;
using ado_com::FailureOfCaught;
using ado_com::Guarded;

namespace {

template <class Throw>
CaughtFailure FailureOf(Throw thrower) {
    try {
        thrower();
    } catch (...) {
        return FailureOfCaught();
    }
    ADD_FAILURE() << "nothing thrown";
    return {S_OK, {}};
}

HRESULT Passed(HRESULT hr, const std::u16string&) { return hr; }

}  // namespace

TEST(ComFailure, OnlyADamagedFileIsReportedAsOne) {
    const CaughtFailure memory = FailureOf([] { throw std::bad_alloc(); });
    EXPECT_EQ(E_OUTOFMEMORY, memory.hr);
    EXPECT_TRUE(memory.text.empty());  // each object gives its own text
    const CaughtFailure damaged =
        FailureOf([] { throw jetsql::DamagedFile(u"Z:\\API常量.mdb", u"api_const", 7, "usage map missing (table 'api_const', page 7)"); });
    EXPECT_EQ(E_FAIL, damaged.hr);
    EXPECT_TRUE(damaged.text == u"The database file could not be read: 'Z:\\API常量.mdb': the file is damaged: usage map "
                                u"missing (table 'api_const', page 7)");
    // A fault of the program (an index out of range) is no damaged file.
    const CaughtFailure bug = FailureOf([] { (void)std::vector<int>().at(1); });
    EXPECT_EQ(E_UNEXPECTED, bug.hr);
    EXPECT_EQ(std::u16string::npos, bug.text.find(u"could not be read"));
    EXPECT_EQ(E_UNEXPECTED, FailureOf([] { throw 1; }).hr);
}

TEST(ComFailure, GuardedGivesTheBodysAnswerOrReportsWhatItThrew) {
    EXPECT_EQ(S_FALSE, Guarded([]() -> HRESULT { return S_FALSE; }, Passed));
    HRESULT reported = S_OK;
    EXPECT_EQ(E_ABORT, Guarded([]() -> HRESULT { throw std::bad_alloc(); },
                               [&](HRESULT hr, const std::u16string&) {
                                   reported = hr;
                                   return E_ABORT;
                               }));
    EXPECT_EQ(E_OUTOFMEMORY, reported);
    // A report that runs out of memory itself still ends the call.
    EXPECT_EQ(E_OUTOFMEMORY, Guarded([]() -> HRESULT { throw std::out_of_range("x"); },
                                     [](HRESULT, const std::u16string&) -> HRESULT { throw std::bad_alloc(); }));
}

TEST(ComFailure, TheRecordSetsFaultsAreAdosNumbersAndTheEnginesCarryJets) {
    using ado::RecordsetFault;
    using ado_com::CodeOf;
    EXPECT_EQ(ado_com::kInvalidArgument, CodeOf(RecordsetFault::BadArgument).hr);
    EXPECT_EQ(ado_com::kItemNotFound, CodeOf(RecordsetFault::UnknownField).hr);
    EXPECT_EQ(ado_com::kNoCurrentRecord, CodeOf(RecordsetFault::NoCurrentRecord).hr);
    for (RecordsetFault f : {RecordsetFault::BadArgument, RecordsetFault::UnknownField, RecordsetFault::NoCurrentRecord}) {
        EXPECT_EQ(0, CodeOf(f).native);
        EXPECT_TRUE(std::u16string(CodeOf(f).sqlState).empty());
    }
    EXPECT_EQ(3061, CodeOf(jetsql::SqlFault::MissingParameter).native);
    // More values than the statement has `?` is ADO's bad argument, with no Jet number.
    EXPECT_EQ(ado_com::kInvalidArgument, CodeOf(jetsql::SqlFault::ExtraParameter).hr);
    EXPECT_EQ(0, CodeOf(jetsql::SqlFault::ExtraParameter).native);
}
