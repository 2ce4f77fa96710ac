#pragma once
// One program run for the window tests, with the ways a user reaches the
// controls; dialogs and message boxes are answered by a scripted platform.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/application.h"
#include "core/textfile.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"


namespace kinvalo::test_app {

using namespace kinvalo::app;

const char* const kNotReal = "Not all data values in the inputfile are real, do not use letters or blanks.";

// Level up to X = 10, then falling: a clear Type 3.
inline std::vector<std::pair<double, double>> Type3Data() {
  std::vector<std::pair<double, double>> rows;
  for (int i = 1; i <= 20; ++i) {
    const double noise = (i % 3 - 1) * 0.4;
    rows.emplace_back((i <= 10 ? 50.0 : 50.0 - 3.0 * (i - 10)) + noise, i);
  }
  return rows;
}

// A straight line with a little scatter: Type 1.
inline std::vector<std::pair<double, double>> Type1Data() {
  std::vector<std::pair<double, double>> rows;
  for (int i = 1; i <= 20; ++i) rows.emplace_back(5.0 + 2.0 * i + (i % 4 - 1.5) * 0.8, i);
  return rows;
}

inline std::vector<std::string> FileLines(const std::string& path) {
  TextReader in;
  std::vector<std::string> lines;
  if (!in.Open(path)) return lines;
  while (!in.AtEnd()) lines.push_back(in.ReadLine());
  return lines;
}

// What the program remembers between runs is kept in a folder of the test
// run, never in the user's own settings. A session starts without any,
// unless it is the next run of the one before.
enum class Settings : std::uint8_t { Fresh, Kept };

struct TestSettings {
  explicit TestSettings(Settings settings) {
    static const test::TempDir folder;
    QStandardPaths::setTestModeEnabled(true);
    const QString path = QString::fromStdString(folder.path().string());
    for (QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
      QSettings::setPath(QSettings::NativeFormat, scope, path);
    }
    NameApplication();
    if (settings == Settings::Fresh) QSettings().clear();
  }
};

struct Session {
  TestSettings settings;
  test::ScriptedPlatform ui;
  int ended = 0;
  KinvaloApplication app{ui, [this] { ++ended; }};
  test::TempDir dir;
  MainWindow* form = nullptr;

  // `arguments` is the command line, the program's name first.
  explicit Session(Settings start = Settings::Fresh, const QStringList& arguments = {}) : settings(start) {
    app.Start(arguments);
    form = app.mainWindow.get();
    QApplication::setActiveWindow(form);
  }
  explicit Session(const char* tab) : Session() { GoTo(tab); }

  template <typename T = QWidget>
  T* Get(const char* name) const {
    T* widget = form->findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
  }
  QWidget* InputTab() const { return Get("InputTabSheet"); }
  // A control of the input tab (the help window has a memo of the same name).
  template <typename T = QWidget>
  T* In(const char* name) const {
    T* widget = InputTab()->findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("no input control %s", name);
    return widget;
  }
  bool Shown(const char* name) const { return !Get(name)->isHidden(); }
  QString Caption(const char* name) const { return Get<QPushButton>(name)->text(); }
  QString Status() const { return Get<QLabel>("StatusPanel")->text(); }
  QWidget* CurrentTab() const { return Get<QTabWidget>("PageControl1")->currentWidget(); }
  void GoTo(const char* tab) const {
    auto* pages = Get<QTabWidget>("PageControl1");
    pages->setCurrentWidget(Get(tab));
  }
  void Click(const char* name) const { QTest::mouseClick(Get<QPushButton>(name), Qt::LeftButton); }
  QAction* Action(const char* name) const { return Get<QAction>(name); }
  std::string Last() const { return ui.messages.empty() ? std::string() : ui.messages.back(); }
  bool Enabled(const char* name) const { return Get(name)->isEnabled(); }

  QTableView* Grid() const { return In<QTableView>("StringGrid1"); }
  QString Cell(int col, int row) const {
    return Grid()->model()->index(row - 1, col).data().toString();
  }
  int Rows() const { return Grid()->model()->rowCount(); }
  QString CountBox() const { return In<QLineEdit>("NrOfDataEdit")->text(); }

  // Opens the cell editor of (col, row) as a double click does.
  QLineEdit* Editor(int col, int row) const {
    QTableView* grid = Grid();
    const QModelIndex index = grid->model()->index(row - 1, col);
    grid->setCurrentIndex(index);
    grid->edit(index);
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : grid->findChildren<QLineEdit*>(QStringLiteral("StringGrid1Editor"))) {
      if (!e->isHidden()) editor = e;
    }
    if (!editor) qFatal("no cell editor");
    editor->setFocus();
    return editor;
  }
  // Types `text` key by key over the cell's text and leaves the cell.
  void Type(int col, int row, const QString& text) const {
    QLineEdit* editor = Editor(col, row);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
  }
  // Pastes two spreadsheet columns, one CR LF line per data set, with
  // Ctrl+V in the editor of the first Y cell.
  void PasteData(const std::vector<std::pair<double, double>>& rows) const {
    QString text;
    for (const auto& [y, x] : rows) text += QString::number(y) + "\t" + QString::number(x) + "\r\n";
    QApplication::clipboard()->setText(text);
    QLineEdit* editor = Editor(1, 1);
    editor->selectAll();
    QTest::keySequence(editor, QKeySequence::Paste);
  }

  // Save/calculate, answering the save dialog with `name` in the folder.
  std::string Calculate(const std::string& name) {
    const std::string path = dir / name;
    ui.files.push_back(path);
    Click("InputSaveButton");
    return path;
  }
  // Types `text` into the count box and presses Return; the last message.
  std::string EnterCount(const char* text) {
    auto* count = In<QLineEdit>("NrOfDataEdit");
    count->selectAll();
    QTest::keyClicks(count, text);
    QTest::keyClick(count, Qt::Key_Return);
    return Last();
  }
  // Pastes `rows` on the input tab and calculates them into `name`.
  std::string Run(const std::vector<std::pair<double, double>>& rows, const std::string& name) {
    GoTo("InputTabSheet");
    PasteData(rows);
    return Calculate(name);
  }
  // Opens an example input file and calculates it into `name`-run.inp.
  void RunExample(const std::string& name) {
    const std::string input = dir / (name + ".inp");
    std::filesystem::copy_file(std::string(KINVALO_EXAMPLES) + "/" + name + ".inp", input);
    ui.files.push_back(input);
    Click("InputOpenButton");
    Calculate(name + "-run.inp");
  }
  // The output memo shows the file `name` of the folder line by line.
  bool Shows(const std::string& name) const {
    QStringList lines;
    for (const auto& line : FileLines(dir / name)) lines << QString::fromStdString(line);
    return Get<QPlainTextEdit>("OutputMemo")->toPlainText().split(QLatin1Char('\n')) == lines;
  }
};

}  // namespace kinvalo::test_app

