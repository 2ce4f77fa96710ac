// The file dialogs with their titles, filters, names and remembered folder,
// and a window that grows, shrinks and comes back where it was left.
#include <QScreen>

#include "session.h"

using namespace kinvalo::test_app;

namespace {

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
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
        {"Save graph", pictures, "bmp", folder, "salinity-run.bmp"},
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
};

QTEST_MAIN(DialogsLayoutTest)
#include "dialogs_layout_test.moc"
