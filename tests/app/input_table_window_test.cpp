// The input table as a user types and pastes into it: nothing typed or
// pasted is lost, scrambled or taken for something else, also while a
// message box is up, and the program does not end over unsaved data.
#include <sys/stat.h>

#include <filesystem>

#include "session.h"

using namespace kinvalo;
using namespace kinvalo::app;
using namespace kinvalo::test_app;

namespace {

// What a modal box does to the window while it is up: it takes the focus
// and the window's events go on.
void ModalBox() {
  QWidget* window = QApplication::activeWindow();
  QLineEdit box;
  box.show();
  QApplication::setActiveWindow(&box);
  box.setFocus();
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (window) QApplication::setActiveWindow(window);
}

// A window shown and active, so that keys go where a user's keys go.
struct Typing : Session {
  Typing() {
    form->show();
    if (!QTest::qWaitForWindowActive(form)) qFatal("the window is not active");
    GoTo("InputTabSheet");
    Grid()->setFocus();
  }
  void Select(int col, int row) const { Grid()->setCurrentIndex(Grid()->model()->index(row - 1, col)); }
  // Each character a key to the focused control: '\t' Tab, '<' Shift+Tab,
  // '\n' Enter, '^' F2.
  void Keys(const QString& keys) const {
    for (const QChar c : keys) {
      QWidget* to = QApplication::focusWidget();
      if (c == '\t') QTest::keyClick(to, Qt::Key_Tab);
      else if (c == '<') QTest::keyClick(to, Qt::Key_Backtab, Qt::ShiftModifier);
      else if (c == '\n') QTest::keyClick(to, Qt::Key_Return);
      else if (c == '^') QTest::keyClick(to, Qt::Key_F2);
      else QTest::keyClick(to, c.toLatin1());
      QCoreApplication::processEvents();
    }
  }
  QString Rows(int from, int to) const {
    QStringList rows;
    for (int r = from; r <= to; ++r) rows << Cell(1, r) + "|" + Cell(2, r);
    return rows.join(' ');
  }
};

// Spreadsheet lines of the first `lines` rows of `rows`.
QString Clip(const std::vector<std::pair<double, double>>& rows, int lines) {
  QString text;
  for (int i = 0; i < lines; ++i) text += QString("%1\t%2\r\n").arg(rows[i].first).arg(rows[i].second);
  return text;
}

}  // namespace

class InputTableWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void aMessageFromAKeyLeavesTheCellEditorWhole_data() {
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("shown");
    const QString minimum = " The minimum number of data sets is 10";
    const QString integer = "The number of data sets is not a valid integer";
    QTest::newRow("8, a key on the cell") << "8"
                                          << "7" << minimum << 1;
    QTest::newRow("8, F2 then a key") << "8"
                                      << "^7" << minimum << 1;
    // The box closed the editor: the next key opens a new one.
    QTest::newRow("abc, two keys") << "abc"
                                   << "75" << integer << 2;
  }

  void aMessageFromAKeyLeavesTheCellEditorWhole() {
    QFETCH(QString, count);
    QFETCH(QString, keys);
    QFETCH(QString, message);
    QFETCH(int, shown);
    Typing s;
    s.EnterCount(qPrintable(count));
    s.ui.messages.clear();
    s.ui.whileShown = ModalBox;
    s.Grid()->setFocus();
    s.Select(1, 1);
    s.Keys(keys);
    QCOMPARE(s.Cell(1, 1), keys.right(1));
    QCOMPARE(s.ui.messages, std::vector<std::string>(size_t(shown), message.toStdString()));
  }

  void aPasteGivesOneTableWithTheEditorOpenOrNot_data() {
    QTest::addColumn<QString>("route");
    QTest::addColumn<bool>("keep");
    for (const char* route : {"selected cell", "F2", "double-click"}) {
      QTest::newRow(qPrintable(QString(route) + ", yes")) << route << true;
      QTest::newRow(qPrintable(QString(route) + ", no")) << route << false;
    }
  }

  void aPasteGivesOneTableWithTheEditorOpenOrNot() {
    QFETCH(QString, route);
    QFETCH(bool, keep);
    Typing s;
    s.Type(1, 14, "77");
    s.Type(1, 1, "5");
    s.ui.whileShown = ModalBox;
    s.ui.answers = {keep};
    QApplication::clipboard()->setText(Clip(Type1Data(), 12));
    s.Grid()->setFocus();
    s.Select(1, 1);
    if (route == "F2") {
      s.Keys("^");
    } else if (route == "double-click") {
      // The editor opens with the cursor after the old text.
      QLineEdit* editor = s.Editor(1, 1);
      editor->deselect();
      editor->end(false);
    }
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Paste);
    s.ui.whileShown = nullptr;
    QCOMPARE(s.Rows(1, 2) + " " + s.Cell(1, 14),
             keep ? QStringLiteral("6.6|1 9.4|2 77") : QStringLiteral("6.6|1 9.4|2 "));
    QCOMPARE(s.CountBox(), keep ? QStringLiteral("15") : QStringLiteral("12"));
  }

  void typingRunsAlongTheRowsAsInASpreadsheet_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("rows");
    QTest::newRow("Tab after X goes to the next row's Y")
        << 1 << 1 << "101\t1\t102\t2\t103\t3\t104\t4" << 1 << "101|1 102|2 103|3 104|4";
    QTest::newRow("Enter moves down, editing or not") << 1 << 2 << "5\n6\n\n8" << 2 << "5| 6| | 8|";
    QTest::newRow("Shift+Tab goes back over the row end") << 1 << 3 << "3<9<4" << 2 << "4|9 3|";
    QTest::newRow("Tab stops at the last cell") << 2 << 15 << "1\t2\t3" << 15 << "|3";
    QTest::newRow("a digit replaces a selected cell's text") << 1 << 4 << "12\n<<7" << 4 << "7|";
  }

  void typingRunsAlongTheRowsAsInASpreadsheet() {
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, keys);
    QFETCH(int, from);
    QFETCH(QString, rows);
    Typing s;
    s.Select(col, row);
    s.Keys(keys);
    QCOMPARE(s.Rows(from, from + int(rows.count(' '))), rows);
    QCOMPARE(s.Rows(1, 1), row == 1 ? QStringLiteral("101|1") : QStringLiteral("|"));
    // The serial numbers never take the focus, by keys or by the mouse.
    QTest::mouseClick(s.Grid()->viewport(), Qt::LeftButton, {},
                      s.Grid()->visualRect(s.Grid()->model()->index(5, 0)).center());
    QVERIFY(s.Grid()->currentIndex().column() != 0);
  }

  void untouchedCellsAreNoData_data() {
    QTest::addColumn<bool>("opened");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("saved");
    QTest::newRow("12 lines into row 2 of a fresh table") << false << 2 << 12 << "" << 12;
    QTest::newRow("17 lines over 40 opened ones")
        << true << 1 << 17
        << "Yes keeps 23 old rows after the pasted ones; No ends the table with the pasted rows." << 17;
  }

  void untouchedCellsAreNoData() {
    QFETCH(bool, opened);
    QFETCH(int, at);
    QFETCH(int, lines);
    QFETCH(QString, question);
    QFETCH(int, saved);
    Session s{"InputTabSheet"};
    QCOMPARE(s.Cell(1, 1) + s.Cell(2, 15), QString());
    if (opened) {
      const std::string path = s.dir / "salinity.inp";
      std::filesystem::copy_file(KINVALO_EXAMPLES "/salinity.inp", path);
      s.ui.files.push_back(path);
      s.Click("InputOpenButton");
    }
    QApplication::clipboard()->setText(Clip(Type3Data(), lines));
    QLineEdit* editor = s.Editor(1, at);
    editor->selectAll();
    QTest::keySequence(editor, QKeySequence::Paste);
    const std::string asked =
        "The number of data sets is less than the original number. Do you want to maintain the original "
        "number? " +
        question.toStdString();
    QCOMPARE(s.ui.messages,
             question.isEmpty() ? std::vector<std::string>{} : std::vector<std::string>{asked});
    QCOMPARE(s.ui.preselected, std::vector<DefaultAnswer>(question.isEmpty() ? 0 : 1, DefaultAnswer::No));
    s.Calculate("fresh.inp");
    QCOMPARE(FileLines(s.dir / "fresh.inp")[4], " Number of data sets:  " + std::to_string(saved));
  }

  void aPastedTextThatIsNoNumberIsRefused_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("message");
    QTest::newRow("a header row") << "Yield 2019\tSalinity-EC1\r\n5\t6\r\n"
                                  << "The pasted text \"Yield 2019\" for row 1, column Y is not a number. "
                                     "Nothing was pasted.";
    QTest::newRow("a note in X") << "5\t6\r\n7\tEC1 high\r\n"
                                 << "The pasted text \"EC1 high\" for row 2, column X is not a number. "
                                    "Nothing was pasted.";
  }

  void aPastedTextThatIsNoNumberIsRefused() {
    QFETCH(QString, pasted);
    QFETCH(QString, message);
    Typing s;
    s.Type(1, 1, "9");
    s.Type(2, 1, "8");
    QApplication::clipboard()->setText(pasted);
    s.ui.messages.clear();
    QLineEdit* editor = s.Editor(1, 1);
    editor->selectAll();
    QTest::keySequence(editor, QKeySequence::Paste);
    QCOMPARE(QString::fromStdString(s.Last()), message);
    QCOMPARE(s.CountBox() + "|" + s.Rows(1, 2), QStringLiteral("15|9|8 |"));
  }

  void aRunNotMadeKeepsTheResultOnDisplay_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("message");
    QTest::newRow("no to overwrite") << false << "The input data were not saved";
    QTest::newRow("a read-only result file") << true << "";
  }

  void aRunNotMadeKeepsTheResultOnDisplay() {
    QFETCH(bool, readOnly);
    QFETCH(QString, message);
    Session s;
    s.Run(Type3Data(), "same.inp");
    const std::string txt = s.dir / "same.txt";
    if (readOnly) ::chmod(txt.c_str(), 0444);
    s.GoTo("InputTabSheet");
    s.Type(1, 1, "51");
    s.ui.answers = {readOnly};
    s.Calculate("same.inp");
    QCOMPARE(s.ui.messages.end()[-2], std::string("The file already exists, overwrite?"));
    // The message of a protected file stands alone, as the other file
    // messages do.
    QCOMPARE(s.Last(), message.isEmpty() ? OpenFailureMessage(txt) : message.toStdString());
    s.ui.messages.clear();
    s.GoTo("OutputTabSheet");
    QVERIFY(s.Shows("same.out"));
    s.Click("GraphicsButton");
    QCOMPARE(s.CurrentTab(), s.Get("GraphicsTabSheet"));
    QVERIFY(s.ui.messages.empty());
  }

  void theCountBoxShowsTheTableAfterAMessage_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("lowered: the table keeps 20") << "12"
                                                 << " To remove data make the relevant data cells empty"
                                                 << "20";
    QTest::newRow("raised") << "25"
                            << " Add data in the last cells at the end of the column"
                            << "25";
  }

  void theCountBoxShowsTheTableAfterAMessage() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    Session s{"InputTabSheet"};
    s.PasteData(Type3Data());
    QCOMPARE(QString::fromStdString(s.EnterCount(qPrintable(typed))), message);
    QCOMPARE(s.CountBox(), shown);
    QCOMPARE(QString::number(s.Rows()), shown);
  }

  void leavingAsksOnlyOverUnsavedData_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("asked");
    QTest::newRow("nothing typed") << "" << false;
    QTest::newRow("typed, then emptied") << "type empty" << false;
    QTest::newRow("typed") << "type" << true;
    QTest::newRow("pasted, then calculated") << "paste calculate" << false;
    QTest::newRow("calculated, then typed") << "paste calculate type" << true;
    QTest::newRow("opened") << "open" << false;
    QTest::newRow("opened, then typed") << "open type" << true;
    QTest::newRow("typed, then cleared") << "type clear" << false;
  }

  void leavingAsksOnlyOverUnsavedData() {
    QFETCH(QString, steps);
    QFETCH(bool, asked);
    Session s{"InputTabSheet"};
    for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
      if (step == "type") s.Type(2, 3, "4,5");
      if (step == "empty") {
        QLineEdit* editor = s.Editor(2, 3);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
      }
      if (step == "paste") s.PasteData(Type3Data());
      if (step == "calculate") s.Calculate("run.inp");
      if (step == "clear") {
        s.ui.answers = {true};
        s.Click("ClearButton");
      }
      if (step == "open") {
        s.ui.files.push_back(std::string(KINVALO_EXAMPLES) + "/salinity.inp");
        s.Click("InputOpenButton");
      }
    }
    s.ui.messages.clear();
    s.ui.preselected.clear();
    auto* finish = s.app.finishWindow->findChild<QPushButton*>("FinishButton");
    for (const bool leave : {false, true}) {
      s.form->close();
      s.ui.answers = {leave};
      QTest::mouseClick(finish, Qt::LeftButton);
      if (!asked) break;
      // No leaves the program running with the main window as it was.
      QCOMPARE(s.ended, leave ? 1 : 0);
      QCOMPARE(s.app.finishWindow->isVisible(), leave);
    }
    QCOMPARE(s.ended, 1);
    const std::string question = "The data in the input table have not been saved. Leave the program anyway?";
    QCOMPARE(s.ui.messages, std::vector<std::string>(asked ? 2 : 0, question));
    QCOMPARE(s.ui.preselected, std::vector<DefaultAnswer>(asked ? 2 : 0, DefaultAnswer::No));
  }
};

QTEST_MAIN(InputTableWindowTest)
#include "input_table_window_test.moc"
