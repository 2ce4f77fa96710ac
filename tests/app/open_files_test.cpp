// Files that reach the window without an open dialog: named on the command
// line, dropped on the window or chosen from the recent files; and F1 on
// each tab.
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "app/input_tab.h"
#include "app/small_windows.h"
#include "session.h"

using namespace kinvalo;
using namespace kinvalo::test_app;

namespace {

const char* const kMissing = "File does not exist, please select another one,";
const QString kOutputShown =
    "OutputTabSheet salinity.out Results of program Kinvalo for partial linear regression of Y upon X.";

// Twelve plots, as a spreadsheet of a German desktop saves them: rows 7
// and 12 have no yield.
const char* const kTrialCsv =
    "Plot;Salinity (dS/m);Yield (t/ha);Note\r\n1;2,25;6,0;\r\n2;2,5;6,12;\r\n3;2,75;6,05;\r\n4;3,0;6,14;\r\n"
    "5;3,25;6,15;wet\r\n6;3,5;5,93;\r\n7;3,75;;\r\n8;4,0;6,23;\r\n9;4,25;6,0;\r\n10;4,5;5,99;wet\r\n"
    "11;4,75;6,3;\r\n12;5,0;n/a;\r\n";

// A folder with the salinity example's input file and its output file, and
// the twelve plots.
struct Files {
  test::TempDir dir;
  Files() {
    std::filesystem::copy_file(KINVALO_EXAMPLES "/salinity.inp", dir / "salinity.inp");
    std::filesystem::copy_file(KINVALO_TEST_DATA "/salinity.out", dir / "salinity.out");
    test::WriteBytes(dir / "trial.csv", kTrialCsv);
  }
  std::string operator/(const std::string& name) const { return dir / name; }
  QUrl Url(const std::string& name) const { return QUrl::fromLocalFile(QString::fromStdString(dir / name)); }
};

// Drags `urls` over `target` and drops them there; true when the window
// took them.
bool Drop(QWidget* target, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  enter.ignore();
  QCoreApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  drop.ignore();
  QCoreApplication::sendEvent(target, &drop);
  QCoreApplication::processEvents();
  return drop.isAccepted();
}

// Answers the column choice whenever it comes up: Y and X as column
// numbers from 1 (0 takes what the dialog offers), then OK or Cancel.
struct ColumnAnswer {
  explicit ColumnAnswer(int y = 0, int x = 0, bool ok = true) {
    QObject::connect(&timer, &QTimer::timeout, [this, y, x, ok] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog || dialog->objectName() != "ColumnChoiceDialog") return;
      auto* yBox = dialog->findChild<QComboBox*>("YColumnBox");
      auto* xBox = dialog->findChild<QComboBox*>("XColumnBox");
      shown << dialog->findChild<QLabel*>("FileLabel")->text() + " | " +
                   dialog->findChild<QLabel*>("FormatLabel")->text() + " | " + yBox->currentText() + " | " +
                   xBox->currentText() + " | " + QString::number(yBox->count());
      if (y > 0) yBox->setCurrentIndex(yBox->findData(y - 1));
      if (x > 0) xBox->setCurrentIndex(xBox->findData(x - 1));
      ok ? dialog->accept() : dialog->reject();
    });
    timer.start(0);
  }
  QTimer timer;
  QStringList shown;  // what each dialog showed before the answer
};

// The table's rows "Y X", by commas.
QString TableRows(const Session& s) {
  QStringList rows;
  for (int r = 1; r <= s.Rows(); ++r) {
    if (!(s.Cell(1, r) + s.Cell(2, r)).isEmpty()) rows << s.Cell(1, r) + " " + s.Cell(2, r);
  }
  return rows.join(',');
}

// File > Recent files as it opens: the captions, a greyed entry marked.
QStringList RecentEntries(const Session& s) {
  auto* menu = s.Get<QMenu>("RecentFilesMenu");
  emit menu->aboutToShow();
  QStringList entries;
  for (QAction* a : menu->actions()) {
    if (!a->isSeparator()) entries << a->text() + (a->isEnabled() ? "" : " (greyed)");
  }
  return entries;
}

