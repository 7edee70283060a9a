// The main window: the form choice, the field selection list and the
// buttons of both roads; it owns the working state of the extract road.
#pragma once

#include "ui/auto_size.h"
#include "ui/top_most_dialogs.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QShowEvent;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ov {

class TfmTemplate;
class VerificationRun;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    TForm1();
    ~TForm1() override;

    // Controls, in declaration order.
    QPushButton* bDisplay;
    QComboBox* coForm;
    ui::TAutoSize* AutoSize1;
    QTreeWidget* lvDestination;
    QLabel* TypeStatus;
    QPushButton* bVerify;
    ui::TTopMostOpenDialog OpenDialog;

    // Event handlers.
    void FormCreate();
    void FormDestroy();
    void coFormChange();
    void lvDestinationCheckStateChange(QTreeWidgetItem* item);
    void lvDestinationSelectItem(QTreeWidgetItem* item, bool selected);
    void bDisplayClick();
    void FormShow();
    void bVerifyClick();

    // The field selection list. One row per field of the selected form, in
    // field order; no rows while no form is selected.
    void FillFieldList();
    void ShowTypeHint(QTreeWidgetItem* item);
    std::int32_t CheckedFieldCount() const;

    // The form choice as the extract road sets and reads it. SetFormText
    // shows `text` and selects the first entry whose title begins with it
    // (letter case ignored), or none; it does not refill the list.
    void SetFormText(std::string_view text);
    std::string FormText() const;
    // The selected entry's form index, or -1 when no entry is selected.
    int SelectedFormIndex() const;

    // The rows by position (from 0): label, type code, tick. Setting a tick
    // runs the tick handler as a click on the check box does.
    int FieldCount() const;
    std::string FieldLabel(int row) const;
    char FieldTypeCode(int row) const;
    bool FieldTicked(int row) const;
    void SetFieldTicked(int row, bool ticked);

    // Selects row `row` (from 0) and shows its hint, scrolling it into view.
    void SelectField(int row);

    // The program's command-line arguments behind its own name, as bytes;
    // FormShow reads the first. Set by the program entry before the window
    // is first shown.
    std::vector<std::string> CommandLineArguments;
    // True once a command-line run has started and until it has written its
    // import file: the program then ends with exit status 1.
    bool CommandLineRunFailed() const { return FCommandLineRunFailed; }

    // The extract road. Each step either completes or throws the error that
    // ends the run (ExtractError, PlatformError) carrying its whole message.
    // A button run from the load on: verifies `extractFile`, sounds the beep,
    // asks with the summary and writes on Yes. bVerifyClick and a file
    // dropped onto the window start it.
    void VerifyExtract(std::string extractFile);
    // Loads ExtractFile: the run opens it and ExtractLines gets its lines 1
    // and 2, the FORM and KEY segments; the data block is streamed by the
    // run and never held whole.
    void LoadExtract();
    // The form named by line 1 becomes the form choice; its rows, unticked.
    void ReadFormSegment();
    // Keeps the KEY's flags and ticks the supplied rows through the list.
    void ReadKeySegment();
    // Verifies the data block under the wait cursor; ImportLines gets one
    // line per record. A rejected value's row is selected.
    void VerifyDataBlock();
    // RecordValues becomes one record as every record starts: each field at
    // its type's default; TinTypeIndex the form's TIN type field or -1. The
    // records themselves are built by the run.
    void PrepareRecord();
    // Saves ImportLines as the import file beside the extract, records its
    // folder in the registry and shows the import instructions.
    void WriteImportFile();

    // Working state of the extract road; the string lists exist from
    // FormCreate to FormDestroy.
    std::string ExtractFile;
    std::unique_ptr<std::vector<std::string>> ExtractLines;
    std::unique_ptr<std::vector<std::string>> RecordValues;
    std::unique_ptr<std::vector<std::string>> ImportLines;
    std::string FormName;
    std::string KeyFlags;
    std::int32_t TinTypeIndex = -1;

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Load, FORM, KEY and data block of ExtractFile; the extract is closed
    // again however the run ends.
    void VerifyExtractFile();
    void coFormTextEdited(const QString& text);
    void SelectFormEntry(int index, const QString& text, bool complete);
    void RememberEditState();
    void UpdateDisplayButton();

    bool FFilling = false;
    bool FShown = false;
    bool FCommandLineRunFailed = false;
    // The run in progress, between its load and its end.
    std::unique_ptr<VerificationRun> FRun;
    // The edit field's length and selected length before the current edit:
    // an edit that adds characters is completed, one that removes them is not.
    qsizetype FEditLength = 0;
    qsizetype FEditSelected = 0;
};

// The program's main window.
extern TForm1* Form1;

// Creates the main window Form1 and then the hidden template window
// fmTemplate, as the program entry does.
void CreateForms();
// Destroys both windows (the template window first) and clears the pointers.
void DestroyForms();

} // namespace ov
