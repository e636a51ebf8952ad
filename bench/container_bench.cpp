// Loading a large product container against reading its bytes, cell read cost and the
// in-memory size of a dictionary-form table against its blob. The container is built once,
// in memory, and written to a scratch folder; a summary with the ratios follows the table.

#include "core/data/container_format.h"
#include "core/data/orsik_connection.h"
#include "core/data/str_table_db.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRows = 200000;
const std::string kTable = "qry SuctionCups";

struct TBenchData {
    fs::path Folder;
    std::string PlainPath, ScrambledPath;
    size_t PlainSize = 0, ScrambledSize = 0, BlobSize = 0;
    int Cols = 0;
};

std::string Pick(std::mt19937& rng, const std::vector<std::string>& values) {
    return values[rng() % values.size()];
}

// A suction cup table as the catalogue has it, scaled up: order codes and part numbers are
// unique, short cuts and masses nearly so, groups, shapes, materials and sizes repeat a lot.
std::vector<uint8_t> ProductTableBlob(int& cols) {
    TStrTableDB32Bit t;
    t.Loaded();
    auto& orderCode = t.AddColumn("OrderCode", csfString);
    auto& shortCut = t.AddColumn("ShortCut", csfString);
    auto& group = t.AddColumn("Group", csfString);
    auto& shape = t.AddColumn("~ShapeKey", csfString);
    auto& material = t.AddColumn("~MaterialKey", csfString);
    auto& size = t.AddColumn("Size", csfByte, 3);
    auto& holderSize = t.AddColumn("HolderSize", csfWord, 4);
    auto& connector = t.AddColumn("Connector", csfStringLen, 12);
    auto& partNo = t.AddColumn("PartNo", csfDWord);
    auto& diameter = t.AddColumn("DiameterLong", csfFloat, 8, 1);
    auto& volume = t.AddColumn("Volume", csfFloat);
    auto& mass = t.AddColumn("Mass_kg", csfFloat);
    auto& force = t.AddColumn("Fs07", csfFloat, 8, 1);
    auto& filter = t.AddColumn("~Filter", csfPBool);
    auto& angle = t.AddColumn("~AngleCompensator", csfBool, 0, 0, 1);
    auto& ok = t.AddColumn("~ok", csfPBool);
    auto& description = t.AddColumn("Description", csfWideString);
    cols = t.Cols();

    const std::vector<std::string> groups = {"SPB1", "SPB2", "SPF", "SPU", "SPK",  "SPO",
                                             "SPL",  "SAF",  "SAB", "FSG", "SPB4", "SGM"};
    const std::vector<std::string> shapes = {"~ShapeRound", "~ShapeOval", "~ShapeBellows",
                                             "~ShapeFlat",  "~ShapeDeep", "~ShapeBellows2"};
    const std::vector<std::string> materials = {"~NBR", "~SI",  "~PU",  "~FKM",
                                                "~NK",  "~HT1", "~SIT", "~EPDM"};
    const std::vector<std::string> connectors = {"G1/8-AG", "G1/4-AG", "M5-IG",  "G3/8-IG",
                                                 "G1/8-IG", "M10x1",   "G1/2-AG"};
    const std::vector<std::string> words = {"Flachsauger", "Faltenbalgsauger", "Ovalsauger",
                                            "Saugnapf",    "Glockensauger",    "Greifer"};
    std::mt19937 rng(20240607);
    for (int r = 0; r < kRows; ++r) {
        const int sz = 2 + static_cast<int>(rng() % 20) * 5;
        const std::string g = Pick(rng, groups);
        const std::string m = Pick(rng, materials);
        char code[32];
        std::snprintf(code, sizeof code, "10.01.%02d.%05d", r / 100000 + 6, r % 100000);
        orderCode.AppendText(code);
        shortCut.AppendText(g + "-" + std::to_string(sz) + "-" + m.substr(1) + "-" +
                            std::to_string(rng() % 1000));
        group.AppendText(g);
        shape.AppendText(Pick(rng, shapes));
        material.AppendText(m);
        size.AppendInt(sz);
        holderSize.AppendInt(static_cast<int>(rng() % 40) * 2);
        connector.AppendText(Pick(rng, connectors));
        partNo.AppendInt(10000000 + r);
        diameter.AppendFloat(2.0 + static_cast<double>(rng() % 60) * 2.5);
        volume.AppendFloat(static_cast<double>(rng() % 1000000) * 1e-9);
        mass.AppendFloat(static_cast<double>(rng() % 50000) * 1e-5);
        force.AppendFloat(static_cast<double>(rng() % 500) * 0.5);
        filter.AppendBool(rng() % 4 == 0);
        angle.AppendBool(rng() % 3 == 0);
        ok.AppendBool(true);
        description.AppendText(Pick(rng, words) + " " + g + " Ø" + std::to_string(sz) + " " +
                               m.substr(1) + " " + Pick(rng, connectors));
    }
    t.SetRows(kRows);
    t.SetIndexed(true);
    return t.SaveToBytes();
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(f);
}