// What the window shows of the file it opened: the tab in front, the
// working file and the count of data sets or the report's first line.
QString Opened(const Session& s) {
  const QString tab = s.CurrentTab()->objectName();
  const QString file = QString::fromStdString(s.form->State().DM.FileName).section('/', -1);
  if (tab == "InputTabSheet") return tab + " " + file + " " + s.CountBox();
  if (tab == "OutputTabSheet")
    return tab + " " + file + " " +
           s.Get<QPlainTextEdit>("OutputMemo")->toPlainText().section('\n', 0, 0).trimmed();
  return tab;
}

QString Describe(const FileDialogOptions& d) {
  return QString::fromStdString(d.title + " | " + d.filter + " | " + d.defaultExtension + " | " + d.fileName +
                                " | " + d.initialFolder);
}

}  // namespace

class OpenFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithTheFileNamed_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("message");
    const QString input = "InputTabSheet salinity.inp 40";
    QTest::newRow("input file") << QStringList{"salinity.inp"} << input << "";
    QTest::newRow("output file") << QStringList{"salinity.out"} << kOutputShown << "";
    QTest::newRow("unknown options are left alone")
        << QStringList{"--no-such-option", "-q", "salinity.inp", "salinity.out"} << input << "";
    QTest::newRow("data file: its first two columns of numbers")
        << QStringList{"trial.csv"} << "InputTabSheet trial.inp 12"
        << "";
    QTest::newRow("missing file") << QStringList{"gone.inp"} << "IntroTabSheet" << kMissing;
    QTest::newRow("no file") << QStringList{"--no-such-option"} << "IntroTabSheet"
                             << "";
  }

  void startsWithTheFileNamed() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, opened);
    QFETCH(QString, message);
    Files f;
    QStringList command{"kinvalo"};
    for (const QString& a : arguments)
      command << (a.startsWith('-') ? a : QString::fromStdString(f / a.toStdString()));
    ColumnAnswer columns;
    Session s(Settings::Fresh, command);
    QCOMPARE(Opened(s), opened);
    QCOMPARE(QString::fromStdString(s.Last()), message);
  }

  void dropsOneLocalFile_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("opened");
    QTest::newRow("input file on the tabs")
        << "PageControl1" << QStringList{"salinity.inp"} << "InputTabSheet salinity.inp 40";
    QTest::newRow("output file on a title box, which takes text")
        << "Title1Edit" << QStringList{"salinity.out"} << kOutputShown;
    QTest::newRow("data file") << "StringGrid1" << QStringList{"trial.csv"} << "InputTabSheet trial.inp 12";
    QTest::newRow("two files") << "PageControl1" << QStringList{"salinity.inp", "salinity.out"} << "";
    QTest::newRow("a folder") << "PageControl1" << QStringList{""} << "";
    QTest::newRow("a web address") << "PageControl1" << QStringList{"http://example.org/salinity.inp"} << "";
  }

  void dropsOneLocalFile() {
    QFETCH(QString, target);
    QFETCH(QStringList, names);
    QFETCH(QString, opened);
    Files f;
    Session s;
    QList<QUrl> urls;
    for (const QString& n : names) urls << (n.startsWith("http") ? QUrl(n) : f.Url(n.toStdString()));
    ColumnAnswer columns;
    QCOMPARE(Drop(s.Get(qPrintable(target)), urls), !opened.isEmpty());
    QCOMPARE(Opened(s), opened.isEmpty() ? QStringLiteral("IntroTabSheet") : opened);
    QVERIFY(s.ui.messages.empty());
    // A title box takes no file name as text.
    QCOMPARE(s.In<QLineEdit>("Title1Edit")->text().isEmpty(), !opened.startsWith("InputTabSheet"));
    // Nor does a command under way, such as a calculation that keeps the
    // window painted.
    bool taken = true;
    s.form->Command([&] { taken = Drop(s.form, {f.Url("salinity.inp")}); });
    QVERIFY(!taken);
  }

  void openData_data() {
    QTest::addColumn<QByteArray>("bytes");  // "" for a file of 513 MB
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");  // %1 the file
    QTest::addColumn<QString>("rows");
    const QString offered =
        "trial.csv: 12 rows of data | Semicolon-separated, decimal comma, UTF-8, with a "
        "header row | 1  Plot | 2  Salinity (dS/m) | 3";
    QTest::newRow("yield against salinity, two rows left out")
        << QByteArray(kTrialCsv) << true << offered
        << "2 rows were left out because Y or X is empty or not a number: rows 8 and 13."
        << "6 2.25,6.12 2.5,6.05 2.75,6.14 3,6.15 3.25,5.93 3.5,6.23 4,6 4.25,5.99 4.5,6.3 4.75";
    QTest::newRow("cancelled") << QByteArray(kTrialCsv) << false << offered << ""
                               << "";
    QByteArray nine = "Y,X\n";
    for (int i = 1; i <= 9; ++i) nine += QByteArray::number(i) + "," + QByteArray::number(i * 2) + "\n";
    QTest::newRow("nine rows")
        << nine << true << ""
        << "Only 9 rows of \"%1\" have a number in both Y and X; at least 10 are needed."
        << "";
    QTest::newRow("one column of numbers")
        << QByteArray("Field,Y\nA,1\nB,2\nC,3\nD,4\nE,5\nF,6\nG,7\nH,8\nI,9\nJ,10\nK,11\n") << true << ""
        << "The file \"%1\" has only one column of numbers, \"Y\": Y and X need one each."
        << "";
    QTest::newRow("binary")
        << QByteArray("PK\x03\x04\0\0\x01\0", 8).repeated(50) << true << ""
        << "The file \"%1\" is not text but binary data. A spreadsheet must first be saved as "
           "CSV or as tab-separated text."
        << "";
    QTest::newRow("larger than 512 MB") << QByteArray() << true << ""
                                        << "The file \"%1\" is larger than 512 MB, too large for a data file."
                                        << "";
  }

  // Open data: the column choice, then the two columns in the table as if
  // pasted; a file the reader refuses changes nothing.
  void openData() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    QFETCH(QString, rows);
    Files f;
    const std::string path = f / "trial.csv";
    test::WriteBytes(path, bytes.toStdString());
    if (bytes.isEmpty()) std::filesystem::resize_file(path, (std::uintmax_t{513} << 20));
    Session s;
    ColumnAnswer columns(3, 2, ok);
    s.ui.files = {path};
    s.Action("DataOpenAction")->trigger();
    QCOMPARE(Describe(s.ui.dialogs.at(0)),
             "Open data file | Data files (*.csv *.tsv *.txt)|*.csv;*.tsv;*.txt|All "
             "files (*)|* | csv |  | " +
                 QString::fromStdString(std::filesystem::current_path().string()));
    QCOMPARE(columns.shown.join(""), shown);
    QCOMPARE(s.ui.messages, message.isEmpty()
                                ? std::vector<std::string>{}
                                : std::vector<std::string>{message.arg(path.c_str()).toStdString()});
    QCOMPARE(TableRows(s), rows);
    if (rows.isEmpty()) {
      QCOMPARE(s.CurrentTab(), s.Get("IntroTabSheet"));
      return;
    }
    QCOMPARE(Opened(s), QStringLiteral("InputTabSheet trial.inp 10"));
    QCOMPARE(
        s.In<QLineEdit>("Title1Edit")->text() + " | " + s.In<QLineEdit>("Title2Edit")->text() + " | " +
            s.In<QLineEdit>("FileNameEdit")->text(),
        "Yield (t/ha) against Salinity (dS/m) | From trial.csv | " + QString::fromStdString(f / "trial.inp"));
  }

  // Save/calculate writes DATA.inp beside the data file, and never over an
  // existing one without asking. Until then the data count as unsaved.
  void openDataThenCalculate() {
    Files f;
    test::WriteBytes(f / "trial.inp", "an earlier input\r\n");
    Session s;
    ColumnAnswer columns(3, 2);
    s.form->OpenFile(f / "trial.csv");
    s.ui.answers = {false};
    QVERIFY(!s.form->Input().ConfirmLeave());
    s.ui.messages.clear();
    s.ui.files = {f / "trial.inp", f / "trial.inp"};
    s.ui.answers = {false, true};
    s.Click("InputSaveButton");
    QCOMPARE(s.ui.dialogs.back().fileName + " in " + s.ui.dialogs.back().initialFolder,
             "trial.inp in " + f / "");
    QCOMPARE(test::ReadBytes(f / "trial.inp"), std::string("an earlier input\r\n"));
    QCOMPARE(s.ui.messages, std::vector<std::string>(
                                {"The file already exists, overwrite?", "The input data were not saved"}));
    s.Click("InputSaveButton");
    QCOMPARE(s.ui.messages.at(2), std::string("The file already exists, overwrite?"));
    QCOMPARE(s.CurrentTab(), s.Get("OutputTabSheet"));
    const std::vector<std::string> lines = FileLines(f / "trial.inp");
    QCOMPARE(lines.at(0) + "|" + lines.at(1) + "|" + lines.at(4) + "|" + lines.at(11),
             std::string("Yield (t/ha) against Salinity (dS/m)|From trial.csv| Number of data sets:  10|    "
                         "1       6.00         2.25"));
    QVERIFY(s.form->Input().ConfirmLeave());
    QCOMPARE(RecentEntries(s).mid(0, 2), QStringList({"&1  " + QString::fromStdString(f / "trial.inp"),
                                                      "&2  " + QString::fromStdString(f / "trial.csv")}));
  }

  void recentFilesNewestFirstAtMostEightKeptAcrossRuns() {
    Files f;
    const QString folder = QString::fromStdString(f / "");
    {
      Session s;
      QCOMPARE(RecentEntries(s), QStringList({"No files yet (greyed)", "Clear list (greyed)"}));
      s.ui.files = {f / "salinity.inp", f / "salinity.out"};
      s.Action("InputOpenAction")->trigger();
      s.Action("OutputOpenAction")->trigger();
      s.Click("InputOpenButton");  // cancelled: no entry
      s.ui.files = {f / "salinity.inp"};
      s.Click("InputOpenButton");  // again: one entry, at the top
      s.ui.files = {f / "run.inp"};
      s.Click("InputSaveButton");  // the input a calculation saved
      QCOMPARE(RecentEntries(s), QStringList({"&1  " + folder + "run.inp", "&2  " + folder + "salinity.inp",
                                              "&3  " + folder + "salinity.out", "Clear list"}));
      // A recent entry opens its file.
      s.Action("RecentFile3")->trigger();
      QCOMPARE(Opened(s), kOutputShown);
      for (int i = 1; i <= 9; ++i) {
        const std::string copy = f / ("copy&" + std::to_string(i) + ".inp");
        std::filesystem::copy_file(f / "salinity.inp", copy);
        s.form->OpenFile(copy);
      }
      std::filesystem::remove(f / "copy&8.inp");
    }
    Session next(Settings::Kept);
    QStringList expected;
    for (int i = 9; i >= 2; --i) {
      expected << QString("&%1  %2copy&&%3.inp").arg(10 - i).arg(folder).arg(i) + (i == 8 ? " (greyed)" : "");
    }
    QCOMPARE(RecentEntries(next), expected << "Clear list");
    next.Action("ClearRecentFilesAction")->trigger();
    QCOMPARE(RecentEntries(next), QStringList({"No files yet (greyed)", "Clear list (greyed)"}));
  }

  void f1ShowsTheHelpOfTheTabInView_data() {
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("start");
    QTest::newRow("intro: the introduction, over a detail text") << "IntroTabSheet"
                                                                 << "IntroMemo"
                                                                 << "INTRODUCTION TO THE Kinvalo PROGRAM";
    QTest::newRow("input: the symbols help panel") << "InputTabSheet"
                                                   << "HelpMemo"
                                                   << "WHAT THE REGRESSION DOES";
    QTest::newRow("output") << "OutputTabSheet"
                            << "TabHelpMemo"
                            << "THE OUTPUT TAB";
    QTest::newRow("graphics") << "GraphicsTabSheet"
                              << "TabHelpMemo"
                              << "THE GRAPHICS TAB";
  }

  void f1ShowsTheHelpOfTheTabInView() {
    QFETCH(QString, tab);
    QFETCH(QString, memo);
    QFETCH(QString, start);
    Session s;
    s.Click("TypesButton");
    s.GoTo(qPrintable(tab));
    QTest::keyClick(s.form, Qt::Key_F1);
    QWidget* page = memo == "TabHelpMemo" ? s.app.mainWindow->TabHelp().window() : s.Get(qPrintable(tab));
    auto* text = page->findChild<QPlainTextEdit*>(memo);
    QVERIFY(text && text->isVisible());
    QVERIFY(text->toPlainText().startsWith(start));
    QCOMPARE(s.app.mainWindow->TabHelp().isVisible(), memo == "TabHelpMemo");
    // The help of one tab goes when another comes to the front.
    s.GoTo(tab == "IntroTabSheet" ? "InputTabSheet" : "IntroTabSheet");
    QVERIFY(!s.app.mainWindow->TabHelp().isVisible());
  }
};

QTEST_MAIN(OpenFilesTest)
#include "open_files_test.moc"
