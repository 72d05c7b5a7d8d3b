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

std::size_t CountNames(const std::vector<Constant>& rows) {
    std::size_t names = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) names += i == 0 || rows[i].name != rows[i - 1].name;
    return names;
}

}  // namespace

bool BuildConstantsDatabase(const BuildInputs& inputs, const std::string& outPath, BuildResult& result, std::string* error) {
    std::vector<Constant> constants = CollectConstantsFromFolders(inputs.headerFolders, &result.report);
    if (result.report.headersRead == 0) {
        if (error) *error = "no header found";
        return false;
    }
    ReleaseFreedMemory();  // the header set's
    if (!inputs.sdkConstants.empty()) {
        SdkConstants sdk;
        if (!ReadSdkConstants(inputs.sdkConstants, sdk, error)) return false;
        constants = MergeSdkConstants(std::move(constants), sdk, result.merge);
    }
    if (!inputs.differences.empty() && !WriteLines(inputs.differences, result.merge.differences, error)) return false;
    result.names = CountNames(constants);
    result.rows = constants.size();
    ReleaseFreedMemory();
    std::vector<jet::Table> tables;
    tables.push_back(MakeConstantsTable(std::move(constants)));
    if (!jet::WriteDatabase(outPath, tables, error)) return false;
    std::error_code ec;
    result.fileSize = std::filesystem::file_size(outPath, ec);
    return true;
}

}  // namespace constdb
