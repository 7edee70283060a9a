// The template window: shows the Data Extract Template in a read-only,
// fixed-pitch text area and prints or saves it.
#pragma once

#include "ui/auto_size.h"
#include "ui/top_most_dialogs.h"

#include <QDialog>
#include <QPrinter>
#include <QStringList>

#include <string>
#include <vector>

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace ov {

class TfmTemplate : public QDialog {
    Q_OBJECT
public:
    // `mainWindow` is the program's main window, which already exists: the
    // template window takes its size at creation and its position each time
    // it is shown, and stays above it.
    explicit TfmTemplate(QWidget* mainWindow);
    ~TfmTemplate() override;

    // Controls, in declaration order.
    QPlainTextEdit* RzMemo1;
    ui::TAutoSize* AutoSize1;
    QFrame* RzPanel1;
    QPushButton* bPrint;
    QPushButton* bSave;
    QPushButton* bClose;
    ui::TTopMostSaveDialog SaveDialog;
    ui::TTopMostPrinterSetupDialog TopMostPrinterSetupDialog1;

    // The printer that "&Print" sets up and writes to.
    QPrinter Printer;

    // The document in the text area: replaced as a whole, read line by line.
    void SetDocument(const std::vector<std::string>& lines);
    QStringList Lines() const;

    void FormCreate();
    void FormShow();
    void bPrintClick();
    void bSaveClick();
    void bCloseClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* FMainWindow;
};

// The program's template window, created second, after the main window.
extern TfmTemplate* fmTemplate;

} // namespace ov
