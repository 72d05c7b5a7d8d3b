#include "tools/build_database.h"

#include <filesystem>

#include "jet/writer.h"
#include "tools/constants_table.h"

namespace constdb {

bool BuildConstantsDatabase(const std::vector<std::string>& folders, const std::string& outPath, BuildResult& result,
                            std::string* error) {
    std::vector<Constant> constants = CollectConstantsFromFolders(folders, &result.report);
    if (result.report.headersRead == 0) {
        if (error) *error = "no header found";
        return false;
    }
    std::vector<jet::Table> tables;
    tables.push_back(MakeConstantsTable(constants));
    constants.clear();
    constants.shrink_to_fit();
    if (!jet::WriteDatabase(outPath, tables, error)) return false;
    std::error_code ec;
    result.fileSize = std::filesystem::file_size(outPath, ec);
    return true;
}

}  // namespace constdb
