// The one way by which the program shows message boxes and dialogs. The
// windows call Dialogs(); the program runs with TQtDialogs, which shows
// Qt's boxes and dialogs; tests install their own TDialogs to answer them.
#pragma once

#include <QMessageBox>
#include <QString>

class QPrinter;
class QWidget;

namespace ov::ui {

class TTopMostOpenDialog;
class TTopMostSaveDialog;
class TTopMostPrinterSetupDialog;

class TDialogs {
public:
    virtual ~TDialogs() = default;

    // A modal message box showing `text` as plain text; returns the button
    // the user pressed (the escape button when he closed the box).
    virtual QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& caption,
                                                    const QString& text, QMessageBox::Icon icon,
                                                    QMessageBox::StandardButtons buttons) = 0;
    // Modal file dialogs; true when the user confirmed, with dialog.FileName
    // set to the chosen full path.
    virtual bool RunOpenDialog(TTopMostOpenDialog& dialog, QWidget* parent) = 0;
    virtual bool RunSaveDialog(TTopMostSaveDialog& dialog, QWidget* parent) = 0;
    // The modal printer set-up dialog for `printer`; true when the user confirmed.
    virtual bool RunPrinterSetupDialog(TTopMostPrinterSetupDialog& dialog, QPrinter& printer,
                                       QWidget* parent) = 0;
    // The system's default beep.
    virtual void Beep() = 0;
};

// The boxes and dialogs of Qt, as the program's users see them.
class TQtDialogs : public TDialogs {
public:
    QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& caption,
                                            const QString& text, QMessageBox::Icon icon,
                                            QMessageBox::StandardButtons buttons) override;
    bool RunOpenDialog(TTopMostOpenDialog& dialog, QWidget* parent) override;
    bool RunSaveDialog(TTopMostSaveDialog& dialog, QWidget* parent) override;
    bool RunPrinterSetupDialog(TTopMostPrinterSetupDialog& dialog, QPrinter& printer,
                               QWidget* parent) override;
    void Beep() override;
};

// The installed dialogs (TQtDialogs unless replaced).
TDialogs& Dialogs();

// Installs `dialogs` for every later box and dialog and returns the one it
// replaces; nullptr brings back TQtDialogs. The caller keeps ownership.
TDialogs* SetDialogs(TDialogs* dialogs);

// A message box through Dialogs(); a null parent means the active window.
QMessageBox::StandardButton MessageDlg(const QString& text, const QString& caption,
                                       QMessageBox::Icon icon,
                                       QMessageBox::StandardButtons buttons,
                                       QWidget* parent = nullptr);

} // namespace ov::ui
