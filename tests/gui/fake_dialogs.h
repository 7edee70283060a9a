// Answers the program's message boxes and dialogs in tests and records what
// the program asked. Installed for its lifetime.
#pragma once

#include "ui/dialogs.h"
#include "ui/top_most_dialogs.h"

#include <QApplication>
#include <QCursor>
#include <QPrinter>
#include <QString>

#include <vector>

namespace ov::test {

struct MessageCall {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    bool waitCursor;  // the hourglass was showing as the box came up
    int beepsBefore;  // beeps sounded before the box came up
};

struct SaveCall {
    QString title;
    QString fileName;
    QString filter;
    QString defaultExt;
    bool overwritePrompt;
};

class FakeDialogs : public ui::TDialogs {
public:
    FakeDialogs() : FPrevious(ui::SetDialogs(this)) {}
    ~FakeDialogs() override { ui::SetDialogs(FPrevious); }
    FakeDialogs(const FakeDialogs&) = delete;
    FakeDialogs& operator=(const FakeDialogs&) = delete;

    // Recorded calls.
    std::vector<MessageCall> Messages;
    std::vector<SaveCall> Saves;
    int PrinterSetups = 0;
    bool WaitCursorDuringPrinterSetup = false;
    int Beeps = 0;

    // Answers: the button of every message box; the path the save and open
    // dialogs return (empty: the user cancels); the PDF file the printer
    // set-up dialog directs the printer to (empty: the user cancels).
    QMessageBox::StandardButton MessageAnswer = QMessageBox::Ok;
    QString SaveAnswer;
    QString OpenAnswer;
    QString PrintToPdf;

    QMessageBox::StandardButton ShowMessage(QWidget*, const QString& caption, const QString& text,
                                            QMessageBox::Icon icon,
                                            QMessageBox::StandardButtons buttons) override
    {
        Messages.push_back({caption, text, icon, buttons, WaitCursorShown(), Beeps});
        return MessageAnswer;
    }

    bool RunOpenDialog(ui::TTopMostOpenDialog& dialog, QWidget*) override
    {
        if (OpenAnswer.isEmpty())
            return false;
        dialog.FileName = OpenAnswer;
        return true;
    }

    bool RunSaveDialog(ui::TTopMostSaveDialog& dialog, QWidget*) override
    {
        Saves.push_back({dialog.Title, dialog.FileName, dialog.Filter, dialog.DefaultExt,
                         dialog.OverwritePrompt});
        if (SaveAnswer.isEmpty())
            return false;
        dialog.FileName = SaveAnswer;
        return true;
    }

    bool RunPrinterSetupDialog(ui::TTopMostPrinterSetupDialog&, QPrinter& printer,
                               QWidget*) override
    {
        ++PrinterSetups;
        WaitCursorDuringPrinterSetup = WaitCursorShown();
        if (PrintToPdf.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PrintToPdf);
        return true;
    }

    void Beep() override { ++Beeps; }

    static bool WaitCursorShown()
    {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
    }

private:
    ui::TDialogs* FPrevious;
};

} // namespace ov::test
