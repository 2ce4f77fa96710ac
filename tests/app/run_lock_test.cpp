// The window's calculation run while a script calculates the same input:
// the window waits, then tells the user and stays on the input tab; the
// input file is saved, no result file is written.
#include <QPlainTextEdit>
#include <QtTest>

#include <chrono>
#include <string>

#include "core/result_lock.h"
#include "session.h"

using namespace kinvalo;
using namespace kinvalo::app;
using namespace kinvalo::test_app;

class RunLockTest : public QObject {
  Q_OBJECT

 private slots:
  void aHeldResultSetIsReportedAndNothingIsWritten() {
    Session s{"InputTabSheet"};
    const std::string input = s.dir / "held.inp";
    const ResultLock script(input, std::chrono::milliseconds(0));
    QVERIFY(script.state() == ResultLock::State::Held);
    s.PasteData(Type3Data());
    s.ui.messages.clear();
    s.Calculate("held.inp");
    QCOMPARE(s.ui.messages,
             std::vector<std::string>{"The results of \"" + input +
                                      "\" are being calculated by another run. Please try again when it has "
                                      "finished."});
    QCOMPARE(s.CurrentTab(), s.Get("InputTabSheet"));
    QVERIFY(s.In("WaitMemo")->isHidden());
    QCOMPARE(QString::fromStdString(s.dir.Listing()), QStringLiteral("held.inp held.kinvalo.lock "));
  }
};

QTEST_MAIN(RunLockTest)
#include "run_lock_test.moc"
