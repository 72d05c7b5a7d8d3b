// Every test program that drives automation objects runs inside one OLE session.
#include <gtest/gtest.h>

#include "bridge/com_object.h"

using namespace core;
using namespace bridge;

namespace {
class OleEnvironment : public ::testing::Environment {
public:
    void SetUp() override { session_ = new OleSession; }
    void TearDown() override {
        delete session_;
        session_ = nullptr;
    }

private:
    OleSession* session_ = nullptr;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new OleEnvironment);
}  // namespace
