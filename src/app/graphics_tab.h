#pragma once
// The Graphics tab: the graph of the current output file with its display
// options, the calc-obs and combined graphs, saving the graph as a bitmap,
// PNG, SVG or PDF in colour or black and white, and showing a bitmap saved
// earlier. Every command reads the output file back; nothing is drawn from
// memory.
#include <cstdint>
#include <optional>

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "app/app_state.h"
#include "app/main_actions.h"
#include "app/tab_host.h"
#include "data/graph_model.h"
#include "graphs/graph_draw.h"

namespace kinvalo {
class GraphPicture;
}

namespace kinvalo::app {

class HelpWindow;

class GraphicsTab : public QWidget {
  Q_OBJECT

 public:
  GraphicsTab(QWidget* parent, TabHost& host, AppState& state, Platform& ui, const MainActions& actions,
              FileDialogs& dialogs, HelpWindow& help);
  ~GraphicsTab() override;

  void GraphicsTabSheetShow();

  // The buttons of the tab and the graph button of the output tab.
  void GraphicsButtonClick();
  void RegButtonClick();
  void ConfButtonClick();
  void LeastSquaresGraphButtonClick();
  void CalcObs_ButtonClick();
  void ZtypeButtonClick();
  void BPbuttonClick();
  void MakeGraphButtonClick();
  void GraphOpenActionExecute();
  void GraphSaveActionExecute();
  void SaveBlWhButtonClick();

  // What the commands that bring new data or a new result put back on the
  // page.
  enum class GraphicsReset : std::uint8_t {
    InputOpened,       // the page empties; the result's captions stay
    ResultCalculated,  // the options and captions start again; the partial
                       // graph commands follow the type calculated
    ResultOpened,      // both
  };
  void ResetGraphicsPage(GraphicsReset reset);
  // What the page puts away when the input or the output tab comes to the
  // front. Without a result, the input tab also takes the confidence help.
  void InputTabShown(bool calculated);
  void OutputTabShown();
  // The display options of a fresh start ("Clear data").
  void FormCreate();

  // Reads the output file DM.FileName back and shows the messages of the
  // read; the model, or nothing when the file was refused.
  std::optional<GraphModel> ReadOutput();

 signals:
  // A bitmap saved earlier is on the page: the output tab hides its file
  // and commands.
  void PictureOpened();

 private:
  // The graph of `model`, the output file as read for this command, with
  // the commands that go with it.
  void ShowGraph(const GraphModel& model);
  // Draws `kind` on a fresh picture and shows it; false when nothing was
  // drawn (the reason has been shown).
  bool Draw(GraphKind kind, const GraphModel& model, const PreparedGraph& prepared);
  bool ShowDrawing(const DrawOutcome& outcome, const QImage& picture);
  void SaveGraph(bool colour);
  // Asks for a file and writes the graph `drawn` into it in the kind
  // chosen, naming `title`; without a drawing, the `opened` picture as it
  // is, as a bitmap or PNG only.
  void SaveToChosenFile(GraphPicture* drawn, const QImage& opened, const std::string& title);
  // The commands that draw the result.
  void HideResultCommands();
  void SetZtypeCaption(const char* caption);
  void CloseConfidenceHelp();
  // The display options that the buttons of the page stand for.
  GraphOptions& Options() { return s_.Graph.options; }

  TabHost& host_;
  AppState& s_;
  Platform& ui_;
  const MainActions& actions_;
  FileDialogs& dialogs_;
  HelpWindow& help_;

  // A graph or a picture stands on the page.
  bool GraphShown_ = false;
  // The bitmap opened last, as read.
  QImage openedPicture_;

  QLabel *GraphImage, *PictureImage;
  QPushButton *SeeGraphButton, *MakeGraphButton, *SaveGraphButton, *SaveBlWhButton, *RegButton, *ConfButton,
      *LeastSquaresGraphButton, *CalcObs_Button, *ZtypeButton, *BPButton, *SelectButton;
};

}  // namespace kinvalo::app
