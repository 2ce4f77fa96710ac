#include "calc/calculation.h"

#include "anova/anova.h"
#include "engine/engine.h"

namespace kinvalo {

double ConfidenceFactorFor(int percent) {
  if (percent == 95) return 2.1;
  if (percent == 98) return 2.5;
  return 1.75;
}

void ReplaceEmptyTitles(TDMTulmex& dm) {
  if (dm.Title1.empty()) dm.Title1 = " No first title given";
  if (dm.Title2.empty()) dm.Title2 = " No second title given";
}

bool CalculateResults(AppState& s) {
  s.R.DataUnfit = false;
  PartialRegression(s);
  if (s.R.DataUnfit) return false;
  AnovaRun(s);
  return true;
}

}  // namespace kinvalo
