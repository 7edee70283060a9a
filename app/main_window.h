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
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ov {

class TfmTemplate;

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

    // Working state of the extract road; the string lists exist from
    // FormCreate to FormDestroy.
    std::string ExtractFile;
    std::unique_ptr<std::vector<std::string>> ExtractLines;
    std::unique_ptr<std::vector<std::string>> RecordValues;
    std::unique_ptr<std::vector<std::string>> ImportLines;
    std::string FormName;
    std::string KeyFlags;
    std::int32_t TinTypeIndex = -1;

private:
    void coFormTextEdited(const QString& text);
    void SelectFormEntry(int index, const QString& text, bool complete);
    void RememberEditState();
    void UpdateDisplayButton();

    bool FFilling = false;
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
