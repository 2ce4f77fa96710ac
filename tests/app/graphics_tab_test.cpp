// The Graphics tab as a user clicks through it: captions and buttons after
// each command, the picture, and the bitmaps saved and opened.
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/write_graph.h"
#include "session.h"

using namespace kinvalo;
using namespace kinvalo::app;
using namespace kinvalo::test_app;

namespace {

// The picture on the tab.
QImage Picture(const Session& s, const char* name = "GraphImage") {
  return s.Get<QLabel>(name)->pixmap().toImage();
}

int ColouredPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      count += qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) ? 0 : 1;
    }
  }
  return count;
}

std::vector<std::string> Visible(const Session& s) {
  std::vector<std::string> shown;
  for (const char* b : {"SaveGraphButton", "SaveBlWhButton", "RegButton", "ConfButton", "CalcObs_Button",
                        "ZtypeButton", "BPButton"}) {
    if (s.Shown(b)) shown.push_back(b);
  }
  return shown;
}

using Names = std::vector<std::string>;

}  // namespace

class GraphicsTabTest : public QObject {
  Q_OBJECT

 private slots:
  void type3ThroughEveryOption() {
    Session s;
    s.Run(Type3Data(), "t3.inp");
    s.Click("GraphicsButton");
    QCOMPARE(s.CurrentTab(), s.Get("GraphicsTabSheet"));
    QVERIFY(s.Shown("GraphImage") && !s.Shown("PictureImage"));
    // The calculation left the calc-obs command in place.
    QCOMPARE(Visible(s), (Names{"SaveGraphButton", "SaveBlWhButton", "RegButton", "ConfButton", "CalcObs_Button",
                                "BPButton"}));
    QVERIFY(!s.Enabled("ConfButton"));
    QVERIFY(s.Action("GraphSaveAction")->isEnabled());
    const QImage connecting = Picture(s);
    QCOMPARE(connecting.size(), QSize(623, 465));

    s.Click("RegButton");
    QCOMPARE(s.Caption("RegButton"), QStringLiteral("Show connecting line"));
    QCOMPARE(s.Caption("ConfButton"), QStringLiteral("Show confidence belt"));
    QVERIFY(s.Enabled("ConfButton") && s.Shown("CalcObs_Button"));
    const QImage fitted = Picture(s);
    QVERIFY(fitted != connecting);

    s.Click("ConfButton");
    QCOMPARE(s.Caption("ConfButton"), QStringLiteral("Remove confidence belt"));
    QVERIFY(Picture(s) != fitted);
    s.Click("ConfButton");
    QCOMPARE(s.Caption("ConfButton"), QStringLiteral("Show confidence belt"));
    QCOMPARE(Picture(s), fitted);

    s.Click("CalcObs_Button");
    QCOMPARE(s.Caption("CalcObs_Button"), QStringLiteral("See regress. graph"));
    QVERIFY(!s.Shown("ConfButton") && !s.Shown("RegButton") && !s.Shown("ZtypeButton"));
    QVERIFY(Picture(s) != fitted);
    s.Click("CalcObs_Button");
    QCOMPARE(s.Caption("CalcObs_Button"), QStringLiteral("See calc-obs graph"));
    QVERIFY(s.Shown("ConfButton") && s.Shown("RegButton"));
    QCOMPARE(Picture(s), fitted);

    // Saved in colour from the menu, in black and white from the button.
    const std::string colour = s.dir / "colour.bmp", bw = s.dir / "bw";  // the dialog adds .bmp
    s.ui.files = {colour, bw};
    s.Action("GraphSaveAction")->trigger();
    s.Click("SaveBlWhButton");
    QCOMPARE(std::vector(s.ui.messages.end() - 2, s.ui.messages.end()),
             (Names{"The graph was saved in  " + colour, "The graph was saved in  " + bw + ".bmp"}));
    const QImage savedColour(QString::fromStdString(colour));
    QCOMPARE(test::ReadBytes(colour).substr(0, 2), std::string("BM"));
    QCOMPARE(savedColour, fitted.convertToFormat(savedColour.format()));
    // The black-and-white drawing stays on the tab until the next command,
    // which draws in colour again.
    QCOMPARE(ColouredPixels(Picture(s)), 0);

    s.Click("RegButton");
    QCOMPARE(s.Caption("RegButton"), QStringLiteral("Show regression line"));
    QVERIFY(!s.Enabled("ConfButton") && !s.Shown("CalcObs_Button"));
    QCOMPARE(Picture(s), connecting);

    s.Click("BPButton");
    QVERIFY(s.app.helpWindow->isVisible());
    QCOMPARE(s.ui.messages.size(), size_t{3});  // the calculation's and the two saves'
  }