TBenchData& Data() {
    static TBenchData data;
    return data;
}

void Prepare() {
    TBenchData& d = Data();
    const std::vector<uint8_t> blob = ProductTableBlob(d.Cols);
    d.BlobSize = blob.size();
    const std::vector<std::string> header = {"FileFormatVersion=1.3"};
    const std::vector<std::span<const uint8_t>> blobs = {blob};
    const auto plain = BuildContainer(header, {kTable}, blobs, false);
    const auto scrambled = BuildContainer(header, {kTable}, blobs, true);
    d.Folder = fs::temp_directory_path() / ("vacuum_bench_" + std::to_string(::getpid()));
    fs::create_directories(d.Folder);
    d.PlainPath = (d.Folder / "plain.dat").string();
    d.ScrambledPath = (d.Folder / "scrambled.dat").string();
    WriteFile(d.PlainPath, plain);
    WriteFile(d.ScrambledPath, scrambled);
    d.PlainSize = plain.size();
    d.ScrambledSize = scrambled.size();
}

const std::string& PathOf(bool scrambled) {
    return scrambled ? Data().ScrambledPath : Data().PlainPath;
}
size_t SizeOf(bool scrambled) {
    return scrambled ? Data().ScrambledSize : Data().PlainSize;
}

// Hands freed memory back to the system, so that the next round touches fresh pages as a
// program start does. Page faults are a large part of a load on a virtual machine, and
// whether the allocator keeps the pages of the last round otherwise depends on the order
// of the frees; the "reused" runs show that case.
void FreshMemory(benchmark::State& state, bool fresh = true) {
    if (!fresh) return;
    state.PauseTiming();
    malloc_trim(0);
    state.ResumeTiming();
}

// The physical limit: the whole file into a buffer, nothing done with the bytes.
void BM_ReadFile(benchmark::State& state, bool scrambled, bool fresh) {
    const std::string& path = PathOf(scrambled);
    for (auto _ : state) {
        FreshMemory(state, fresh);
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        const long size = std::ftell(f);
        std::fseek(f, 0, SEEK_SET);
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[static_cast<size_t>(size)]);
        const size_t got = std::fread(buffer.get(), 1, static_cast<size_t>(size), f);
        std::fclose(f);
        benchmark::DoNotOptimize(buffer.get());
        if (got != static_cast<size_t>(size)) state.SkipWithError("short read");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * SizeOf(scrambled)));
}

