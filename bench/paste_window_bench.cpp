// The multi-cell paste through the window: the input table laid out again
// and the view brought up to date, on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>

#include <filesystem>
#include <string>

#include "bench/bench_support.h"

#include "app/application.h"
#include "app/input_tab.h"

namespace kinvalo {
namespace {

void BM_PasteIntoWindow(benchmark::State& state) {
  std::string text;
  for (int i = 1; i <= state.range(0); ++i) text += std::to_string(i % 97) + ",5\t" + std::to_string(i) + "\r\n";
  HeadlessPlatform ui;
  ui.defaultAnswer = true;
  for (auto _ : state) {
    state.PauseTiming();
    app::KinvaloApplication windows(ui, [] {});
    windows.Start();
    windows.mainWindow->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    QApplication::processEvents();
    state.ResumeTiming();
    windows.mainWindow->Input().StringGrid1SetEditText(1, 1, text);
    QApplication::processEvents();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PasteIntoWindow)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kinvalo

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Without a runtime folder Qt says so on standard error, between the
  // benchmark's lines; the benchmark gives it one of its own (private, as
  // Qt wants it), and keeps the platform plugin's own notes off.
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const std::filesystem::path runtime = std::filesystem::path(kinvalo::bench::Folder()) / "runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.string()));
  }
  qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
  QApplication application(argc, argv);
  return kinvalo::bench::RunBenchmarks(argc, argv);
}
