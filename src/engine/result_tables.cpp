#include <cmath>
#include <string>

#include "core/format.h"
#include "engine/engine.h"
#include "engine/engine_internal.h"
#include "regression/regres1.h"

namespace kinvalo {

namespace {

// Not available in the deviations of the statistics pass.
constexpr double kPassNotAvailable = 100000.0;

// The deviations of the sloping side from the segment that runs from the
// level of the horizontal side at BP through the sloping side's centre.
void SlopingSideDeviations(AppState& s, int side, double residual) {
  Regres1State& reg = s.Reg;
  GroupStats& st = reg.GroupStat[side];
  const double n = reg.GroupSum[side].N;
  st.ResSS = residual;
  st.StDevRes = n > 1 ? std::sqrt(residual / (n - 1)) : kPassNotAvailable;
  if (n > 2) {
    st.StErrSlope = st.SSX != 0 ? std::sqrt(residual / ((n - 2) * st.SSX)) : kPassNotAvailable;
  }
}

}  // namespace

double ResultStatisticsPass(AppState& s, double BP, std::uint8_t Type) {
  Regres1State& reg = s.Reg;
  const TDMTulmex& dm = s.DM;
  ComputeGroupStatistics(s, BP);
  const double regSlope1 = reg.SegSlope[1];
  const double regSlope2 = reg.SegSlope[2];
  if (Type == 3) {
    reg.SegSlope[1] = 0;
    reg.SegSlope[2] = reg.AvX[2] == BP ? 0 : (reg.AvY[2] - reg.AvY[1]) / (reg.AvX[2] - BP);
    double sum = 0;
    for (std::int32_t i = 0; i < dm.NrOfData; ++i) {
      const double x = dm.XData.at(i);
      if (x > BP) {
        const double e = dm.YData.at(i) - (reg.AvY[1] + reg.SegSlope[2] * (x - BP));
        sum += e * e;
      }
    }
    reg.ResidualSS[2] = sum;
    SlopingSideDeviations(s, 2, sum);
    reg.SegSlope[2] = regSlope2;
  } else if (Type == 4) {
    reg.SegSlope[2] = 0;
    reg.SegSlope[1] = BP == reg.AvX[1] ? 0 : (reg.AvY[2] - reg.AvY[1]) / (BP - reg.AvX[1]);
    double sum = 0;
    for (std::int32_t i = 0; i < dm.NrOfData; ++i) {
      const double x = dm.XData.at(i);
      if (x < BP) {
        const double e = dm.YData.at(i) - (reg.AvY[2] + reg.SegSlope[1] * (x - BP));
        sum += e * e;
      }
    }
    reg.ResidualSS[1] = sum;
    SlopingSideDeviations(s, 1, sum);
    reg.SegSlope[1] = regSlope1;
  }
  reg.ResidualSS[1] = reg.ResidualSS[2] = 0;
  for (std::int32_t i = 0; i < dm.NrOfData; ++i) {
    const double x = dm.XData.at(i);
    const int k = x < BP ? 1 : 2;
    const double e = dm.YData.at(i) - (reg.SegSlope[k] * (x - reg.AvX[k]) + reg.AvY[k]);
    reg.ResidualSS[k] += e * e;
  }
  const double rss = reg.ResidualSS[1] + reg.ResidualSS[2];
  return reg.TotalSSY != 0 ? 1 - rss / reg.TotalSSY : 0;
}

void WriteParameterTable(AppState& s, double BP, std::uint8_t Type, double Coef) {
  Regres1State& reg = s.Reg;
  SharedResults& r = s.R;
  TextWriter& out = reg.OutFile;
  const double N1 = reg.GroupSum[1].N;
  const double N2 = reg.GroupSum[2].N;
  const double N = s.DM.NrOfData;
  const GroupStats& st1 = reg.GroupStat[1];
  const GroupStats& st2 = reg.GroupStat[2];

  auto sdr = [](double rss, double n) { return rss > 0 && n > 1 ? std::sqrt(rss / (n - 1)) : rss; };
  const double SDR1 = sdr(reg.ResidualSS[1], N1);
  const double SDR2 = sdr(reg.ResidualSS[2], N2);
  const double p1 = N1 / N;
  const double p2 = N2 / N;

  // The increase of Y over the breakpoint, measured from the horizontal
  // level to the far end of the sloping side when it runs the other way.
  double D4 = (reg.AvY[2] - reg.AvY[1]) * p1;
  double P4 = p1;
  bool Alt4 = false;
  if (D4 > 0 && Type == 4) {
    const double Ytop = reg.SegSlope[1] > 0 ? (BP - r.XMin) * reg.SegSlope[1] + reg.AvY[2] : 0;
    P4 = p2;
    D4 = (Ytop - reg.AvY[2]) * P4 + (1 - P4) * (Ytop - reg.AvY[1]);
    Alt4 = true;
  }
  double D3 = (reg.AvY[1] - reg.AvY[2]) * p2;
  double P3 = p2;
  bool Alt3 = false;
  if (D3 < 0 && Type == 3) {
    const double Ybot = reg.SegSlope[2] > 0 ? (r.XMax - BP) * reg.SegSlope[2] + reg.AvY[1] : 0;
    P3 = p1;
    D3 = (Ybot - reg.AvY[1]) * P3 + (1 - P3) * (Ybot - reg.AvY[2]);
    Alt3 = true;
  }
  const double Vp = (N1 * N2 / (N * N)) / N;
  auto meanVariance = [](const GroupStats& st, double n) { return n > 0 ? st.StDevY * st.StDevY / n : 0.0; };
  const double VA = Alt4 ? meanVariance(st2, N2) : meanVariance(st1, N1);
  const double VB = Alt3 ? meanVariance(st1, N1) : meanVariance(st2, N2);
  const double VD = VA + VB;
  const double dY = reg.AvY[2] - reg.AvY[1];
  const double q4 = Alt4 ? p2 : p1;
  const double q3 = Alt3 ? p1 : p2;
  const double SE4 = std::sqrt(dY * dY * Vp + q4 * q4 * VD);
  const double SE3 = std::sqrt(dY * dY * Vp + q3 * q3 * VD);
  const double SEp = std::sqrt(Vp);

  out.WriteLine("");
  if (Type == 3) {
    out.WriteLine(" Parameters for function type 3 and method" + I(r.ResultMethod, 3));
    out.WriteLine(std::string("   Slope > BPx              Ybp") +
                  (Alt3 ? "              N</Nt      increase Yi" : "              N>/Nt      increase Yi"));
    if (reg.SegSlope[2] == 0) {
      reg.SegSlope[2] = reg.AvX[2] == r.BPType3 ? 10.0 : (reg.AvY[2] - reg.AvY[1]) / (reg.AvX[2] - r.BPType3);
    }
    out.WriteLine(E(reg.SegSlope[2], 13, 3) + E(reg.AvY[1], 21, 3) + E(P3, 17, 3) + E(D3, 14, 3));
    out.WriteLine(std::string("  St.Err.Slope>BPx       St.Err.BPx") +
                  (Alt3 ? "      St.Err.N</Nt    St.Err.Yi" : "      St.Err.N>/Nt    St.Err.Yi"));
    out.WriteLine(E(reg.StErrSlope, 13, 3) + E(r.StErrBPType3, 21, 3) + E(SEp, 17, 3) + E(SE3, 14, 3));
  } else {
    out.WriteLine(" Parameters for function type 4 and method" + I(r.ResultMethod, 3));
    out.WriteLine(std::string("   Slope < BPx              Ybp") +
                  (Alt4 ? "              N>/Nt      increase Yi" : "              N</Nt      increase Yi"));
    if (reg.SegSlope[1] == 0) {
      reg.SegSlope[1] = r.BPType4 == reg.AvX[1] ? 10.0 : (reg.AvY[2] - reg.AvY[1]) / (r.BPType4 - reg.AvX[1]);
    }
    out.WriteLine(E(reg.SegSlope[1], 13, 3) + E(reg.AvY[2], 21, 3) + E(P4, 17, 3) + E(D4, 14, 3));
    out.WriteLine(std::string("  St.Err.Slope<BPx       St.Err.BPx") +
                  (Alt4 ? "      St.Err.N>/Nt    St.Err.Yi" : "      St.Err.N</Nt    St.Err.Yi"));
    out.WriteLine(E(reg.StErrSlope, 13, 3) + E(r.StErrBPType4, 21, 3) + E(SEp, 17, 3) + E(SE4, 14, 3));
  }
  out.WriteLine("   St.Dev.Yr < BPx     St.Dev.Yr > BPx    St.Dev.Ybp");
  out.WriteLine(E(SDR1, 13, 3) + E(SDR2, 21, 3) + E(reg.StDevYbp, 17, 3));
  // The central explanation is never below the table's own.
  if (r.CoefExplCombined < Coef) r.CoefExplCombined = Coef;
  if (Type == 3) {
    out.WriteLine("   Slope < BPx         St.Err.Slope<BPx   Expl. Coeff.  Central expl.");
    out.WriteLine(E(reg.SegSlope[1], 13, 3) + E(reg.StErrSlope1, 21, 3) + E(Coef, 17, 3) +
                  E(r.CoefExplCombined, 14, 3));
    out.WriteLine("   Conf. BP left       Conf. BP right     Av. Y end     BP end");
    out.WriteLine(E(r.ConfBPLeftType3, 13, 4) + E(r.ConfBPRightType3, 21, 4) + E(r.AvYType4, 17, 3) +
                  E(r.BPType4, 15, 4));
    out.WriteLine("   Conf. BP end low    Conf. BP end high  ");
    out.WriteLine(E(r.ConfBPLeftType4, 13, 4) + E(r.ConfBPRightType4, 21, 4));
  } else {
    out.WriteLine("   Slope > BPx         St.Err.Slope>BPx   Expl. Coeff.  Central expl.");
    out.WriteLine(E(reg.SegSlope[2], 13, 3) + E(reg.StErrSlope2, 21, 3) + E(Coef, 17, 3) +
                  E(r.CoefExplCombined, 14, 3));
    out.WriteLine("   Conf. BP left       Conf. BP right     Av. Y top     BP top");
    out.WriteLine(E(r.ConfBPLeftType4, 13, 4) + E(r.ConfBPRightType4, 21, 4) + E(r.AvYType3, 17, 3) +
                  E(r.BPType3, 14, 4));
    out.WriteLine("   Conf. BP top low    Conf. BP top high  ");
    out.WriteLine(E(r.ConfBPLeftType3, 13, 4) + E(r.ConfBPRightType3, 21, 4));
  }
}

}  // namespace kinvalo
