// Open data: two columns of a data file go into the input table as if they
// had been pasted there. Save/calculate then suggests DATA.inp beside
// DATA.csv, and asks before it overwrites one that is there.
#include <utility>

#include "app/column_choice_dialog.h"
#include "app/input_tab.h"
#include "app/settings.h"
#include "core/paths.h"
#include "data/delimited_file.h"

namespace kinvalo::app {

void InputTab::DataOpenActionExecute() {
  const std::optional<std::string> path = ui_.OpenFileDialog(dialogs_.DataOpen());
  if (!path) {
    ui_.ShowMessage("No data file was selected");
    return;
  }
  if (!FileExists(*path)) {
    ui_.ShowMessage("File does not exist, please select another one,");
    return;
  }
  OpenDataFile(*path);
}

void InputTab::OpenDataFile(const std::string& path) {
  // A refused file has been reported and changed nothing.
  PastedData pasted;
  try {
    const DelimitedFile file = DelimitedFile::Read(path);
    // Too few rows for any two columns: said before the user chooses.
    if (file.RowCount() < kMinDataFileRows) pasted = file.AsPasted(file.DefaultColumns());
    ColumnChoiceDialog dialog(window(), file);
    if (dialog.exec() != QDialog::Accepted) return;
    pasted = file.AsPasted(dialog.Choice());
  } catch (const DataFileError& e) {
    ui_.ShowMessage(e.what());
    return;
  }
  PutResultAway();
  WorkingData& dm = s_.DM;
  dm.Title1 = pasted.title1;
  dm.Title2 = pasted.title2;
  dm.YData = std::move(pasted.y);
  dm.XData = std::move(pasted.x);
  dm.NrOfData = dm.NrOfInputData = static_cast<std::int32_t>(dm.YData.size());
  dm.Serial.resize(dm.YData.size());
  for (size_t i = 0; i < dm.Serial.size(); ++i) dm.Serial[i] = static_cast<std::int32_t>(i + 1);
  // The input file to be: the save dialog suggests it in the data file's
  // folder.
  dm.FileName = pasted.inputPath;
  dialogs_.SetFolder(ExtractFilePath(path));
  RememberRecentFile(path);
  // Not saved until a calculation saves it: leaving the program asks, as
  // after a paste.
  ShowOpenedData(pasted.inputPath, false);
  if (!pasted.leftOutMessage.empty()) ui_.ShowMessage(pasted.leftOutMessage);
}

}  // namespace kinvalo::app
