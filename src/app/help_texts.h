#pragma once
// The fixed explanatory texts of the windows. They never change while the
// program runs.
namespace kinvalo::app::texts {

extern const char* const kIntro;
extern const char* const kTypes;
extern const char* const kTests;
extern const char* const kSequence;
extern const char* const kMethods;
extern const char* const kSymbolsHelp;  // the input tab's "Symbols help" panel
extern const char* const kPasteHelp;
extern const char* const kOutputHelp;    // F1 on the output tab
extern const char* const kGraphicsHelp;  // F1 on the graphics tab
extern const char* const kOutputSymbols;
extern const char* const kConfidenceHelp;
extern const char* const kMoreInfo;
extern const char* const kFinish;

}  // namespace kinvalo::app::texts