  void straightLineHasOnlyTheBelt() {
    Session line;
    line.Run(Type1Data(), "t1.inp");
    line.Click("GraphicsButton");
    QCOMPARE(Visible(line), (Names{"SaveGraphButton", "SaveBlWhButton", "ConfButton", "BPButton"}));
    QVERIFY(line.Enabled("ConfButton"));
    const QImage plain = Picture(line);
    line.Click("ConfButton");
    QCOMPARE(line.Caption("ConfButton"), QStringLiteral("Remove confidence belt"));
    QVERIFY(Picture(line) != plain);
  }

  void bothTypesCombinedAndBack() {
    Session s;
    s.RunExample("watertable");
    s.Click("GraphicsButton");
    QVERIFY(s.Shown("ZtypeButton"));
    QCOMPARE(s.Caption("ZtypeButton"), QStringLiteral("Show combination  Type 3 and 4"));
    s.Click("RegButton");
    const QImage partial = Picture(s);

    s.Click("ZtypeButton");
    QCOMPARE(s.Caption("ZtypeButton"), QStringLiteral("Show best of the two"));
    QVERIFY(!s.Enabled("ConfButton") && !s.Enabled("RegButton"));
    const QImage combined = Picture(s);
    QVERIFY(combined != partial);

    s.Click("ZtypeButton");
    QCOMPARE(s.Caption("ZtypeButton"), QStringLiteral("Show combination  Type 3 and 4"));
    QVERIFY(s.Enabled("RegButton"));
    QCOMPARE(Picture(s), partial);

    // The same file opened in a later run still offers the combination.
    Session later;
    later.ui.files.push_back(s.dir / "watertable-run.out");
    later.Click("ResultButton");
    later.Click("GraphicsButton");
    QVERIFY(later.Shown("ZtypeButton"));
    later.Click("ZtypeButton");
    QCOMPARE(later.Caption("ZtypeButton"), QStringLiteral("Show best of the two"));
  }

  void savedGraphEqualsTheBatchCommands() {
    Session s;
    s.RunExample("salinity");
    s.Click("GraphicsButton");
    s.Click("RegButton");
    s.Click("ConfButton");
    // After a visit to the intro tab the menu entry is greyed; the button saves.
    s.GoTo("IntroTabSheet");
    s.GoTo("GraphicsTabSheet");
    QVERIFY(!s.Action("GraphSaveAction")->isEnabled());
    const std::string fromWindow = s.dir / "window.bmp";
    s.ui.files = {fromWindow};
    s.Click("SaveBlWhButton");
    QCOMPARE(s.Last(), "The graph was saved in  " + fromWindow);

    std::ostringstream out, err;
    const std::string fromCli = s.dir / "cli.bmp";
    QCOMPARE(RunBatch({"graph", s.dir / "salinity-run.out", fromCli, "--regression-line", "--belt", "--bw"}, out, err, WriteGraph),
             0);
    QCOMPARE(test::ReadBytes(fromWindow), test::ReadBytes(fromCli));
  }

  void leastSquaresLineOnAndOff() {
    Session s;
    s.RunExample("salinity");
    s.Click("GraphicsButton");
    const QImage plain = Picture(s);
    s.Click("LeastSquaresGraphButton");
    QCOMPARE(s.Caption("LeastSquaresGraphButton"), QStringLiteral("Hide least squares"));
    const QImage shown = Picture(s);
    const std::string fromWindow = s.dir / "window.bmp", fromCli = s.dir / "cli.bmp";
    s.ui.files = {fromWindow};
    s.Action("GraphSaveAction")->trigger();
    std::ostringstream out, err;
    QCOMPARE(RunBatch({"graph", s.dir / "salinity-run.out", fromCli, "--least-squares"}, out, err, WriteGraph), 0);
    QCOMPARE(test::ReadBytes(fromWindow), test::ReadBytes(fromCli));
    QCOMPARE(shown, QImage(QString::fromStdString(fromCli)).convertToFormat(shown.format()));
    s.Click("LeastSquaresGraphButton");
    QCOMPARE(s.Caption("LeastSquaresGraphButton"), QStringLiteral("Show least squares"));
    QCOMPARE(Picture(s), plain);
    // Not offered for a straight line; a new result starts without it.
    s.Click("LeastSquaresGraphButton");
    s.Run(Type1Data(), "line.inp");
    s.Click("GraphicsButton");
    QVERIFY(!s.Shown("LeastSquaresGraphButton"));
    QCOMPARE(s.Caption("LeastSquaresGraphButton"), QStringLiteral("Show least squares"));
  }