// What the program does at start-up: open the container, then bind and load the table.
void BM_Load(benchmark::State& state, bool scrambled, bool fresh) {
    const std::string& path = PathOf(scrambled);
    size_t memory = 0;
    for (auto _ : state) {
        FreshMemory(state, fresh);
        TOrsikConnection connection;
        connection.Loaded();
        connection.SetDataFile(path);
        TStrTableDB32Bit table;
        table.Loaded();
        table.SetTable(kTable);
        table.SetConnection(&connection);
        if (table.Rows() != kRows) {
            state.SkipWithError(
                ("table not loaded: " + connection.LastError() + " " + table.LoadError()).c_str());
            break;
        }
        memory = table.MemoryBytes();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * SizeOf(scrambled)));
    state.counters["table_MB"] = static_cast<double>(memory) / 1e6;
    state.counters["blob_MB"] = static_cast<double>(Data().BlobSize) / 1e6;
    state.counters["mem/blob"] = static_cast<double>(memory) / static_cast<double>(Data().BlobSize);
}

// The parts of a load, to see where its time goes.
std::shared_ptr<const std::vector<uint8_t>> FileBytes(bool scrambled) {
    std::FILE* f = std::fopen(PathOf(scrambled).c_str(), "rb");
    auto bytes = std::make_shared<std::vector<uint8_t>>(SizeOf(scrambled));
    if (std::fread(bytes->data(), 1, bytes->size(), f) != bytes->size()) std::exit(1);
    std::fclose(f);
    return bytes;
}

void BM_ParseContainer(benchmark::State& state, bool scrambled) {
    const auto bytes = FileBytes(scrambled);
    for (auto _ : state) {
        FreshMemory(state);
        TContainerImage image;
        benchmark::DoNotOptimize(ParseContainer(bytes, image));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes->size()));
}

void BM_ValidateTables(benchmark::State& state) {
    TContainerImage image;
    ParseContainer(FileBytes(false), image);
    for (auto _ : state) ValidateContainerTables(image);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Data().BlobSize));
}

// As the connection loads a table: its columns read the image's bytes in place.
void BM_LoadFromStream(benchmark::State& state) {
    TContainerImage image;
    ParseContainer(FileBytes(false), image);
    for (auto _ : state) {
        FreshMemory(state);
        TStrTableDB32Bit table;
        table.Loaded();
        table.LoadFromStream(image.Blobs[0], image.Storage);
        benchmark::DoNotOptimize(table.Rows());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Data().BlobSize));
}

// Every cell of the table through GetField, in dictionary form and expanded to rows.
void BM_ReadCells(benchmark::State& state, bool indexed) {
    TContainerImage image;
    ParseContainer(FileBytes(false), image);
    TStrTableDB32Bit table;
    table.Loaded();
    table.LoadFromStream(image.Blobs[0]);
    table.SetIndexed(indexed);
    const int rows = table.Rows(), cols = table.Cols();
    TTerm term;
    for (auto _ : state) {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                table.GetField(r, c, term);
                benchmark::DoNotOptimize(term.Text.data());
            }
    }
    const auto cells = static_cast<int64_t>(rows) * cols;
    state.SetItemsProcessed(state.iterations() * cells);
    state.counters["time/cell"] = benchmark::Counter(
        static_cast<double>(state.iterations() * cells),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
    state.counters["table_MB"] = static_cast<double>(table.MemoryBytes()) / 1e6;
}

#define VACUUM_LOAD_PAIR(name, scrambled, fresh)                                                   \
    BENCHMARK_CAPTURE(BM_ReadFile, name, scrambled, fresh)                                         \
        ->UseRealTime()                                                                            \
        ->Unit(benchmark::kMillisecond);                                                           \
    BENCHMARK_CAPTURE(BM_Load, name, scrambled, fresh)->UseRealTime()->Unit(benchmark::kMillisecond)
VACUUM_LOAD_PAIR(plain_fresh, false, true);
VACUUM_LOAD_PAIR(scrambled_fresh, true, true);
VACUUM_LOAD_PAIR(plain_reused, false, false);
VACUUM_LOAD_PAIR(scrambled_reused, true, false);
BENCHMARK_CAPTURE(BM_ParseContainer, plain, false)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ParseContainer, scrambled, true)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValidateTables)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFromStream)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadCells, indexed, true)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadCells, rows, false)->UseRealTime()->Unit(benchmark::kMillisecond);

