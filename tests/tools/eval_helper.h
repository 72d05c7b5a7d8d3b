#pragma once
// Evaluates source text the way the collector does: expand against a few
// #defines, then evaluate with a handful of Windows typedefs known.
#include <map>
#include <string>

#include "tools/expression.h"
#include "tools/macro_expander.h"

namespace constdb::testing {

class Evaluator {
public:
    Evaluator() {
        types_.Add("DWORD", CType::Integer(IntType::UInt()));
        types_.Add("LONG", CType::Integer(IntType::Int()));
        types_.Add("WORD", CType::Integer({16, true}));
        types_.Add("SHORT", CType::Integer({16, false}));
        types_.Add("BYTE", CType::Integer({8, true}));
        types_.Add("ULONGLONG", CType::Integer(IntType::ULongLong()));
        types_.Add("HANDLE", CType::Pointer());
        types_.Add("RECT", CType::Of(CType::Kind::Record));
    }

    void Define(const std::string& line) {
        Macro m;
        if (ParseDefine(Tokenize(line), 0, m)) macros_[m.name] = m;
    }

    Tokens Expand(const std::string& text, std::string* error = nullptr) {
        MacroExpander x([this](const std::string& n) {
            auto it = macros_.find(n);
            return it == macros_.end() ? nullptr : &it->second;
        });
        Tokens out;
        if (!x.Expand(Tokenize(text), out, error)) out.clear();
        return out;
    }

    EvalResult Eval(const std::string& text, bool preprocessor = false) {
        EvalEnv env;
        env.types = &types_;
        env.preprocessor = preprocessor;
        env.identifier = [](const std::string& n) -> std::optional<IntValue> {
            if (n == "Member") return IntValue::FromInt(7);
            return std::nullopt;
        };
        return Evaluate(Expand(text), env);
    }

private:
    TypeTable types_;
    std::map<std::string, Macro> macros_;
};

}  // namespace constdb::testing