  // The name's ending decides the kind; the filter chosen the size of a PNG
  // and the ending of a name without one. Both save buttons write every
  // kind; a picture opened from disk is saved as a bitmap or PNG only.
  void everyFilterWritesItsKind() {
    Session s;
    s.RunExample("salinity");
    s.Click("GraphicsButton");
    const struct {
      const char* name;
      std::size_t filter;
      const char* file;
      std::string start;
      QSize size;
      bool bw;
    } saves[] = {{"x2.png", 2, "x2.png", "\x89PNG", {1246, 930}, false},
                 {"x3", 3, "x3.png", "\x89PNG", {1869, 1395}, true},
                 {"drawing", 4, "drawing.svg", "<?xml", {}, true},
                 {"page.pdf", 5, "page.pdf", "%PDF-", {}, false},
                 {"named.svg", 0, "named.svg", "<?xml", {}, false}};
    for (const auto& save : saves) {
      const std::string path = s.dir / save.file;
      s.ui.files = {s.dir / save.name};
      s.ui.filters = {save.filter};
      s.Click(save.bw ? "SaveBlWhButton" : "SaveGraphButton");
      QCOMPARE(s.Last(), "The graph was saved in  " + path);
      QCOMPARE(test::ReadBytes(path).substr(0, save.start.size()), save.start);
      const QImage saved(QString::fromStdString(path));
      if (save.size.isValid())
        QCOMPARE(std::pair(saved.size(), ColouredPixels(saved) == 0), std::pair(save.size, save.bw));
    }
    s.ui.files = {s.dir / "x2.png", s.dir / "copy.svg", s.dir / "copy.png"};
    s.ui.filters = {4, 3};
    s.Action("GraphOpenAction")->trigger();
    s.Click("SaveGraphButton");
    s.Click("SaveBlWhButton");
    const std::string refused = "A picture opened with Open graph is saved as a bitmap or a PNG of its own size "
                                "only. For SVG, PDF or a larger PNG, draw the graph from its output file.";
    QCOMPARE(Names(s.ui.messages.end() - 2, s.ui.messages.end()), Names(2, refused));
    QVERIFY(!std::filesystem::exists(s.dir / "copy.svg") && !std::filesystem::exists(s.dir / "copy.png"));
  }

  // With no result at all: the bitmap is shown whole and saved as it is
  // shown, or in greys; a larger one is shown smaller.
  void openedBitmapShownWholeAndSavedAsShown() {
    Session s;
    std::ostringstream out, err;
    const std::string drawn = s.dir / "drawn.bmp", big = s.dir / "big.bmp";
    QCOMPARE(RunBatch({"graph", KINVALO_TEST_DATA "/salinity.out", drawn}, out, err, WriteGraph), 0);
    QImage red(2 * 623, 2 * 465, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(QString::fromStdString(big)));

    s.ui.files = {drawn};
    s.Action("GraphOpenAction")->trigger();
    QCOMPARE(s.CurrentTab(), s.Get("GraphicsTabSheet"));
    const QImage shown = Picture(s, "PictureImage");
    QCOMPARE(shown, QImage(QString::fromStdString(drawn)).convertToFormat(shown.format()));
    QVERIFY(QRect(QPoint(), s.Get("PictureImage")->size()).contains(shown.rect()));
    QVERIFY(!s.Shown("GraphImage"));
    QCOMPARE(Visible(s), (Names{"SaveGraphButton", "SaveBlWhButton"}));

    const std::string copy = s.dir / "copy.bmp", grey = s.dir / "grey.bmp";
    s.ui.files = {copy, grey};
    s.Action("GraphSaveAction")->trigger();
    s.Click("SaveBlWhButton");
    QCOMPARE(s.ui.messages, (Names{"The graph was saved in  " + copy, "The graph was saved in  " + grey}));
    QCOMPARE(test::ReadBytes(copy), test::ReadBytes(drawn));
    const QImage greys(QString::fromStdString(grey));
    QCOMPARE(ColouredPixels(greys), 0);
    QCOMPARE(greys, shown.convertToFormat(QImage::Format_Grayscale8).convertToFormat(greys.format()));

    s.ui.files = {big};
    s.Click("SeeGraphButton");
    QCOMPARE(Picture(s, "PictureImage").size(), QSize(623, 465));
  }

