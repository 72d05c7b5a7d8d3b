#include "tools/build_database.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "jet/writer.h"
#include "tools/constants_table.h"
#include "tools/header_layouts.h"
#include "tools/release_memory.h"

namespace tools {
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

// The compiler's records of one target by every name they go by.
HeaderRecords RecordsOf(const LayoutTarget& target) {
    HeaderRecords out;
    for (const LayoutRecord& r : target.records) {
        HeaderRecord h;
        h.header = r.header;
        h.isUnion = r.isUnion;
        h.layout.size = static_cast<std::uint32_t>(r.size);
        h.layout.align = static_cast<std::uint32_t>(r.align);
        std::uint64_t unitStart = 0, unitSize = 0;  // the storage unit the bit-fields before share
        for (const LayoutField& f : r.fields) {
            FieldLayout field{f.name, f.type, static_cast<std::uint32_t>(f.offset), static_cast<std::uint32_t>(f.size)};
            if (f.bitField) {
                // A bit-field's place as the declarations give it: its unit's offset, and
                // its first bit within that unit, as consecutive bit-fields of one type share one.
                const std::uint64_t firstBit = f.offset * 8 + f.bit;
                if (unitSize != f.size || firstBit + f.width > (unitStart + unitSize) * 8) {
                    unitStart = f.offset;
                    unitSize = f.size;
                }
                field.offset = static_cast<std::uint32_t>(unitStart);
                field.bitOffset = static_cast<std::uint16_t>(firstBit - unitStart * 8);
                field.bitWidth = static_cast<std::uint16_t>(f.width);
            } else {
                unitSize = 0;
            }
            h.layout.fields.push_back(std::move(field));
        }
        for (const std::string& alias : r.aliases) out.emplace(alias, h);
        out.emplace(r.name, std::move(h));
    }
    return out;
}

// The functions and types, when the inputs name the metadata's; records laid out by
// the compiler where the headers' layouts are given.
bool AddApiTables(const BuildInputs& inputs, std::vector<jet::Table>& tables, ApiTablesReport& report,
                  std::string* error) {
    if (inputs.sdkTypes.empty()) return true;
    SdkTypes sdk;
    if (!ReadSdkTypes(inputs.sdkTypes, sdk, error)) return false;
    HeaderLayouts layouts;
    if (!inputs.headerLayouts.empty() && !ReadHeaderLayouts(inputs.headerLayouts, layouts, error)) return false;
    std::array<HeaderRecords, 2> compiled;
    std::array<const HeaderRecords*, 2> given{};
    for (int t = 0; t < 2; ++t)
        if (const LayoutTarget* target = FindTarget(layouts, t == 0 ? "i686" : "x86_64")) {
            compiled[t] = RecordsOf(*target);
            given[t] = &compiled[t];
        }
    layouts = HeaderLayouts{};
    HeaderFunctions functions;
    if (!inputs.headerFunctions.empty() && !ReadHeaderFunctions(inputs.headerFunctions, functions, error)) return false;
    for (jet::Table& t : MakeApiTables(sdk, given, report, inputs.headerFunctions.empty() ? nullptr : &functions))
        tables.push_back(std::move(t));
    return inputs.typeDifferences.empty() || WriteLines(inputs.typeDifferences, report.differences, error);
}

// api_kind_const and api_error_text, where their extracts are given.
bool AddKindTables(const BuildInputs& inputs, const std::vector<Constant>& constants, std::vector<jet::Table>& tables,
                   BuildResult& result, std::string* error) {
    if (!inputs.sdkKinds.empty()) {
        std::vector<KindConstants> given;
        if (!inputs.headerKinds.empty() && !ReadKindSources(inputs.headerKinds, given, error)) return false;
        given.emplace_back();
        if (!ReadSdkKinds(inputs.sdkKinds, given.back(), error)) return false;
        // The headers' sources in their file's order (mingw-w64's, then Wine's), then the metadata: the order ties go by.
        std::vector<KindSource> sources;
        for (std::size_t s = 0; s + 1 < given.size(); ++s)
            sources.push_back({given[s].origin.substr(0, given[s].origin.find(' ')), true, &given[s]});
        sources.push_back({"metadata", false, &given.back()});
        tables.push_back(MakeKindTable(MergeKindSources(sources, result.kinds)));
        for (std::size_t s = 0; s + 1 < given.size(); ++s) result.kindOrigins.push_back(given[s].origin);
    }
    if (!inputs.errorTexts.empty()) {
        ErrorTexts texts;
        if (!ReadErrorTexts(inputs.errorTexts, texts, error)) return false;
        result.errorCounts = CountErrorTexts(constants, texts);
        tables.push_back(MakeErrorTextTable(texts));
        result.errorTextRows = tables.back().rows.size();
    }
    return true;
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
    std::vector<jet::Table> tables;
    if (!AddKindTables(inputs, constants, tables, result, error)) return false;
    ReleaseFreedMemory();  // before the table's rows are made
    if (!inputs.differences.empty()) {
        std::vector<std::string> lines = result.merge.differences;
        lines.insert(lines.end(), result.kinds.differences.begin(), result.kinds.differences.end());
        if (!WriteLines(inputs.differences, lines, error)) return false;
    }
    result.names = result.merge.names;
    result.rows = constants.size();
    tables.insert(tables.begin(), MakeConstantsTable(std::move(constants)));
    if (!AddApiTables(inputs, tables, result.api, error)) return false;
    ReleaseFreedMemory();  // the rows', before the file's pages are made
    if (!jet::WriteDatabase(outPath, tables, error)) return false;
    std::error_code ec;
    result.fileSize = std::filesystem::file_size(outPath, ec);
    return true;
}

}  // namespace tools
