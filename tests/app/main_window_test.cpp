// The window as a user meets it: what each control shows, what a workflow
// leaves on the screen and on disk, and which messages appear.
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QMenu>
#include <QRadioButton>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "cli/batch.h"
#include "engine/breakpoint_search.h"

#include "session.h"

using namespace kinvalo;
using namespace kinvalo::app;
using namespace kinvalo::test_app;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startsOnIntroWithTheFinishWindowHidden() {
    Session s;
    QCOMPARE(s.form->windowTitle(), QStringLiteral("Kinvalo, partial regression "));
    QCOMPARE(s.CurrentTab(), s.Get("IntroTabSheet"));
    QCOMPARE(s.Status(), QStringLiteral("Click on the Input tab to proceed."));
    auto* pages = s.Get<QTabWidget>("PageControl1");
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i) tabs << pages->tabText(i);
    QCOMPARE(tabs, QStringList({"  Intro  ", "  Input  ", "  Output  ", " Graphics "}));
    QVERIFY(!s.app.finishWindow->isVisible());
    QCOMPARE(QStringList({s.app.finishWindow->windowTitle(), s.app.symbolsWindow->windowTitle(),
                          s.app.helpWindow->windowTitle(), s.app.moreInfoWindow->windowTitle()}),
             QStringList({"Tulmex finish", "Tulmex output symbols", "Help St.Err.BP and confidence analysis",
                          "More Info"}));
    QVERIFY(s.Get<QPlainTextEdit>("IntroMemo")->toPlainText().startsWith("INTRODUCTION TO THE Kinvalo PROGRAM"));
    QVERIFY(!s.Enabled("TestsButton") && !s.Shown("MoreInfoButton") && !s.Action("InputSaveAction")->isEnabled());
  }

  void menuEntries_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::newRow("open input") << "InputOpenAction" << "Open input" << "Ctrl+I";
    QTest::newRow("open data") << "DataOpenAction" << "Open data..." << "Ctrl+D";
    QTest::newRow("open output") << "OutputOpenAction" << "Open output" << "Ctrl+O";
    QTest::newRow("open graph") << "GraphOpenAction" << "OpenGraph" << "Ctrl+G";
    QTest::newRow("save input") << "InputSaveAction" << "Save input" << "Ctrl+S";
    QTest::newRow("save graph") << "GraphSaveAction" << "s&Ave graph" << "Ctrl+A";
    QTest::newRow("exit has the quit key") << "FileExit1" << "program e&Xit" << "Ctrl+Q";
    QTest::newRow("copy") << "EditCopy1" << "&Copy" << "Ctrl+C";
    QTest::newRow("cut alone has Ctrl+X") << "EditCut1" << "Cu&t" << "Ctrl+X";
    QTest::newRow("paste") << "EditPaste1" << "&Paste" << "Ctrl+V";
    QTest::newRow("help of the tab") << "HelpAction" << "&Help on this tab" << "F1";
  }

  void menuEntries() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    Session s;
    QAction* entry = s.Action(qPrintable(name));
    QCOMPARE(entry->text(), caption);
    QCOMPARE(entry->shortcut().toString(), shortcut);
    QVERIFY(!entry->associatedObjects().isEmpty());
    // No two entries share a key: an ambiguous key would fire neither.
    int sharing = 0;
    for (QAction* other : s.form->findChildren<QAction*>()) sharing += other->shortcut() == entry->shortcut();
    QCOMPARE(sharing, 1);
  }

  void inputControls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("shown");
    QTest::newRow("file label") << "FileNameLabel" << "File" << "" << false;
    QTest::newRow("title 1 label") << "Title1Label" << "Title1" << "" << true;
    QTest::newRow("title 1") << "Title1Edit" << "" << "General information" << true;
    QTest::newRow("title 2 label") << "Title2Label" << "Title2" << "" << true;
    QTest::newRow("title 2") << "Title2Edit" << "" << "Details about the variables and units" << true;
    QTest::newRow("count label") << "NrOfDataLabel" << "Nr. of data sets" << "" << true;
    QTest::newRow("count") << "NrOfDataEdit" << "15" << "Between 6 and 900" << true;
    QTest::newRow("confidence label") << "ConfLabel" << "Minimum confidence %" << "" << true;
    QTest::newRow("preference") << "RadioGroup1" << "Express preference" << "" << true;
    QTest::newRow("prefer 3") << "RadioButton1" << "Prefer Type 3" << "" << true;
    QTest::newRow("prefer 4") << "RadioButton2" << "Prefer Type 4" << "" << true;
    QTest::newRow("best") << "RadioButton3" << "Best of the two" << "" << true;
    QTest::newRow("table") << "StringGrid1" << "" << "Y = dependent variable, X, Z independent" << true;
    QTest::newRow("symbols help") << "HelpOpenButton" << "Symbols help" << "" << true;
    QTest::newRow("paste help") << "PasteButton" << "Paste help" << "" << true;
    QTest::newRow("clear") << "ClearButton" << "Clear data" << "" << true;
    QTest::newRow("open") << "InputOpenButton" << "Open input" << "" << true;
    QTest::newRow("calculate") << "InputSaveButton" << "Save/calculate" << "" << true;
    QTest::newRow("wait memo") << "WaitMemo" << "" << "" << false;
    QTest::newRow("symbols panel") << "HelpMemo" << "" << "" << false;
    QTest::newRow("paste panel") << "PasteMemo" << "" << "" << false;
    QTest::newRow("types picture") << "Image1" << "" << "" << true;
  }

  void inputControls() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    QFETCH(bool, shown);
    Session s{"InputTabSheet"};
    QWidget* w = s.In(name.toLatin1().constData());
    QCOMPARE(!w->isHidden(), shown);
    QCOMPARE(w->toolTip(), hint);
    QString shownText;
    if (auto* label = qobject_cast<QLabel*>(w)) shownText = label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) shownText = edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) shownText = button->text();
    if (auto* box = qobject_cast<QGroupBox*>(w)) shownText = box->title();
    QCOMPARE(shownText, text);
    if (name == "RadioButton3") QVERIFY(qobject_cast<QRadioButton*>(w)->isChecked());
    if (name == "Image1") QCOMPARE(qobject_cast<QLabel*>(w)->pixmap().size(), QSize(280, 230));
  }

  void statusTextPerTab_data() {
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("status");
    QTest::newRow("input") << "InputTabSheet"
                           << "Enter data or use \"Open\" to edit existing data. Then use \"Save-Calculate\".";
    QTest::newRow("output") << "OutputTabSheet" << "The output file can be inspected";
    QTest::newRow("graphics") << "GraphicsTabSheet" << "Graphics presentations of output data can be seen and saved";
    QTest::newRow("back to intro") << "IntroTabSheet" << "Click on the Input tab to proceed.";
  }

  void statusTextPerTab() {
    QFETCH(QString, tab);
    QFETCH(QString, status);
    Session s;
    s.GoTo("GraphicsTabSheet");
    s.GoTo("InputTabSheet");
    s.GoTo(tab.toLatin1().constData());
    QCOMPARE(s.Status(), status);
    // Only the input tab can save.
    QCOMPARE(s.Action("InputSaveAction")->isEnabled(), tab == "InputTabSheet");
  }

  void windowPlacement_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("width");
    QTest::newRow("860 wide: at the left edge") << 860 << 5 << 855;
    QTest::newRow("861 wide: full width") << 861 << 100 << 860;
  }

  void windowPlacement() {
    QFETCH(int, screen);
    QFETCH(int, left);
    QFETCH(int, width);
    const WindowPlacement placement = PlaceMainWindow(screen);
    QCOMPARE(std::pair(placement.left, placement.width), std::pair(left, width));
  }

  void introDetailsReturnToTheIntroduction() {
    Session s;
    s.Click("TypesButton");
    QVERIFY(!s.Shown("IntroMemo"));
    QVERIFY(s.Shown("TypesMemo"));
    QVERIFY(s.Get<QPlainTextEdit>("TypesMemo")->toPlainText().startsWith("EXPLANATION OF THE FUNCTION TYPES USED"));
    s.GoTo("InputTabSheet");
    s.GoTo("IntroTabSheet");
    QVERIFY(s.Shown("IntroMemo"));
    for (const char* memo : {"TypesMemo", "TestsMemo", "SequenceMemo", "MethodsMemo"}) QVERIFY(!s.Shown(memo));
  }

  void typedDataCalculatedToTheOutputTab() {
    Session s{"InputTabSheet"};
    QCOMPARE(s.Cell(1, 15), QString());
    // A key on a selected cell starts typing over it.
    s.Grid()->setCurrentIndex(s.Grid()->model()->index(0, 1));
    QTest::keyClick(s.Grid(), Qt::Key_8);
    QCOMPARE(s.Cell(1, 1), QStringLiteral("8"));
    QTest::keyClicks(s.In<QLineEdit>("Title1Edit"), "Typed trial");
    s.EnterCount("20");
    const auto data = Type3Data();
    for (int r = 1; r <= 20; ++r) {  // decimal commas, then points
      QString y = QString::number(data[r - 1].first);
      s.Type(1, r, r <= 15 ? y.replace('.', ',') : y);
      s.Type(2, r, QString::number(data[r - 1].second));
    }
    s.ui.messages.clear();
    const std::string inp = s.Calculate("typed.inp");

    QCOMPARE(s.CurrentTab(), s.Get("OutputTabSheet"));
    QCOMPARE(s.Status(), QStringLiteral("The output file can be inspected"));
    QCOMPARE(s.ui.messages, std::vector<std::string>{"The input is saved in " + inp +
                                                     "   Calculations were done and the output is saved in  " +
                                                     s.dir / "typed.out"});
    QCOMPARE(QString::fromStdString(s.dir.Listing()), QStringLiteral("typed.inp typed.lsq typed.out typed.txt typed.var "));
    const std::vector<std::string> lines = FileLines(inp);
    QCOMPARE(lines.size(), size_t{31});
    QCOMPARE(lines[0], std::string("Typed trial"));
    QCOMPARE(lines[1], std::string(" No second title given"));
    QCOMPARE(lines[4], std::string(" Number of data sets:  20"));
    QCOMPARE(QString::fromStdString(lines[11]), QStringLiteral("    1      50.00         1.00"));
    QCOMPARE(QString::fromStdString(lines[25]), QStringLiteral("   15      34.60        15.00"));
    QCOMPARE(QString::fromStdString(lines[30]), QStringLiteral("   20      20.40        20.00"));
    QCOMPARE(s.form->Dialogs().Folder(), s.dir.path().string() + "/");
    QVERIFY(s.In("WaitMemo")->isHidden());
    QCOMPARE(s.In<QPlainTextEdit>("WaitMemo")->toPlainText(),
             QStringLiteral(" Saving data .....\n Progress 25% ....\n Calculating ....\n Anova table ....\n"
                            " Progress 75% ...\n Filing results .."));
    for (const char* shown : {"OutputMemo", "ExplainButton", "AnovaButton", "SymbolsButton", "GraphicsButton",
                              "ResultButton", "CalcObs_Button", "ZtypeButton"}) {
      QVERIFY2(s.Shown(shown), shown);
    }
    QCOMPARE(s.Caption("ZtypeButton"), QStringLiteral("Show combination  Type 3 and 4"));
    QVERIFY(!s.Enabled("ConfButton"));
  }

  void straightLineWithTheChosenConfidence() {
    Session s{"InputTabSheet"};
    s.In<QComboBox>("ConfComboBox")->setCurrentIndex(1);
    s.In<QRadioButton>("RadioButton1")->setChecked(true);
    s.PasteData(Type1Data());
    QCOMPARE(s.CountBox(), QStringLiteral("20"));
    s.Calculate("line.inp");
    QCOMPARE(s.CurrentTab(), s.Get("OutputTabSheet"));
    const std::vector<std::string> out = FileLines(s.dir / "line.out");
    QVERIFY(std::ranges::count(out, std::string(" Minimum confidence % : 95")) == 1);
    // A straight line has no partial graphs and no explanation table.
    QCOMPARE(QString::fromStdString(s.dir.Listing()), QStringLiteral("line.inp line.lsq line.out line.var "));
    for (const char* hidden : {"CalcObs_Button", "RegButton", "ZtypeButton"}) QVERIFY2(!s.Shown(hidden), hidden);
    QVERIFY(!s.Enabled("ExplainButton"));
    s.Click("AnovaButton");
    QVERIFY(s.Shows("line.var"));
  }

  // Nothing of an earlier run or of a graph read back reaches the files of
  // the next run: the window writes what a fresh batch command writes.
  void aSecondRunWritesWhatTheBatchCommandWrites() {
    Session s;
    s.Run(Type3Data(), "first.inp");
    s.Click("GraphicsButton");  // reads first.out back for its graph
    QCOMPARE(s.CurrentTab(), s.Get("GraphicsTabSheet"));
    // A noisier threshold, with a lower explanation than the first.
    std::vector<std::pair<double, double>> rows;
    for (int i = 1; i <= 20; ++i) rows.emplace_back((i <= 10 ? 50.0 : 50.0 - 1.5 * (i - 10)) + (i % 3 - 1) * 4.0, i);
    s.Run(rows, "second.inp");
    QCOMPARE(s.CurrentTab(), s.Get("OutputTabSheet"));

    const std::string batch = s.dir / "batch";
    std::filesystem::create_directory(batch);
    std::filesystem::copy_file(s.dir / "second.inp", batch + "/second.inp");
    std::ostringstream out, err;
    QCOMPARE(RunBatch({"calculate", batch + "/second.inp"}, out, err), 0);
    for (const std::string extension : {".out", ".var"}) {
      QCOMPARE(QString::fromStdString(test::ReadBytes(s.dir / ("second" + extension))),
               QString::fromStdString(test::ReadBytes(batch + "/second" + extension)));
    }
  }

  void pastedLinesSetTheRowCount_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<int>("rows");
    QTest::newRow("25 lines make 25 rows, no question") << 25 << false << 25;
    QTest::newRow("12 lines, yes keeps 15") << 12 << true << 15;
    QTest::newRow("12 lines, no leaves 12") << 12 << false << 12;
  }

  void pastedLinesSetTheRowCount() {
    QFETCH(int, lines);
    QFETCH(bool, keep);
    QFETCH(int, rows);
    Session s{"InputTabSheet"};
    s.Type(1, 14, "77");
    s.ui.answers = {keep};
    std::vector<std::pair<double, double>> data;
    for (int i = 1; i <= lines; ++i) data.emplace_back(100 + i, i * 0.5);
    s.PasteData(data);
    QCOMPARE(s.Rows(), rows);
    QCOMPARE(s.CountBox(), QString::number(rows));
    for (int r : {1, lines / 2, lines}) {
      QCOMPARE(s.Cell(0, r), QString::number(r));
      QCOMPARE(s.Cell(1, r), QString::number(100 + r));
      QCOMPARE(s.Cell(2, r), QString::number(r * 0.5));
    }
    if (rows == 15) QCOMPARE(s.Cell(1, 14), QStringLiteral("77"));
    if (rows > 15) QCOMPARE(s.Grid()->width(), 220);  // room for the scroll bar
    const std::vector<std::string> question{
        "The number of data sets is less than the original number. Do you want to maintain the original number? "
        "Yes keeps 3 old rows after the pasted ones; No ends the table with the pasted rows."};
    QCOMPARE(s.ui.messages, lines < 15 ? question : std::vector<std::string>{});
    // Enter keeps the two data sets apart.
    QCOMPARE(s.ui.preselected.size(), lines < 15 ? 1u : 0u);
    if (lines < 15) QCOMPARE(s.ui.preselected[0], DefaultAnswer::No);
  }

  void pasteReachesTheHandlerWholeByEveryRoute_data() {
    QTest::addColumn<QString>("route");
    QTest::addColumn<int>("col");
    QTest::newRow("Ctrl+V in the cell editor") << "editor key" << 1;
    QTest::newRow("the cell editor's context menu") << "editor menu" << 1;
    QTest::newRow("Ctrl+V on a selected X cell") << "cell key" << 2;
    QTest::newRow("right-click on a cell") << "cell menu" << 1;
  }

  void pasteReachesTheHandlerWholeByEveryRoute() {
    QFETCH(QString, route);
    QFETCH(int, col);
    Session s{"InputTabSheet"};
    QApplication::clipboard()->setText(QStringLiteral("1 234,5\t7\n2.5 kg\t8\t99\n3e2\t9\n"));
    QTableView* grid = s.Grid();
    QMenu* menu = nullptr;
    if (route.startsWith("editor")) {
      QLineEdit* editor = s.Editor(1, 1);
      editor->selectAll();
      if (route == "editor key") {
        QTest::keySequence(editor, QKeySequence::Paste);
      } else {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), editor->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(editor, &event);
        menu = editor->findChild<QMenu*>();
      }
    } else if (route == "cell key") {
      grid->setFocus();
      grid->setCurrentIndex(grid->model()->index(0, col));
      QTest::keySequence(grid, QKeySequence::Paste);
    } else {
      const QPoint at = grid->visualRect(grid->model()->index(0, col)).center();
      QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
      QApplication::sendEvent(grid->viewport(), &event);
      menu = grid->findChild<QMenu*>(QStringLiteral("StringGrid1Menu"));
    }
    if (route.endsWith("menu")) {
      QAction* paste = menu ? menu->findChild<QAction*>(QStringLiteral("edit-paste")) : nullptr;
      QVERIFY(paste);
      paste->trigger();
      menu->close();
    }
    // The empty rows below the pasted ones stay, without a question.
    QCOMPARE(s.CountBox(), QStringLiteral("15"));
    QVERIFY(s.ui.messages.empty());
    QCOMPARE(s.Cell(col, 1) + "|" + s.Cell(col, 2) + "|" + s.Cell(col, 3), QStringLiteral("1234,5|2.5|3E2"));
    // The columns after the first land beside it; past the X column they
    // have no place.
    QCOMPARE(s.Cell(col == 1 ? 2 : 1, 2), col == 1 ? QStringLiteral("8") : QString());
  }

  void refusedRunReturnsToTheInputTab_data() {
    QTest::addColumn<bool>("letter");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("written");
    QTest::newRow("a letter in a Y cell: nothing written")
        << true << QString(kNotReal) + " The first is row 5, column Y." << "";
    QTest::newRow("the fresh empty table: too few data") << false << kScarcityMessage << "bad.inp ";
  }

  void refusedRunReturnsToTheInputTab() {
    QFETCH(bool, letter);
    QFETCH(QString, message);
    QFETCH(QString, written);
    Session s{"InputTabSheet"};
    if (letter) {
      s.PasteData(Type3Data());
      s.Type(1, 5, "2a");
    }
    s.Calculate("bad.inp");
    QCOMPARE(QString::fromStdString(s.Last()), message);
    // Data that cannot be read are told before a name is asked for.
    QCOMPARE(s.ui.files.size(), letter ? 1u : 0u);
    QCOMPARE(QString::fromStdString(s.dir.Listing()), written);
    QCOMPARE(s.CurrentTab(), s.InputTab());
    QVERIFY(s.In("WaitMemo")->isHidden());
    QCOMPARE(s.Rows(), letter ? 20 : 15);
    QCOMPARE(s.Cell(1, 5), letter ? QStringLiteral("2a") : QString());
    s.GoTo("OutputTabSheet");
    QVERIFY(!s.Shown("OutputMemo") && !s.Shown("AnovaButton"));
  }

  void saveCancelledOrNotOverwritten() {
    Session s{"InputTabSheet"};
    s.PasteData(Type3Data());
    s.ui.files.push_back(std::nullopt);
    s.Click("InputSaveButton");
    QCOMPARE(s.Last(), std::string("The input data were not saved"));
    test::WriteBytes(s.dir / "old.inp", "keep me");
    s.ui.answers = {false};
    s.Calculate("old");  // the name gets its extension
    QCOMPARE(s.ui.messages.end()[-2], std::string("The file already exists, overwrite?"));
    QCOMPARE(s.Last(), std::string("The input data were not saved"));
    QCOMPARE(test::ReadBytes(s.dir / "old.inp"), std::string("keep me"));
    // A name of a result file is not taken for the input.
    s.Calculate("results.out");
    QCOMPARE(QString::fromStdString(s.dir.Listing()),
             QStringLiteral("old.inp results.out.inp results.out.lsq results.out.out results.out.txt results.out.var "));
  }

  void outputTabShowsReport() {
    Session s;
    s.Run(Type3Data(), "report.inp");
    QVERIFY(s.Shows("report.out"));
    // Type 3: the explanation table, and back.
    QVERIFY(s.Enabled("ExplainButton"));
    s.Click("ExplainButton");
    QCOMPARE(s.Caption("ExplainButton"), QStringLiteral("Close file"));
    QVERIFY(s.Shows("report.txt"));
    QVERIFY(!s.Shown("AnovaButton"));
    s.Click("ExplainButton");
    QCOMPARE(s.Caption("ExplainButton"), QStringLiteral("Explanation"));
    QVERIFY(s.Shows("report.out"));
    // The variance analysis, and back; the symbols window goes with the
    // output file.
    s.Click("SymbolsButton");
    QVERIFY(s.app.symbolsWindow->isVisible());
    s.Click("AnovaButton");
    QCOMPARE(s.Caption("AnovaButton"), QStringLiteral("Close Anova"));
    QVERIFY(s.Shows("report.var"));
    QVERIFY(!s.Shown("SymbolsButton") && !s.Shown("GraphicsButton") && !s.Enabled("ExplainButton"));
    QVERIFY(!s.app.symbolsWindow->isVisible());
    s.Click("AnovaButton");
    QCOMPARE(s.Caption("AnovaButton"), QStringLiteral("Anova table"));
    QVERIFY(s.Shows("report.out"));
    QVERIFY(s.Shown("SymbolsButton") && s.Shown("GraphicsButton") && s.Enabled("ExplainButton"));
    s.Click("SymbolsButton");
    s.GoTo("InputTabSheet");
    QVERIFY(!s.app.symbolsWindow->isVisible());
  }

  void leastSquaresReportToggles() {
    Session s;
    s.Click("LeastSquaresButton");
    QCOMPARE(s.Last(), std::string("There is no result to show yet. Calculate or open an output file first."));
    s.Run(Type3Data(), "fit.inp");
    s.Click("LeastSquaresButton");
    QCOMPARE(s.Caption("LeastSquaresButton"), QStringLiteral("Close least squares"));
    QVERIFY(s.Shows("fit.lsq"));
    QVERIFY(!s.Shown("AnovaButton") && !s.Shown("GraphicsButton") && !s.Enabled("ExplainButton"));
    s.Click("LeastSquaresButton");
    QCOMPARE(s.Caption("LeastSquaresButton"), QStringLiteral("Least squares"));
    QVERIFY(s.Shows("fit.out") && s.Shown("AnovaButton") && s.Enabled("ExplainButton"));
    // An output file of an older run: one message, and the output file stays.
    std::filesystem::remove(s.dir / "fit.lsq");
    s.ui.messages.clear();
    s.Click("LeastSquaresButton");
    QCOMPARE(s.ui.messages, std::vector<std::string>{"This result has no least-squares report. Please go to the "
                                                     "input tabsheet and run the program again to create it."});
    QVERIFY(s.Shows("fit.out"));
    QCOMPARE(s.Caption("LeastSquaresButton"), QStringLiteral("Least squares"));
  }

  void openInput() {
    Session s;
    const std::string path = s.dir / "salinity.inp";
    std::filesystem::copy_file(KINVALO_EXAMPLES "/salinity.inp", path);
    s.ui.files = {std::nullopt, s.dir / "missing.inp", path};
    s.Click("InputOpenButton");  // from the intro tab's neighbour: any tab will do
    QCOMPARE(s.Last(), std::string("No input file was selected"));
    s.Action("InputOpenAction")->trigger();
    QCOMPARE(s.Last(), std::string("File does not exist, please select another one,"));
    s.ui.messages.clear();
    s.Action("InputOpenAction")->trigger();
    QVERIFY(s.ui.messages.empty());
    QCOMPARE(s.CurrentTab(), s.InputTab());
    QVERIFY(s.Shown("FileNameEdit"));
    QCOMPARE(s.In<QLineEdit>("FileNameEdit")->text(), QString::fromStdString(path));
    QCOMPARE(s.In<QLineEdit>("Title1Edit")->text(), QStringLiteral("Wheat yield against soil salinity, 40 field plots"));
    QCOMPARE(s.CountBox(), QStringLiteral("40"));
    QCOMPARE(s.Rows(), 40);
    QCOMPARE(s.Cell(0, 1) + "|" + s.Cell(1, 1) + "|" + s.Cell(2, 1), QStringLiteral("1|88.06|8.37"));
    QCOMPARE(s.form->Dialogs().Folder(), s.dir.path().string() + "/");
    // Opened data calculate like typed ones.
    s.Calculate("again.inp");
    QCOMPARE(s.CurrentTab(), s.Get("OutputTabSheet"));
    QCOMPARE(FileLines(s.dir / "again.inp").size(), size_t{51});
  }

  void openOutput() {
    Session s;
    const std::string path = s.dir / "salinity.out";
    std::filesystem::copy_file(KINVALO_TEST_DATA "/salinity.out", path);
    s.ui.files = {std::nullopt};
    s.Click("ResultButton");
    QCOMPARE(s.Last(), std::string("No output file selected"));
    QCOMPARE(s.CurrentTab(), s.Get("OutputTabSheet"));
    const char* const commands[] = {"ExplainButton", "AnovaButton", "SymbolsButton", "GraphicsButton"};
    for (const char* command : commands) QVERIFY2(s.Shown(command), command);
    s.Click("AnovaButton");
    QCOMPARE(s.Last(), std::string("There is no result to show yet. Calculate or open an output file first."));
    s.ui.files = {path};
    s.Action("OutputOpenAction")->trigger();
    QCOMPARE(s.Status(), QStringLiteral("The output file can be imported into spreadsheets"));
    QVERIFY(s.Shown("OutputMemo") && s.Shows("salinity.out"));
    for (const char* command : commands) QVERIFY2(s.Shown(command), command);
    // No variance table beside it: one message, and the output file stays.
    s.ui.messages.clear();
    s.Click("AnovaButton");
    QCOMPARE(s.ui.messages, std::vector<std::string>{"The anova file \"" + s.dir / "salinity.var" +
                                                     "\"could not be found. Please go to the input tabsheet and "
                                                     "run the program again to create it."});
    QVERIFY(s.Shows("salinity.out"));
    QCOMPARE(s.Caption("AnovaButton"), QStringLiteral("Anova table"));
    QCOMPARE(s.Caption("ConfButton"), QStringLiteral("Show confidence belt"));
    QCOMPARE(s.form->State().DM.FileName, path);
    QCOMPARE(s.form->Dialogs().Folder(), s.dir.path().string() + "/");
  }

  void helpPanelsToggle_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("other");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("closed");
    QTest::newRow("paste help") << "PasteButton" << "PasteMemo" << "HelpOpenButton" << "Close paste" << "Paste help";
    QTest::newRow("symbols help") << "HelpOpenButton" << "HelpMemo" << "PasteButton" << "Close symbols"
                                  << "Symbols help ";
  }

  void helpPanelsToggle() {
    QFETCH(QString, button);
    QFETCH(QString, panel);
    QFETCH(QString, other);
    QFETCH(QString, open);
    QFETCH(QString, closed);
    Session s{"InputTabSheet"};
    auto* b = s.In<QPushButton>(qPrintable(button));
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(b->text(), open);
    QVERIFY(!s.In(qPrintable(panel))->isHidden() && s.Grid()->isHidden());
    for (const QString& name : {QStringLiteral("ClearButton"), other, QStringLiteral("InputSaveButton"),
                                QStringLiteral("InputOpenButton")}) {
      QVERIFY2(!s.In(qPrintable(name))->isEnabled(), qPrintable(name));
    }
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(b->text(), closed);
    QVERIFY(!s.Grid()->isHidden() && s.In(qPrintable(other))->isEnabled());
    // Leaving the tab with the symbols panel open closes it properly.
    s.Click("HelpOpenButton");
    s.GoTo("IntroTabSheet");
    s.GoTo("InputTabSheet");
    QVERIFY(s.In("HelpMemo")->isHidden() && !s.Grid()->isHidden() && s.In("PasteButton")->isEnabled());
  }

  void clearData() {
    Session s{"InputTabSheet"};
    QTest::keyClicks(s.In<QLineEdit>("Title1Edit"), "Plots");
    s.PasteData(Type3Data());
    s.ui.answers = {false};
    s.Click("ClearButton");
    QCOMPARE(s.Last(), std::string("The data will be cleared, are you sure?"));
    QCOMPARE(s.Rows(), 20);
    s.ui.answers = {true};
    s.Click("ClearButton");
    QCOMPARE(s.CurrentTab(), s.InputTab());
    QCOMPARE(s.CountBox() + "|" + s.Cell(1, 1) + s.Cell(2, s.Rows()), QStringLiteral("15|"));
    QCOMPARE(s.In<QLineEdit>("Title1Edit")->text(), QString());
    QCOMPARE(s.Grid()->width(), 220);
  }

  void cutNeverEndsTheProgram() {
    Session s;
    s.form->show();
    QVERIFY(QTest::qWaitForWindowActive(s.form));
    s.GoTo("InputTabSheet");
    s.Type(1, 2, "12,5");
    QLineEdit* editor = s.Editor(1, 2);
    editor->selectAll();
    QTest::keySequence(editor, QKeySequence::Cut);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("12,5"));
    QCOMPARE(s.Cell(1, 2), QString());
    QTest::keyClick(editor, Qt::Key_Escape);
    // On the selected cell, on a title box and on a button alike.
    s.Type(1, 3, "7");
    s.Grid()->setFocus();
    s.Grid()->setCurrentIndex(s.Grid()->model()->index(2, 1));
    QTest::keySequence(s.Grid(), QKeySequence::Cut);
    QCOMPARE(s.Cell(1, 3), QString());
    auto* title = s.In<QLineEdit>("Title2Edit");
    title->setText("Yield");
    title->setFocus();
    title->selectAll();
    QTest::keySequence(title, QKeySequence::Cut);
    QCOMPARE(title->text(), QString());
    s.In("ClearButton")->setFocus();
    QTest::keySequence(s.In("ClearButton"), QKeySequence(Qt::CTRL | Qt::Key_X));
    QVERIFY(!s.app.finishWindow->isVisible());
    QTest::keySequence(s.form, QKeySequence(Qt::CTRL | Qt::Key_Q));
    QVERIFY(s.app.finishWindow->isVisible());
    QCOMPARE(s.ended, 0);
  }

  void closingTheMainWindowShowsTheFinishWindow() {
    Session s;
    s.form->show();
    QVERIFY(!s.form->close());
    QVERIFY(s.form->isVisible() && s.app.finishWindow->isVisible());
    QCOMPARE(s.app.finishWindow->findChild<QLabel*>("StatusPanel")->text(),
             QStringLiteral("Click Finish button to end program"));
    QCOMPARE(s.app.finishWindow->findChild<QPlainTextEdit*>("FinishMemo")->toPlainText(),
             QStringLiteral(" Thank you for using Kinvalo"));
    QCOMPARE(s.ended, 0);
    QTest::mouseClick(s.app.finishWindow->findChild<QPushButton*>("FinishButton"), Qt::LeftButton);
    QCOMPARE(s.ended, 1);
    Session closing;
    closing.form->close();
    closing.app.finishWindow->close();
    QCOMPARE(closing.ended, 1);
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
