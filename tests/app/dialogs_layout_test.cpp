// The file dialogs with their titles, filters, names and remembered folder,
// and a window that grows, shrinks and comes back where it was left.
#include <QAbstractScrollArea>
#include <QScreen>

#include "session.h"

using namespace kinvalo::test_app;

namespace {

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

QRect RectIn(const QWidget* w, const QWidget* tab) { return QRect(w->mapTo(tab, QPoint(0, 0)), w->size()); }

// What the user sees of the controls of `tab`: every named control that is
// shown must lie whole inside the tab, unless a scroll area holds it, and no
// two of them may cover each other. The faults, one a line.
QStringList LayoutFaults(const QWidget* tab) {
  struct Control {
    const QWidget* widget;
    QRect seen;
  };
  std::vector<Control> controls;
  QStringList faults;
  for (const QWidget* w : tab->findChildren<QWidget*>()) {
    if (!w->isVisible() || w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_"))) continue;
    QRect seen = RectIn(w, tab);
    bool scrolls = false;
    for (const QWidget* p = w->parentWidget(); p; p = p == tab ? nullptr : p->parentWidget()) {
      seen &= RectIn(p, tab);
      scrolls = scrolls || qobject_cast<const QAbstractScrollArea*>(p);
    }
    if (!scrolls && seen != RectIn(w, tab)) faults << w->objectName() + " cut off";
    controls.push_back({w, seen});
  }
  for (size_t i = 0; i < controls.size(); ++i) {
    for (size_t j = i + 1; j < controls.size(); ++j) {
      const Control& a = controls[i];
      const Control& b = controls[j];
      if (a.widget->isAncestorOf(b.widget) || b.widget->isAncestorOf(a.widget)) continue;
      if (a.seen.intersects(b.seen)) faults << a.widget->objectName() + " covers " + b.widget->objectName();
    }
  }
  return faults;
}

QString Describe(const kinvalo::FileDialogOptions& d) {
  return QString::fromStdString(d.title + " | " + d.filter + " | " + d.defaultExtension + " | " + d.fileName +
                                " | " + d.initialFolder);
}

}  // namespace

class DialogsLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void everyDialogHasItsTitleFiltersAndName() {
    Session s;
    s.RunExample("salinity");   // open and save the input
    s.Click("ResultButton");    // cancelled
    s.Click("GraphicsButton");  // draws the result
    s.Click("SaveGraphButton");  // cancelled
    s.Click("SeeGraphButton");  // cancelled
    const std::string input = "Kinvalo input (*.inp)|*.inp|All files (*)|*";
    const std::string pictures = "Bitmap (*.bmp)|*.bmp|PNG (*.png)|*.png";
    const std::string start = std::filesystem::current_path().string();
    const std::string folder = s.dir / "";
    const std::vector<kinvalo::FileDialogOptions> expected = {
        {"Open input file", input, "inp", start, ""},
        {"Save input file", input, "inp", folder, "salinity.inp"},
        {"Open output file", "Kinvalo output (*.out)|*.out|All files (*)|*", "out", folder, "salinity-run.out"},
        {"Save graph",
         pictures + "|PNG, twice the size (*.png)|*.png|PNG, three times the size (*.png)|*.png|"
                    "SVG, sharp at any size (*.svg)|*.svg|PDF, sharp at any size (*.pdf)|*.pdf",
         "bmp", folder, "salinity-run.bmp"},
        {"Open graph", pictures + "|All files (*)|*", "bmp", folder, "salinity-run.bmp"},
    };
    QStringList shown, wanted;
    for (const auto& d : s.ui.dialogs) shown << Describe(d);
    for (const auto& d : expected) wanted << Describe(d);
    QCOMPARE(shown, wanted);
  }

  void lastFolderSurvivesANewWindow() {
    std::string folder;
    {
      Session first;
      first.RunExample("straight");
      folder = first.dir / "";
      Session next{Settings::Kept};
      next.Click("InputOpenButton");
      QCOMPARE(next.ui.dialogs.at(0).initialFolder, folder);
    }
    // The folder went with the first run's files: back to the working folder.
    Session later{Settings::Kept};
    later.Click("InputOpenButton");
    QCOMPARE(later.ui.dialogs.at(0).initialFolder, std::filesystem::current_path().string());
  }

  void sizeAndPlaceSurviveANewWindow() {
    const QRect left(60, 50, 700, 520);
    {
      Session first;
      // A first start keeps the placement for the screen.
      QCOMPARE(first.form->x(), PlaceMainWindow(first.form->screen()->geometry().width()).left);
      first.form->setGeometry(left);
      Settle();
    }
    Session next{Settings::Kept};
    QCOMPARE(next.form->geometry(), left);
  }

  void areasGrowAndNothingOverlaps_data() {
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("button");  // clicked first
    QTest::addColumn<QString>("area");
    QTest::addColumn<bool>("widens");
    QTest::addColumn<QString>("givesWay");  // hidden while the area is shown
    QTest::newRow("intro text") << "IntroTabSheet" << "" << "IntroMemo" << true << "";
    QTest::newRow("input table: taller, same width") << "InputTabSheet" << "" << "StringGrid1" << false << "";
    QTest::newRow("symbols help in the picture's place")
        << "InputTabSheet" << "HelpOpenButton" << "HelpMemo" << true << "Image1";
    QTest::newRow("paste help in the picture's place")
        << "InputTabSheet" << "PasteButton" << "PasteMemo" << true << "Image1";
    QTest::newRow("output file") << "OutputTabSheet" << "" << "OutputMemo" << true << "";
    QTest::newRow("graph") << "GraphicsTabSheet" << "GraphicsButton" << "GraphArea" << true << "";
  }

  void areasGrowAndNothingOverlaps() {
    QFETCH(QString, tab);
    QFETCH(QString, button);
    QFETCH(QString, area);
    QFETCH(bool, widens);
    QFETCH(QString, givesWay);
    Session s;
    s.RunExample("salinity");
    s.GoTo(tab.toLatin1().constData());
    if (!button.isEmpty()) s.Click(button.toLatin1().constData());
    QCOMPARE(s.CurrentTab()->objectName(), tab);
    QSize sizes[2];
    for (int i = 0; i < 2; ++i) {
      s.form->resize(i == 0 ? s.form->minimumSize() : QSize(1200, 860));
      Settle();
      QCOMPARE(LayoutFaults(s.CurrentTab()), QStringList());
      sizes[i] = s.CurrentTab()->findChild<QWidget*>(area)->size();
    }
    QVERIFY2(sizes[1].height() > sizes[0].height() + 200, qPrintable(area));
    QCOMPARE(sizes[1].width() > sizes[0].width() + 200, widens);
    if (!givesWay.isEmpty()) QVERIFY(s.CurrentTab()->findChild<QWidget*>(givesWay)->isHidden());
    // The graph keeps the size it is drawn at.
    QCOMPARE(s.Get("GraphImage")->size(), QSize(623, 465));
  }
};

QTEST_MAIN(DialogsLayoutTest)
#include "dialogs_layout_test.moc"
