// The output-file reader and the result-text loader on any
// bytes, as when a user opens a result from a colleague or an older
// version; then every graph of a file that was accepted.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "data/output_reader.h"
#include "fuzz_support.h"

using namespace kinvalo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::WriteInput("result.out", data, size);
  OutputReadResult read;
  try {
    read = ReadOutputFile(path, FunctionType::NoRelation);
  } catch (const std::exception&) {
    // The window's guard shows it and the program goes on.
    return 0;
  }
  fuzz::Require(read.model.has_value() != read.refusal.has_value(),
                "a read neither refused the file nor gave its values");
  fuzz::Require(read.refusal != ReadRefusal::CannotOpen, "the reader refused a file that is there");
  if (read.model) {
    const std::size_t n = read.model->x.size();
    fuzz::Require(read.model->yObs.size() == n && read.model->yCalc.size() == n,
                  "the observation arrays differ from the number of data sets");
  }

  for (const char* kind : {".out", ".txt", ".var"}) {
    const ResultText text = LoadResultText(path, kind);
    fuzz::Require((text.status == TextLoad::Loaded) == (text.lines.size() >= 2),
                  "a result text judged wrongly");
  }

  if (read.model) fuzz::DrawEveryGraph(path);
  return 0;
}
