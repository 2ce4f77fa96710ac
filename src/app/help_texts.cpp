#include "app/help_texts.h"

namespace kinvalo::app::texts {

const char* const kIntro = R"(INTRODUCTION TO THE Kinvalo PROGRAM

Kinvalo performs a partial regression analysis of a series of data: it looks
at the relation of a dependent variable Y with an independent variable X and
finds out whether that relation holds over the whole range of X, or only over
a part of it.

It recognises two situations:

Type 3: from the start of the data (the lowest X values) there is a range over
which the regression coefficient of Y upon X does not differ significantly
from zero. Over the first N values the slope may be taken as zero; beyond
them Y rises or falls with X. Example: a crop yield that is not affected by
soil salinity up to a threshold and declines beyond it.

Type 4: the same at the end of the data (the highest X values): Y rises or
falls with X up to a point, beyond which the slope may be taken as zero.
Example: a crop yield that rises with the fertiliser dose until it reaches a
plateau.

When neither situation holds, the result is the ordinary straight regression
line of Y upon X (Type 1).

The point on the X axis where the horizontal and the sloping part meet is the
breakpoint. The program gives the breakpoint with its confidence limits, the
regression parameters of both parts with their standard errors, a coefficient
of explanation and a variance analysis with F-tests.

How to proceed: click on the Input tab, type or paste the Y and X values,
give two title lines, choose the minimum confidence and your preference, and
click "Save/calculate". The report appears on the Output tab; the Graphics
tab shows the data with the fitted lines.

Use the buttons under "Details" for more about the function types.)";

const char* const kTypes = R"(EXPLANATION OF THE FUNCTION TYPES USED

The relation of Y with X can take one of seven shapes:

Type 0: one horizontal line; Y does not depend on X at all.
Type 1: one sloping straight line over the whole range of X.
Type 2: two sloping segments that meet at the breakpoint, with different
        slopes.
Type 3: first a horizontal segment, then a sloping one: Y does not depend on
        X below the breakpoint and does above it.
Type 4: first a sloping segment, then a horizontal one: Y depends on X below
        the breakpoint and no longer above it.
Type 5: two horizontal segments at different levels: Y jumps at the
        breakpoint.
Type 6: two segments that do not meet at the breakpoint, at least one of
        them sloping.

When a second independent variable Z is present, there are two calculation
sequences for types 2 and higher: Y upon X first and then the residuals upon
Z, or the other way round.

For types 2, 3 and 4 there are two calculation methods: the sloping part is
the regression line of its own data cut off at the breakpoint, or the
horizontal part is the mean of its data and the sloping line starts from
that level at the breakpoint.

The best function is the one with the highest coefficient of explanation;
it is then submitted to significance tests. When a type does not pass them
it can be excluded, and the next best type is looked for.

This program calculates Types 1, 3 and 4 of Y upon X.)";

const char* const kTests = R"(SIGNIFICANCE TESTS

A function type is accepted only when its parameters are significant with a
certainty of at least 90 %:

- a sloping segment must have a regression coefficient that differs from
  zero with that certainty;
- a horizontal segment must have a regression coefficient that does not
  differ significantly from zero;
- for two segments, the difference of their regression coefficients (or of
  their levels) must be significant;
- the confidence limits of the breakpoint must lie well inside the range of
  the data; a breakpoint close to the smallest or largest X is not
  trustworthy.

When a type fails one of these tests, the straight line (Type 1) is
reported instead.)";

const char* const kSequence = R"(CALCULATION SEQUENCES

With a second independent variable Z, the analysis can proceed in two ways:

Sequence 1: first the partial regression of Y upon X; then the residuals of
that regression are related to Z.

Sequence 2: first the partial regression of Y upon Z; then the residuals are
related to X.

The sequence that explains most of the variation of Y is chosen.)";

const char* const kMethods = R"(CALCULATION METHODS FOR TYPES 3 AND 4

Method 1: the sloping part is the regression line of the data on its side
of the breakpoint; the line is cut off at the breakpoint and the horizontal
part continues from there.

Method 2: the horizontal part is the line through the mean Y of the data on
its side of the breakpoint; the sloping part starts at that level at the
breakpoint and runs through the centre of the data on the other side.

This program uses method 2.)";

const char* const kSymbolsHelp = R"(WHAT THE REGRESSION DOES

The program relates a dependent variable Y to an independent variable X
(other versions also use a second independent variable Z). It finds out
whether Y depends on X over the whole range of X or only over a part of it.

Example from agriculture: Y is the crop yield of a number of fields, X the
depth of the water table in those fields and Z the salinity of their soil.
Below a certain depth the water table may no longer affect the yield, and
below a certain salinity the salt may do no harm.

Type the Y values in the column Y and the X values in the column X, one data
set (field, plot, sample) per row. The number of data sets should not exceed
2000.)";

const char* const kPasteHelp = R"(PASTING DATA FROM A SPREADSHEET

1. In the spreadsheet, select the two columns of Y and X values (Y on the
   left, X on the right), without their headings, and copy them.
2. Here, click on the first cell of the Y column (row 1).
3. Paste: press Ctrl+V, or right-click on the cell and choose Paste.

