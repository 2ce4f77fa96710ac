// Files named at the start, dropped or chosen from the recent files; Open
// data; F1 on each tab.
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

// Twelve plots as a German spreadsheet saves them; rows 7 and 12 lack Y.
const char* const kTrialCsv =
    "Plot;Salinity (dS/m);Yield (t/ha);Note\r\n1;2,25;6,0;\r\n2;2,5;6,12;\r\n3;2,75;6,05;\r\n4;3,0;6,14;\r\n"
    "5;3,25;6,15;wet\r\n6;3,5;5,93;\r\n7;3,75;;\r\n8;4,0;6,23;\r\n9;4,25;6,0;\r\n10;4,5;5,99;wet\r\n"
    "11;4,75;6,3;\r\n12;5,0;n/a;\r\n";

// The salinity example's input and output files, and the twelve plots.
struct Files {
  test::TempDir dir;
  Files() {
    std::filesystem::copy_file(KINVALO_EXAMPLES "/salinity.inp", dir / "salinity.inp");
    std::filesystem::copy_file(KINVALO_TEST_DATA "/salinity.out", dir / "salinity.out");
    test::WriteBytes(dir / "trial.csv", kTrialCsv);
  }
  std::string operator/(const std::string& name) const { return dir / name; }
  QString Path(const QString& name) const { return QString::fromStdString(dir / name.toStdString()); }
};

// Drags `urls` over `target` and drops them; true when the window took them.
bool Drop(QWidget* target, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  enter.ignore();
  QCoreApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
  QCoreApplication::processEvents();
  return true;
}

// Answers the column choice whenever it comes up: Y and X as column numbers
// from 1 (0 keeps what it offers), then OK or Cancel; keeps what it showed.
struct ColumnAnswer {
  explicit ColumnAnswer(int y = 0, int x = 0, bool ok = true) {
    QObject::connect(&timer, &QTimer::timeout, [this, y, x, ok] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog || dialog->objectName() != "ColumnChoiceDialog") return;
      auto* yBox = dialog->findChild<QComboBox*>("YColumnBox");
      auto* xBox = dialog->findChild<QComboBox*>("XColumnBox");
      shown += dialog->findChild<QLabel*>("FileLabel")->text() + " | " +
               dialog->findChild<QLabel*>("FormatLabel")->text() + " | " + yBox->currentText() + " | " +
               xBox->currentText() + " of " + QString::number(yBox->count());
      if (y > 0) yBox->setCurrentIndex(yBox->findData(y - 1));
      if (x > 0) xBox->setCurrentIndex(xBox->findData(x - 1));
      ok ? dialog->accept() : dialog->reject();
    });
    timer.start(0);
  }
  QTimer timer;
  QString shown;
};

// The tab in front, the working file, and the count of data sets or the
// lines of the report on display.
QString Opened(const Session& s) {
  const QString tab = s.CurrentTab()->objectName();
  const QString file = QString::fromStdString(s.form->State().DM.FileName).section('/', -1);
  if (tab == "InputTabSheet") return tab + " " + file + " " + s.CountBox();
  if (tab != "OutputTabSheet") return tab;
  return tab + " " + file + " " + QString::number(s.Get<QPlainTextEdit>("OutputMemo")->blockCount());
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

const QString kInput = "InputTabSheet salinity.inp 40";
const QString kOutput = "OutputTabSheet salinity.out 116";
const QString kData = "InputTabSheet trial.inp 12";  // the first two columns of numbers
const QString kNothing = "IntroTabSheet";

}  // namespace

class OpenFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void opensTheFileItIsGiven_data() {
    QTest::addColumn<QString>("how");  // "start", or the control it is dropped on
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("opened");
    QTest::newRow("start: input") << "start" << QStringList{"salinity.inp"} << kInput;
    QTest::newRow("start: output; other options and names left alone")
        << "start" << QStringList{"--no-such-option", "-q", "salinity.out", "salinity.inp"} << kOutput;
    QTest::newRow("start: data file") << "start" << QStringList{"trial.csv"} << kData;
    QTest::newRow("start: missing file") << "start" << QStringList{"gone.inp"} << kNothing;
    QTest::newRow("drop input on the tabs") << "PageControl1" << QStringList{"salinity.inp"} << kInput;
    QTest::newRow("drop output on a box for text") << "Title1Edit" << QStringList{"salinity.out"} << kOutput;
    QTest::newRow("drop data file on the table") << "StringGrid1" << QStringList{"trial.csv"} << kData;
    QTest::newRow("drop two files") << "PageControl1" << QStringList{"salinity.inp", "trial.csv"} << kNothing;
    QTest::newRow("drop a folder") << "PageControl1" << QStringList{""} << kNothing;
    QTest::newRow("drop a web address") << "PageControl1" << QStringList{"http://x.org/a.inp"} << kNothing;
  }

  void opensTheFileItIsGiven() {
    QFETCH(QString, how);
    QFETCH(QStringList, names);
    QFETCH(QString, opened);
    Files f;
    ColumnAnswer columns;
    QStringList command{"kinvalo"};
    QList<QUrl> urls;
    for (const QString& n : names) {
      command << (n.startsWith('-') ? n : f.Path(n));
      urls << (n.startsWith("http") ? QUrl(n) : QUrl::fromLocalFile(f.Path(n)));
    }
    Session s(Settings::Fresh, how == "start" ? command : QStringList());
    if (how != "start") QCOMPARE(Drop(s.Get(qPrintable(how)), urls), opened != kNothing);
    QCOMPARE(Opened(s), opened);
    QCOMPARE(s.Last(), std::string(names[0] == "gone.inp" ? "File does not exist, please select another one," : ""));
    // The file's name never lands in a box for text.
    QCOMPARE(s.In<QLineEdit>("Title1Edit")->text().isEmpty(), opened == kNothing || opened == kOutput);
    // Nothing is dropped into a command under way, such as a calculation.
    bool taken = true;
    s.form->Command([&] { taken = Drop(s.form, {QUrl::fromLocalFile(f.Path("salinity.inp"))}); });
    QVERIFY(!taken);
  }

  void openData_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");  // %1 the file
    const QString offered = "trial.csv: 12 rows of data | Semicolon-separated, decimal comma, UTF-8, with a "
                            "header row | 1  Plot | 2  Salinity (dS/m) of 3";
    QTest::newRow("yield against salinity, two rows left out")
        << QByteArray(kTrialCsv) << true << offered
        << "2 rows were left out because Y or X is empty or not a number: rows 8 and 13.";
    QTest::newRow("cancelled") << QByteArray(kTrialCsv) << false << offered << "";
    QTest::newRow("nine rows: refused before the choice")
        << QByteArray("Y,X\n1,2\n2,4\n3,6\n4,8\n5,1\n6,3\n7,5\n8,7\n9,9\n") << true << ""
        << "Only 9 rows of \"%1\" have a number in both Y and X; at least 10 are needed.";
  }

  // The column choice, then Y and X in the table as if pasted, to be saved
  // beside the data file; a refused file or a cancelled choice changes
  // nothing.
  void openData() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    Files f;
    test::WriteBytes(f / "trial.csv", bytes.toStdString());
    Session s;
    ColumnAnswer columns(3, 2, ok);
    s.ui.files = {f / "trial.csv", f / "trial.inp"};
    s.Action("DataOpenAction")->trigger();
    const FileDialogOptions& d = s.ui.dialogs.at(0);
    QCOMPARE(QString::fromStdString(d.title + " | " + d.filter + " | " + d.fileName),
             "Open data file | Data files (*.csv *.tsv *.txt)|*.csv;*.tsv;*.txt|All files (*)|* | ");
    QCOMPARE(columns.shown, shown);
    QCOMPARE(QString::fromStdString(s.Last()), message.arg(f.Path("trial.csv")));
    const bool taken = ok && !shown.isEmpty();
    QCOMPARE(Opened(s), taken ? "InputTabSheet trial.inp 10" : kNothing);
    if (!taken) return;
    QStringList rows;
    for (int r = 1; r <= s.Rows(); ++r) rows << s.Cell(1, r) + " " + s.Cell(2, r);
    QCOMPARE(rows.join(','), "6 2.25,6.12 2.5,6.05 2.75,6.14 3,6.15 3.25,5.93 3.5,6.23 4,6 4.25,5.99 4.5,6.3 4.75");
    QCOMPARE(s.In<QLineEdit>("Title1Edit")->text() + " | " + s.In<QLineEdit>("Title2Edit")->text() + " | " +
                 s.In<QLineEdit>("FileNameEdit")->text(),
             "Yield (t/ha) against Salinity (dS/m) | From trial.csv | " + f.Path("trial.inp"));
    s.ui.answers = {false, true};
    QVERIFY(!s.form->Input().ConfirmLeave());  // not saved yet
    test::WriteBytes(f / "trial.inp", "earlier");
    s.Click("InputSaveButton");
    QCOMPARE(s.ui.dialogs.back().fileName + " in " + s.ui.dialogs.back().initialFolder, "trial.inp in " + f / "");
    QCOMPARE(s.ui.messages.at(2), std::string("The file already exists, overwrite?"));
    QCOMPARE(FileLines(f / "trial.inp").at(1) + "|" + FileLines(f / "trial.inp").at(4),
             std::string("From trial.csv| Number of data sets:  10"));
    QCOMPARE(RecentEntries(s).mid(0, 2), QStringList({"&1  " + f.Path("trial.inp"), "&2  " + f.Path("trial.csv")}));
  }

  void recentFilesNewestFirstAtMostEightKeptAcrossRuns() {
    Files f;
    const QStringList none{"No files yet (greyed)", "Clear list (greyed)"};
    {
      Session s;
      QCOMPARE(RecentEntries(s), none);
      s.ui.files = {f / "salinity.inp", f / "salinity.out", std::nullopt, f / "salinity.inp", f / "run.inp"};
      s.Action("InputOpenAction")->trigger();
      s.Action("OutputOpenAction")->trigger();
      s.Click("InputOpenButton");  // cancelled: no entry
      s.Click("InputOpenButton");  // again: one entry, at the top
      s.Click("InputSaveButton");  // the input a calculation saved
      QCOMPARE(RecentEntries(s), QStringList({"&1  " + f.Path("run.inp"), "&2  " + f.Path("salinity.inp"),
                                              "&3  " + f.Path("salinity.out"), "Clear list"}));
      s.Action("RecentFile3")->trigger();
      QCOMPARE(Opened(s), kOutput);
      for (int i = 1; i <= 9; ++i) {
        std::filesystem::copy_file(f / "salinity.inp", f / ("copy&" + std::to_string(i) + ".inp"));
        s.form->OpenFile(f / ("copy&" + std::to_string(i) + ".inp"));
      }
      std::filesystem::remove(f / "copy&8.inp");
    }
    Session next(Settings::Kept);
    QStringList expected;
    for (int i = 9; i >= 2; --i) {
      expected << QString("&%1  ").arg(10 - i) + f.Path(QString("copy&&%1.inp").arg(i)) + (i == 8 ? " (greyed)" : "");
    }
    QCOMPARE(RecentEntries(next), expected << "Clear list");
    next.Action("ClearRecentFilesAction")->trigger();
    QCOMPARE(RecentEntries(next), none);
  }

  void f1ShowsTheHelpOfTheTabInView() {
    const char* const shown[][3] = {{"IntroTabSheet", "IntroMemo", "INTRODUCTION TO THE"},
                                    {"InputTabSheet", "HelpMemo", "WHAT THE REGRESSION DOES"},
                                    {"OutputTabSheet", "TabHelpMemo", "THE OUTPUT TAB"},
                                    {"GraphicsTabSheet", "TabHelpMemo", "THE GRAPHICS TAB"}};
    Session s;
    TabHelpWindow& help = s.app.mainWindow->TabHelp();
    s.Click("TypesButton");  // the introduction comes back over a detail text
    for (const auto& [tab, memo, start] : shown) {
      s.GoTo(tab);
      QVERIFY2(!help.isVisible(), tab);  // the help of a tab goes with it
      QTest::keyClick(s.form, Qt::Key_F1);
      auto* text = (memo == std::string("TabHelpMemo") ? &help : s.Get(tab))->findChild<QPlainTextEdit*>(memo);
      QVERIFY2(text->isVisible() && text->toPlainText().startsWith(start), tab);
    }
  }
};

QTEST_MAIN(OpenFilesTest)
#include "open_files_test.moc"
