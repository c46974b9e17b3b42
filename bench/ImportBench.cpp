// Project import of 200,000 tree records written as R's write.csv writes them (every text in
// quotes, some with commas inside) against reading the same files with the CSV library alone,
// both in the same run: import_s / csv_library_s is the cost of checking, expanding and
// building the project on top of the parsing. project_write_s is the rest of
// `wox project import`, writing project.db, and command_per_library the whole command's ratio.

#include <benchmark/benchmark.h>

#include <csv.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "CsvImport.h"
#include "CsvTable.h"
#include "InputFile.h"

namespace
{
constexpr int kStands = 1000;
constexpr int kTreesPerStand = 200;

struct SFiles
{
    std::string stands, trees;
};

SFiles WriteFiles(const std::string& folder)
{
    std::filesystem::create_directories(folder);
    SFiles files{folder + "/stands.csv", folder + "/trees.csv"};
    std::ofstream stands(files.stands, std::ios::binary);
    stands << "\"stand_id\",\"area_ha\",\"site_index\"\n";
    for (int s = 0; s < kStands; ++s)
        stands << "\"S-" << s << "\"," << 1.0 + s % 17 << "," << 24 + s % 15 << "\n";
    std::ofstream trees(files.trees, std::ios::binary);
    trees << "\"stand_id\",\"tree_id\",\"species\",\"dbh_cm\",\"height_m\",\"tpha\"\n";
    const char* species[] = {"PSME", "TSHE", "THPL", "ALRU2"};
    for (int s = 0; s < kStands; ++s)
        for (int t = 0; t < kTreesPerStand; ++t)
            trees << "\"S-" << s << "\",\"" << t << (t % 10 ? "\"" : ", b\"") << ",\"" << species[t % 4] << "\"," << 5.0 + (t * 7 % 60) * 0.9
                  << "," << 6.0 + (t * 7 % 60) * 0.5 << "," << 20 + t % 30 << "\n";
    return files;
}

// The reference: the file read whole with the one read the import makes (reading through a
// stream iterator, a character at a time, would pad it), and every field handed to callbacks,
// nothing else.
size_t ParseWithLibraryAlone(const std::string& path)
{
    std::string bytes;
    if (!WoxReadFile(path, CCsvTable::kMaxFileBytes, bytes, nullptr))
        return 0;
    csv_parser parser;
    csv_init(&parser, CSV_STRICT_FINI);   // the options the import parses with
    size_t nFields = 0;
    auto onField = [](void* pField, size_t, void* pCount) { *static_cast<size_t*>(pCount) += pField != nullptr; };
    auto onRecord = [](int, void*) {};
    csv_parse(&parser, bytes.data(), bytes.size(), onField, onRecord, &nFields);
    csv_fini(&parser, onField, onRecord, &nFields);
    csv_free(&parser);
    return nFields;
}

double Seconds(std::chrono::steady_clock::time_point start) { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); }

void BM_ImportAgainstCsvLibrary(benchmark::State& state)
{
    const std::string folder = (std::filesystem::temp_directory_path() / "wox-import-bench").string();
    const SFiles files = WriteFiles(folder);
    auto canonical = [](const char* pszCode) {
        std::string code(pszCode);
        std::transform(code.begin(), code.end(), code.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return code == "PSME" || code == "TSHE" || code == "THPL" || code == "ALRU2" ? code : std::string();
    };
    double dLibrary = 0.0, dImport = 0.0, dWrite = 0.0;
    for (auto _ : state)
    {
        auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(ParseWithLibraryAlone(files.stands) + ParseWithLibraryAlone(files.trees));
        dLibrary += Seconds(start);

        start = std::chrono::steady_clock::now();
        SProject project;
        SImportReport report;
        const bool bOk = ParseProjectCsv(files.stands, files.trees, canonical, SImportOptions{}, project, report);
        dImport += Seconds(start);
        if (!bOk || project.stands.size() != kStands)
        {
            state.SkipWithError(report.refusals.empty() ? "import failed" : report.refusals.front().c_str());
            break;
        }
        const std::string projectFolder = folder + "/project";
        std::filesystem::remove_all(projectFolder);
        std::string error;
        start = std::chrono::steady_clock::now();
        const bool bWritten = WriteProject(projectFolder, project, &error);
        dWrite += Seconds(start);
        if (!bWritten)
        {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["csv_library_s"] = dLibrary / n;
    state.counters["import_s"] = dImport / n;
    state.counters["import_per_library"] = dLibrary > 0.0 ? dImport / dLibrary : 0.0;
    state.counters["project_write_s"] = dWrite / n;
    state.counters["command_per_library"] = dLibrary > 0.0 ? (dImport + dWrite) / dLibrary : 0.0;
    state.counters["tree_records"] = kStands * kTreesPerStand;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ImportAgainstCsvLibrary)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK_MAIN();
