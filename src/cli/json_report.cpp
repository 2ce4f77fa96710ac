#include "cli/json_report.h"

#include <cmath>

#include <nlohmann/json.hpp>

namespace kinvalo {

namespace {

using nlohmann::json;

json Number(double value) { return std::isfinite(value) ? json(value) : json(nullptr); }

template <typename T>
json Optional(const std::optional<T>& value) {
  if (!value) return nullptr;
  if constexpr (std::is_same_v<T, double>) {
    return Number(*value);
  } else {
    return json(*value);
  }
}

json Limits(double left, double right) { return json::array({Number(left), Number(right)}); }

json PartialResultJson(const Calculation& run) {
  const SearchResult& r = run.result;
  json result = {{"type", FileNumber(r.type)}, {"explanation_coefficient", Number(run.coefExpl)}};
  if (HasHorizontalSegment(r.type)) {
    const PartialResult& own = r.type == FunctionType::Threshold ? r.type3 : r.type4;
    result["breakpoint"] = Number(r.breakpoint);
    result["confidence_limits"] = Limits(own.confLeft, own.confRight);
  } else {
    result["breakpoint"] = nullptr;
    result["confidence_limits"] = nullptr;
  }
  return result;
}

json BrokenLineJson(const BrokenLineFit& fit) {
  return {{"breakpoint", Number(fit.breakpoint)},
          {"confidence_limits", Limits(fit.limits.left, fit.limits.right)},
          {"one_interval", fit.limits.oneInterval},
          {"open_limits", {fit.limits.leftOpen, fit.limits.rightOpen}},
          {"level", Number(fit.level)},
          {"level_se", Number(fit.levelSE)},
          {"slope", Number(fit.slope)},
          {"slope_se", Number(fit.slopeSE)},
          {"r2", Number(fit.r2)},
          {"rss", Number(fit.rss)},
          {"residual_sd", Number(fit.residualSD)},
          {"sup_f", Optional(fit.supF)},
          {"p_breakpoint", Optional(fit.pValue)},
          {"partial_breakpoint_inside", Optional(fit.partialInside)},
          {"equation", EquationText(fit)}};
}

json LeastSquaresJson(const LeastSquaresFit& fit) {
  if (fit.unfit) {
    return {{"unfit", *fit.unfit}, {"line", nullptr}, {"type3", nullptr}, {"type4", nullptr}};
  }
  const StraightLineFit& line = fit.line;
  return {{"unfit", nullptr},
          {"bootstrap_samples", fit.bootstrapSamples},
          {"line",
           {{"intercept", Number(line.intercept)},
            {"slope", Number(line.slope)},
            {"slope_se", Number(line.slopeSE)},
            {"r2", Number(line.r2)},
            {"rss", Number(line.rss)},
            {"equation", EquationText(line)}}},
          {"type3", BrokenLineJson(fit.type3)},
          {"type4", BrokenLineJson(fit.type4)}};
}

const char* PreferenceText(Preference preference) {
  switch (preference) {
    case Preference::PreferType3:
      return "3";
    case Preference::PreferType4:
      return "4";
    case Preference::BestOfTwo:
      break;
  }
  return "best";
}

}  // namespace

std::string CalculationJson(const JsonReport& report, bool oneLine) {
  json object = {{"n", report.n},
                 {"confidence", report.confidence.Percent()},
                 {"preference", PreferenceText(report.preference)},
                 {"messages", report.messages},
                 {"result", nullptr},
                 {"least_squares", nullptr}};
  const std::optional<Calculation>& run = report.calculation;
  if (run && !run->result.refusal) object["result"] = PartialResultJson(*run);
  if (run && run->leastSquares) object["least_squares"] = LeastSquaresJson(*run->leastSquares);
  if (report.file) object["file"] = *report.file;
  // Text that is not UTF-8 (a title read as Windows-1252 is converted
  // already) is replaced rather than refused.
  return object.dump(oneLine ? -1 : 2, ' ', false, json::error_handler_t::replace);
}

}  // namespace kinvalo
