#include "tools/build_database.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "jet/writer.h"
#include "tools/constants_table.h"
#include "tools/release_memory.h"

namespace constdb {
namespace {

bool WriteLines(const std::string& path, const std::vector<std::string>& lines, std::string* error) {
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), std::fclose);
    bool ok = f != nullptr;
    for (std::size_t i = 0; ok && i < lines.size(); ++i) ok = std::fprintf(f.get(), "%s\n", lines[i].c_str()) >= 0;
    if (ok) ok = std::fclose(f.release()) == 0;
    if (!ok && error) *error = "cannot write " + path;
    return ok;
}

bool AnyConstant(const HeaderConstants& headers) {
    for (const HeaderSource& s : headers.sources)
        if (!s.constants.empty()) return true;
    return false;
}

// The functions and types, when the inputs name the metadata's.
bool AddApiTables(const BuildInputs& inputs, std::vector<jet::Table>& tables, ApiTablesReport& report,
                  std::string* error) {
    if (inputs.sdkTypes.empty()) return true;
    SdkTypes sdk;
    if (!ReadSdkTypes(inputs.sdkTypes, sdk, error)) return false;
    HeaderFunctions functions;
    if (!inputs.headerFunctions.empty() && !ReadHeaderFunctions(inputs.headerFunctions, functions, error)) return false;
    for (jet::Table& t : MakeApiTables(sdk, {nullptr, nullptr}, report, inputs.headerFunctions.empty() ? nullptr : &functions))
        tables.push_back(std::move(t));
    return inputs.typeDifferences.empty() || WriteLines(inputs.typeDifferences, report.differences, error);
}

}  // namespace

bool BuildConstantsDatabase(const BuildInputs& inputs, const std::string& outPath, BuildResult& result, std::string* error) {
    HeaderConstants headers;
    if (!ReadHeaderConstants(inputs.headerConstants, headers, error)) return false;
    return BuildConstantsDatabase(std::move(headers), inputs, outPath, result, error);
}

bool BuildConstantsDatabase(HeaderConstants headers, const BuildInputs& inputs, const std::string& outPath,
                            BuildResult& result, std::string* error) {
    if (!AnyConstant(headers)) {
        if (error) *error = "no header constant" + (inputs.headerConstants.empty() ? std::string() : " in " + inputs.headerConstants);
        return false;
    }
    SdkConstants sdk;
    if (!inputs.sdkConstants.empty() && !ReadSdkConstants(inputs.sdkConstants, sdk, error)) return false;
    std::vector<Constant> constants = MergeSources(headers, inputs.sdkConstants.empty() ? nullptr : &sdk, result.merge);
    headers = HeaderConstants{};
    sdk = SdkConstants{};
    ReleaseFreedMemory();  // before the table's rows are made
    if (!inputs.differences.empty() && !WriteLines(inputs.differences, result.merge.differences, error)) return false;
    result.names = result.merge.names;
    result.rows = constants.size();
    std::vector<jet::Table> tables;
    tables.push_back(MakeConstantsTable(std::move(constants)));
    if (!AddApiTables(inputs, tables, result.api, error)) return false;
    ReleaseFreedMemory();  // the rows', before the file's pages are made
    if (!jet::WriteDatabase(outPath, tables, error)) return false;
    std::error_code ec;
    result.fileSize = std::filesystem::file_size(outPath, ec);
    return true;
}

}  // namespace constdb
