#include "app/application.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace kinvalo::app {

void NameApplication() {
  QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganisationName));
  QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
}

KinvaloApplication::KinvaloApplication(Platform& ui, std::function<void()> endApplication)
    : state(std::make_unique<AppState>(ui)),
      mainWindow(std::make_unique<MainWindow>(ui, *state, std::move(endApplication))),
      finishWindow(&mainWindow->Finish()),
      symbolsWindow(&mainWindow->Symbols()),
      helpWindow(&mainWindow->Help()),
      moreInfoWindow(&mainWindow->MoreInfo()) {}

std::string FileToOpen(const QStringList& arguments) {
  if (arguments.size() < 2) return {};
  QCommandLineParser parser;
  parser.addPositionalArgument(
      QStringLiteral("file"),
      QStringLiteral("An input file (.inp), an output file (.out) or a data file to open."));
  // An unknown option is no reason not to start.
  parser.parse(arguments);
  const QStringList files = parser.positionalArguments();
  if (files.isEmpty() || files.front().isEmpty()) return {};
  return QFileInfo(files.front()).absoluteFilePath().toStdString();
}

void KinvaloApplication::Start(const QStringList& arguments) {
  mainWindow->FormCreate();
  mainWindow->show();
  const std::string file = FileToOpen(arguments);
  if (!file.empty()) mainWindow->OpenFile(file);
}

}  // namespace kinvalo::app
