// Speed of DecodeScan on a typical scan line and on one very long line.
#include "decode/Converter.h"
#include "tests/support/ScanEncoder.h"

#include <benchmark/benchmark.h>

namespace {

void BM_DecodeScanTypicalLine(benchmark::State& state) {
    const std::u16string line =
        zelvo::test::EncodeScan("000000002101482501", "IBN", "9780131103627");
    for (auto _ : state) {
        benchmark::DoNotOptimize(zelvo::DecodeScan(line));
    }
    state.SetLabel(std::to_string(line.size()) + " characters");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeScanTypicalLine);

void BM_DecodeScanLongLine(benchmark::State& state) {
    const auto symbols = static_cast<std::size_t>(state.range(0));
    std::u16string line(symbols + 4, u'b');
    line.front() = u'.';
    line.replace(line.size() - 3, 3, u"...");
    for (auto _ : state) {
        benchmark::DoNotOptimize(zelvo::DecodeScan(line));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * symbols));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DecodeScanLongLine)->RangeMultiplier(8)->Range(1 << 12, 1 << 24)->Complexity();

} // namespace

BENCHMARK_MAIN();