All rows are filled at once and the number of data sets follows the number
of pasted rows. A single column can be pasted in the same way into the Y or
the X column.

A first cell that looks empty after pasting shows its value as soon as
another cell is clicked.

Blanks between thousands and a unit after a value are left out of pasted
values; a comma or a point can be the decimal mark, and -4 may also be
written (4). A cell that is no number, such as a column heading, stops the
paste with a message naming it, and the table stays as it was.)";

const char* const kOutputHelp = R"(THE OUTPUT TAB

After "Save/calculate" on the Input tab, the report of the calculation is
shown here. It is the output file (.out) beside your input file; it can
also be read in any text editor or imported into a spreadsheet.

- "Explanation" shows how the breakpoint was chosen (the .txt file). Only
  results of Type 3 and 4 have one.
- "Anova table" shows the analysis of variance (the .var file).
- "Least squares" shows what plain least squares makes of the same data
  (the .lsq file).
- The same button, now "Close ...", brings the report back.
- "Symbols" explains the symbols of the report in a small window.
- "See graph" draws the data with the fitted lines on the Graphics tab.
- "Open output" shows an output file of an earlier calculation.)";

const char* const kGraphicsHelp = R"(THE GRAPHICS TAB

"See graph" on the Output tab draws the data of the result on display,
with the fitted lines and the confidence block around the breakpoint.

- "Show regression line" draws the fitted regression line of each side
  of the breakpoint; "Show connecting line" brings back the line whose
  two parts meet at the breakpoint.
- "Show confidence belt" adds the confidence belt around the lines;
  "Confidence help" tells how it is made.
- "Show least squares" adds the least-squares broken line, dotted red,
  with the confidence limits of its breakpoint.
- "See calc-obs graph" shows the observed against the calculated Y.
- "Show combination Type 3 and 4" is offered when both shapes were
  found.
- "Save color graph" and "Save black-white graph" save the picture in
  a file.
- "Open graph" shows a picture saved earlier; "Make graph" draws the
  graph of an output file saved earlier.)";

const char* const kOutputSymbols = R"(EXPLANATION OF SOME SYMBOLS IN THE OUTPUT FILE

st.dev.Yr    standard deviation of the residuals of Y (the
             differences between observed and calculated Y)
BP           breakpoint
BPx          breakpoint on the X axis
BPz          breakpoint on the Z axis
Ybp          value of Y at the breakpoint
Y(X=0)       value of Y where the regression line cuts X = 0
N>           number of data above the breakpoint
N<           number of data below the breakpoint
Nt           total number of data
Yav*         mean Y of the data in the part that is not
             affected (the horizontal part)
Yi           Ybp - Yav*: the increase of Y if all values were
             brought into the unaffected part
expl. coeff. coefficient of explanation:
             1 - S(Yr^2) / S((Y - Yav)^2), the part of the
             variation of Y explained by the function
YXr          residual of Y after the regression upon X
st.dev.YXr   standard deviation of YXr
YZr          residual of Y after the regression upon Z
st.dev.YZr   standard deviation of YZr
st.dev.XZr   standard deviation of the residuals of X upon Z
YXZr         residual of Y after the regression upon X,
             then Z
YZXr         residual of Y after the regression upon Z,
             then X
st.dev.YXZr  standard deviation of YXZr
st.dev.YZXr  standard deviation of YZXr

The overall coefficient of explanation compares the
residuals of the complete function with the variation
of Y about its mean.)";

const char* const kConfidenceHelp = R"(The confidence belt around the regression
lines follows published statistical principles.

With a breakpoint, the belt is built from the
standard deviation of Y at the breakpoint
(St.Dev.Ybp) and the standard error of the
breakpoint (St.Err.BP). The confidence interval
of the breakpoint follows from St.Err.BP and the
chosen minimum confidence.

The construction of the belt and of the
confidence interval of the breakpoint is
explained in two published papers.)";

const char* const kMoreInfo = R"(DETERMINATION OF THE REGRESSION TYPE, STEP BY STEP

1. Type 1: the straight regression line of all data is calculated, with the
   sum of squares of the deviations from the line (SSD1) and the
   coefficient of explanation CE1 = 1 - SSD1 / SST, where SST is the sum of
   squares of the deviations of Y from its mean.

2. Types 2 to 6: a series of breakpoints is tried over the range of X. For
   every breakpoint and every type the sum of squares of deviations of the
   fitted function is calculated, and from it the coefficients of
   explanation CE2 to CE6.

3. For each type the breakpoint with the highest coefficient of explanation
   is the optimal breakpoint of that type.

4. The final choice: the straight line gets a weight W = 1.2; its weighted
   coefficient W.CE1 is compared with the maxima of CE2 to CE6. A type with
   a breakpoint is chosen only when its maximum exceeds W.CE1 and it passes
   the significance tests; otherwise the straight line stays.

5. When the chosen type fails a test, it is excluded and the next best type
   is examined in the same way.)";

const char* const kFinish = R"( Thank you for using Kinvalo)";

}  // namespace kinvalo::app::texts