// Keeps the seconds per iteration of every run (the median when repetitions are asked for)
// for the summary.
class TSummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type != Run::RT_Iteration && !median) continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
            if (median || !seconds_.count(name)) {
                const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
                seconds_[name] = run.GetAdjustedRealTime() / unit;
                cpuSeconds_[name] = run.GetAdjustedCPUTime() / unit;
            }
            for (const auto& [key, counter] : run.counters)
                counters_[name + ":" + key] = counter.value;
        }
    }

    double Seconds(const std::string& name) const {
        auto it = seconds_.find(name);
        return it == seconds_.end() ? -1 : it->second;
    }
    double CpuSeconds(const std::string& name) const {
        auto it = cpuSeconds_.find(name);
        return it == cpuSeconds_.end() ? -1 : it->second;
    }
    double Counter(const std::string& key) const {
        auto it = counters_.find(key);
        return it == counters_.end() ? -1 : it->second;
    }

private:
    std::map<std::string, double> seconds_;
    std::map<std::string, double> cpuSeconds_;
    std::map<std::string, double> counters_;
};

void PrintSummary(const TSummaryReporter& rep) {
    const TBenchData& d = Data();
    std::printf("\nSummary: %d rows x %d columns, dictionary form; file %.2f MB plain, "
                "%.2f MB scrambled\n",
                kRows, d.Cols, static_cast<double>(d.PlainSize) / 1e6,
                static_cast<double>(d.ScrambledSize) / 1e6);
    for (const char* form :
         {"plain_fresh", "scrambled_fresh", "plain_reused", "scrambled_reused"}) {
        const bool scrambled = form[0] == 's';
        const double read = rep.Seconds(std::string("BM_ReadFile/") + form);
        const double load = rep.Seconds(std::string("BM_Load/") + form);
        if (read <= 0 || load <= 0) continue;
        const double mb = static_cast<double>(SizeOf(scrambled)) / 1e6;
        // On a shared machine the wall clock also counts waiting; the CPU ratio does not.
        const double readCpu = rep.CpuSeconds(std::string("BM_ReadFile/") + form);
        const double loadCpu = rep.CpuSeconds(std::string("BM_Load/") + form);
        std::printf("  %-16s  read %6.2f ms (%5.0f MB/s)  load %6.2f ms (%5.0f MB/s)  "
                    "load/read %4.1fx wall, %4.1fx CPU  (goal <= 3x)\n",
                    form, read * 1e3, mb / read, load * 1e3, mb / load, load / read,
                    loadCpu / readCpu);
    }
    const double parse = rep.Seconds("BM_ParseContainer/plain");
    const double descramble = rep.Seconds("BM_ParseContainer/scrambled");
    const double validate = rep.Seconds("BM_ValidateTables");
    const double stream = rep.Seconds("BM_LoadFromStream");
    if (parse > 0 && descramble > 0 && validate > 0 && stream > 0)
        std::printf("  load parts: parse %.2f ms (scrambled %.2f ms), validate %.2f ms, "
                    "LoadFromStream %.2f ms\n",
                    parse * 1e3, descramble * 1e3, validate * 1e3, stream * 1e3);
    for (const char* form : {"indexed", "rows"}) {
        const double ns = rep.Counter(std::string("BM_ReadCells/") + form + ":time/cell");
        if (ns > 0) std::printf("  cell read (%s): %.1f ns per cell\n", form, ns * 1e9);
    }
    const double ratio = rep.Counter("BM_Load/plain_fresh:mem/blob");
    if (ratio > 0)
        std::printf("  table in memory %.2f MB, blob in file %.2f MB: memory/file %.2fx  "
                    "(goal < 2x)\n",
                    rep.Counter("BM_Load/plain_fresh:table_MB"),
                    static_cast<double>(d.BlobSize) / 1e6, ratio);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Prepare();
    TSummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(Data().Folder, ec);
    return 0;
}
