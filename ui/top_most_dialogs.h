// The three dialogs the windows use. Each holds the settings of one dialog
// and runs it modally above its parent window through the installed
// TDialogs (ui/dialogs.h).
#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace ov::ui {

// A filter in the form "Description|pattern|Description|pattern" (patterns of
// one entry separated by ";") as the name filters of a Qt file dialog. A
// description that already ends with its patterns in parentheses keeps them
// once; "*.*" becomes "*" so that names without a dot are listed too.
QStringList QtNameFilters(const QString& filter);

class TTopMostOpenDialog {
public:
    QString Title;
    QString FileName;   // the chosen full path after a confirmed run
    QString Filter;     // "Description|pattern|..."
    QString DefaultExt; // appended when the typed name has no extension

    // Runs the dialog; true when the user confirmed a file.
    bool Execute(QWidget* parent);
};

class TTopMostSaveDialog {
public:
    QString Title;
    QString FileName;   // the proposed name before, the chosen full path after a run
    QString Filter;
    QString DefaultExt;
    bool OverwritePrompt = true; // ask before replacing an existing file

    // Runs the dialog; true when the user confirmed a file.
    bool Execute(QWidget* parent);
};

class TTopMostPrinterSetupDialog {
public:
    // Lets the user choose and set up `printer`; true when he confirmed.
    bool Execute(QPrinter& printer, QWidget* parent);
};

} // namespace ov::ui
