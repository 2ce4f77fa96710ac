#include "app/qt_platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <QThread>

namespace kinvalo::app {

namespace {
const QString kTitle = QStringLiteral("Kinvalo");
}

QString ToQtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << (description.contains(QLatin1Char('(')) ? description : description + " (" + pattern + ")");
  }
  if (parts.size() % 2 == 1 && !parts.back().isEmpty()) filters << parts.back();
  return filters.join(QStringLiteral(";;"));
}

void QtPlatform::ShowMessage(const std::string& text) {
  QMessageBox::information(parent_, kTitle, QString::fromStdString(text));
}

bool QtPlatform::AskYesNo(const std::string& text, DefaultAnswer preselected) {
  const QMessageBox::StandardButton first = preselected == DefaultAnswer::No ? QMessageBox::No : QMessageBox::Yes;
  return QMessageBox::question(parent_, kTitle, QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                               first) == QMessageBox::Yes;
}

std::optional<SaveChoice> QtPlatform::RunDialog(const FileDialogOptions& options, bool save) {
  const QString filters = ToQtFilter(options.filter);
  QFileDialog dialog(parent_, QString::fromStdString(options.title),
                     QString::fromStdString(options.initialFolder), filters);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The program asks itself before it overwrites a file.
  if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  QString suffix = QString::fromStdString(options.defaultExtension);
  if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  // A name typed without an extension takes that of the chosen filter
  // ("PNG (*.png)"), and none under "All files (*)".
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    const QString pattern = filter.section(QLatin1Char('('), 1).section(QLatin1Char(')'), 0, 0);
    const QString first = pattern.section(QLatin1Char(' '), 0, 0);
    dialog.setDefaultSuffix(first.startsWith(QLatin1String("*.")) ? first.mid(2) : QString());
  });
  if (!options.fileName.empty()) dialog.selectFile(QString::fromStdString(options.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const qsizetype filter = filters.split(QStringLiteral(";;")).indexOf(dialog.selectedNameFilter());
  return SaveChoice{dialog.selectedFiles().first().toStdString(),
                    filter < 0 ? 0 : static_cast<std::size_t>(filter)};
}

std::optional<std::string> QtPlatform::OpenFileDialog(const FileDialogOptions& options) {
  std::optional<SaveChoice> chosen = RunDialog(options, false);
  return chosen ? std::optional(std::move(chosen->path)) : std::nullopt;
}

std::optional<std::string> QtPlatform::SaveFileDialog(const FileDialogOptions& options) {
  std::optional<SaveChoice> chosen = RunDialog(options, true);
  return chosen ? std::optional(std::move(chosen->path)) : std::nullopt;
}

std::optional<SaveChoice> QtPlatform::SaveFileDialogWithFilter(const FileDialogOptions& options) {
  return RunDialog(options, true);
}

void QtPlatform::Wait(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) {
    const int left = milliseconds - static_cast<int>(clock.elapsed());
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, left > 0 ? left : 0);
    QThread::msleep(10);
  }
}

}  // namespace kinvalo::app
