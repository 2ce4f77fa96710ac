// The multi-cell paste of the input table: a spreadsheet block of two
// columns pasted into the first Y cell, without any window.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_support.h"

#include "data/input_table.h"

namespace kinvalo {
namespace {

std::string Block(int rows) {
  std::string text;
  for (int i = 1; i <= rows; ++i) {
    text += std::to_string(50 + i % 37) + "," + std::to_string(i % 100) + "\t" + std::to_string(i) + ".25\r\n";
  }
  return text;
}

void BM_PasteTwoColumns(benchmark::State& state) {
  const std::string text = Block(static_cast<int>(state.range(0)));
  HeadlessPlatform ui;
  ui.defaultAnswer = true;
  for (auto _ : state) {
    state.PauseTiming();
    WorkingData dm(ui);
    InputPage page(dm);
    page.LayOutTable();
    state.ResumeTiming();
    page.StringGrid1SetEditText(1, 1, text);
    benchmark::DoNotOptimize(page.Grid.Cell(2, page.TableRows()));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PasteTwoColumns)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The rows taken into the working data by the calculation run.
void BM_TakeTableRows(benchmark::State& state) {
  const std::string text = Block(static_cast<int>(state.range(0)));
  HeadlessPlatform ui;
  ui.defaultAnswer = true;
  WorkingData dm(ui);
  InputPage page(dm);
  page.LayOutTable();
  page.StringGrid1SetEditText(1, 1, text);
  for (auto _ : state) benchmark::DoNotOptimize(page.TakeTableRows("a", "b"));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TakeTableRows)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kinvalo
