// Files a user can spoil by hand, or pick by mistake: each one gives a
// message, the program goes on, and neither the file nor the data in the
// window are lost.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include <filesystem>
#include <string>
#include <vector>

#include "session.h"

using namespace kinvalo;
using namespace kinvalo::app;
using namespace kinvalo::test_app;

namespace {

// The first `count` CR LF lines of `text`.
std::string FirstLines(const std::string& text, size_t count) {
  size_t end = 0;
  for (size_t i = 0; i < count; ++i) end = text.find("\r\n", end) + 2;
  return text.substr(0, end);
}

// A 50 MB file of bytes that are not text at all.
std::string Junk50MB() {
  std::string junk(50u << 20, '\0');
  unsigned state = 12345;
  for (char& c : junk) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 24);
    if (c == '\r' || c == '\n') c = 'x';
  }
  return junk;
}

}  // namespace

class BadFilesTest : public QObject {
  Q_OBJECT

 private slots:
  // The reader's refusal reaches the user; the file and the report stay.
  void incompleteOutput() {
    Session s;
    const std::string path = s.dir / "bad.out";
    const std::string text = FirstLines(test::ReadBytes(KINVALO_TEST_DATA "/salinity.out"), 101);  // 25 of 40 rows
    test::WriteBytes(path, text);
    s.ui.files = {path};
    s.Click("ResultButton");
    s.Click("GraphicsButton");
    QCOMPARE(s.Last(), "The output file \"" + path +
                           "\" is incomplete: its observation table breaks off after 25 rows. It can not be read.");
    QCOMPARE(s.CurrentTab(), s.Get("OutputTabSheet"));
    QVERIFY(!s.Shown("GraphImage"));
    QCOMPARE(test::ReadBytes(path), text);
    QVERIFY(s.Get<QPlainTextEdit>("OutputMemo")->toPlainText().contains("SUMMARY OF THE Y-X REGRESSION."));
  }

  void inputWithWindows1252Titles() {
    Session s;
    const std::string path = s.dir / "duengung.inp";
    std::string text = test::ReadBytes(KINVALO_EXAMPLES "/salinity.inp");
    text.replace(0, text.find("\r\n"), "W\xe4rme und D\xfcngung \x96 Versuch 2024");
    test::WriteBytes(path, text);
    s.ui.files = {path};
    s.Click("InputOpenButton");
    QCOMPARE(s.In<QLineEdit>("Title1Edit")->text(), QStringLiteral("Wärme und Düngung – Versuch 2024"));
    s.Calculate("duengung-run.inp");
    // The report keeps the letters in the files' own code page and shows them
    // as they were typed.
    const std::string report = test::ReadBytes(s.dir / "duengung-run.out");
    QVERIFY(report.find("\r\n W\xe4rme und D\xfcngung \x96 Versuch 2024\r\n") != std::string::npos);
    QVERIFY(s.Get<QPlainTextEdit>("OutputMemo")->toPlainText().contains("Wärme und Düngung – Versuch 2024"));
    s.Click("GraphicsButton");
    QVERIFY(s.Shown("GraphImage"));
  }

  void unreadableInput_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("message");  // its parts; %1 is the file
    // One line of 50 MB: no title comes near it, and it is refused unheld.
    QTest::newRow("50 MB of junk")
        << "junk" << QStringList{"The input file \"%1\", line 1", "the line is longer than 16777216 characters."};
    // The command wrapper catches what the reader throws.
    QTest::newRow("count not a number: the command stops")
        << "count" << QStringList{"An unexpected error stopped this command.", "%1"};
  }

  void unreadableInput() {
    QFETCH(QString, kind);
    QFETCH(QStringList, message);
    Session s;
    const std::string path = s.dir / "data.inp";
    if (kind == "junk") {
      test::WriteBytes(path, Junk50MB());
    } else {
      test::WriteBytes(path, "t1\r\nt2\r\n File name:  x\r\n Number of independent variables:  1\r\n"
                             " Number of data sets:  many\r\n");
    }
    const std::string before = test::ReadBytes(path);
    s.GoTo("InputTabSheet");
    s.Type(1, 1, "7.5");
    s.ui.files = {path};
    s.Click("InputOpenButton");
    QCOMPARE(s.ui.messages.size(), size_t{1});
    const QString shown = QString::fromStdString(s.ui.messages[0]);
    for (const QString& part : message) {
      QVERIFY2(shown.contains(part.arg(QString::fromStdString(path))), qPrintable(shown));
    }
    QCOMPARE(s.Cell(1, 1), QStringLiteral("7.5"));
    QVERIFY(!s.Shown("FileNameEdit"));
    QVERIFY(test::ReadBytes(path) == before);
    // The program goes on.
    s.Type(1, 2, "8");
    QCOMPARE(s.Cell(1, 2), QStringLiteral("8"));
  }

  void junkOf50MBOpenedAsOutput() {
    Session s;
    const std::string path = s.dir / "junk.out";
    test::WriteBytes(path, Junk50MB());
    s.ui.files = {path};
    s.Click("ResultButton");
    // The output tab reads the file back as it comes to the front.
    QCOMPARE(s.ui.messages, (std::vector<std::string>{" The output file is invalid due to inadequate input data",
                                                       "This is not a Kinvalo output file. It can not be read."}));
    QVERIFY(s.Get<QPlainTextEdit>("OutputMemo")->toPlainText().isEmpty());
    s.Click("GraphicsButton");
    QCOMPARE(s.ui.messages.back(), std::string("This is not a Kinvalo output file. It can not be read."));
    QVERIFY(!s.Shown("GraphImage"));
    QCOMPARE(std::filesystem::file_size(path), std::uintmax_t{50u << 20});
  }
};

QTEST_MAIN(BadFilesTest)
#include "bad_files_test.moc"
