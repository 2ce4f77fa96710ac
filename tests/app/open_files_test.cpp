// Files that reach the window without an open dialog: named on the command
// line, dropped on the window or chosen from the recent files; and F1 on
// each tab.
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "app/small_windows.h"
#include "session.h"

using namespace kinvalo;
using namespace kinvalo::test_app;

namespace {

const char* const kMissing = "File does not exist, please select another one,";
const QString kOutputShown = "OutputTabSheet salinity.out Results of program Kinvalo for partial linear regression of Y upon X.";

// A folder with the salinity example's input file and its output file.
struct Files {
  test::TempDir dir;
  Files() {
    std::filesystem::copy_file(KINVALO_EXAMPLES "/salinity.inp", dir / "salinity.inp");
    std::filesystem::copy_file(KINVALO_TEST_DATA "/salinity.out", dir / "salinity.out");
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
  if (tab == "OutputTabSheet") return tab + " " + file + " " + s.Get<QPlainTextEdit>("OutputMemo")->toPlainText().section('\n', 0, 0).trimmed();
  return tab;
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
    QTest::newRow("output file") << QStringList{"salinity.out"}
                                 << kOutputShown << "";
    QTest::newRow("unknown options are left alone")
        << QStringList{"--no-such-option", "-q", "salinity.inp", "salinity.out"} << input << "";
    QTest::newRow("missing file") << QStringList{"gone.inp"} << "IntroTabSheet" << kMissing;
    QTest::newRow("no file") << QStringList{"--no-such-option"} << "IntroTabSheet" << "";
  }

  void startsWithTheFileNamed() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, opened);
    QFETCH(QString, message);
    Files f;
    QStringList command{"kinvalo"};
    for (const QString& a : arguments) command << (a.startsWith('-') ? a : QString::fromStdString(f / a.toStdString()));
    Session s(Settings::Fresh, command);
    QCOMPARE(Opened(s), opened);
    QCOMPARE(QString::fromStdString(s.Last()), message);
  }

  void dropsOneLocalFile_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("opened");
    QTest::newRow("input file on the tabs") << "PageControl1" << QStringList{"salinity.inp"}
                                            << "InputTabSheet salinity.inp 40";
    QTest::newRow("output file on a title box, which takes text")
        << "Title1Edit" << QStringList{"salinity.out"}
        << kOutputShown;
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
    QCOMPARE(Drop(s.Get(qPrintable(target)), urls), !opened.isEmpty());
    QCOMPARE(Opened(s), opened.isEmpty() ? QStringLiteral("IntroTabSheet") : opened);
    QVERIFY(s.ui.messages.empty());
    // A title box takes no file name as text.
    QCOMPARE(s.In<QLineEdit>("Title1Edit")->text().isEmpty(), !opened.startsWith("InputTabSheet"));
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
    QTest::newRow("intro: the introduction, over a detail text")
        << "IntroTabSheet" << "IntroMemo" << "INTRODUCTION TO THE Kinvalo PROGRAM";
    QTest::newRow("input: the symbols help panel") << "InputTabSheet" << "HelpMemo" << "WHAT THE REGRESSION DOES";
    QTest::newRow("output") << "OutputTabSheet" << "TabHelpMemo" << "THE OUTPUT TAB";
    QTest::newRow("graphics") << "GraphicsTabSheet" << "TabHelpMemo" << "THE GRAPHICS TAB";
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