  // Without a result no command of the result is offered, and one reached
  // anyway says so and draws nothing.
  void withoutAResultNothingIsDrawn_data() {
    QTest::addColumn<QString>("before");
    QTest::newRow("fresh start") << "";
    QTest::newRow("Clear data after a calc-obs graph") << "ClearButton";
    QTest::newRow("Open input after a calc-obs graph") << "InputOpenButton";
  }

  void withoutAResultNothingIsDrawn() {
    QFETCH(QString, before);
    Session s;
    if (!before.isEmpty()) {
      s.ui.files.push_back(s.Run(Type3Data(), "earlier.inp"));
      for (const char* b : {"GraphicsButton", "RegButton", "CalcObs_Button"}) s.Click(b);
      s.ui.answers = {true};
      s.Click(qPrintable(before));
    }
    s.GoTo("OutputTabSheet");
    s.GoTo("GraphicsTabSheet");
    QCOMPARE(Visible(s), Names{});
    s.ui.messages.clear();
    const Names commands{"GraphicsButton", "ExplainButton", "AnovaButton",     "RegButton",     "ConfButton",
                         "CalcObs_Button", "ZtypeButton",   "SaveGraphButton", "SaveBlWhButton"};
    for (const std::string& name : commands) {
      auto* b = s.Get<QPushButton>(name.c_str());
      QVERIFY2(b->isHidden(), name.c_str());
      b->setEnabled(true);
      b->click();
    }
    QCOMPARE(s.ui.messages, Names(commands.size(), kNoResultMessage));
    QVERIFY(!s.Shown("GraphImage") && !s.Shown("OutputMemo"));
  }

  // A new result starts with the commands and options of a first graph,
  // whatever the last one left greyed or switched on.
  void aNewResultStartsAfresh() {
    Session s;
    s.RunExample("watertable");
    s.Click("GraphicsButton");
    s.Click("ZtypeButton");
    s.Calculate("again.inp");
    s.Click("GraphicsButton");
    QVERIFY(s.Enabled("RegButton"));
    s.Click("RegButton");
    QVERIFY(s.Enabled("ConfButton"));
    s.Click("CalcObs_Button");
    s.Calculate("third.inp");
    s.Click("GraphicsButton");
    QCOMPARE(s.Caption("CalcObs_Button"), QStringLiteral("See calc-obs graph"));
    std::ostringstream out, err;
    const std::string batch = s.dir / "batch.bmp";
    QCOMPARE(RunBatch({"graph", s.dir / "third.out", batch}, out, err, WriteGraph), 0);
    const QImage shown = Picture(s);
    QCOMPARE(shown, QImage(QString::fromStdString(batch)).convertToFormat(shown.format()));
  }

  void cancelledAndRefusedDialogs() {
    Session s;
    s.RunExample("salinity");
    s.Click("GraphicsButton");
    const QImage before = Picture(s);
    s.ui.messages.clear();
    const std::string notAPicture = s.dir / "notes.bmp", existing = s.dir / "keep.bmp";
    test::WriteBytes(notAPicture, "these are notes\r\n");
    test::WriteBytes(existing, "mine");
    s.ui.files = {std::nullopt, s.dir / "missing.bmp", notAPicture};
    for (int i = 0; i < 3; ++i) s.Click("SeeGraphButton");
    QVERIFY(s.Shown("GraphImage"));
    s.ui.files = {std::nullopt, existing, s.dir / "no-such-folder/g.bmp"};
    s.ui.answers = {false};
    for (int i = 0; i < 3; ++i) s.Click("SaveGraphButton");
    QCOMPARE(test::ReadBytes(existing), std::string("mine"));
    QCOMPARE(Picture(s), before);
    QCOMPARE(s.ui.messages.size(), size_t{6});
    QVERIFY(QString::fromStdString(s.ui.messages.back()).contains("could not be written"));
    s.ui.messages.pop_back();
    QCOMPARE(s.ui.messages, (Names{"No graphics file selected", "File does not exist, please select another one",
                                   "The file \"" + notAPicture + "\" is not a picture that can be shown.",
                                   "The graph was not saved", "The file already exists, overwrite?"}));
  }
};

QTEST_MAIN(GraphicsTabTest)
#include "graphics_tab_test.moc"
