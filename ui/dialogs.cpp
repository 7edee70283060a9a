#include "ui/dialogs.h"

#include "ui/top_most_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace ov::ui {

namespace {

TQtDialogs gQtDialogs;
TDialogs* gDialogs = &gQtDialogs;

QWidget* ActiveWindowOr(QWidget* parent)
{
    if (parent != nullptr)
        return parent;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// Runs a file dialog; on confirmation `fileName` becomes the chosen full path.
// Any name is accepted: opening a missing file reports the fault itself.
bool RunFileDialog(QFileDialog::AcceptMode mode, const QString& title, QString& fileName,
                   const QString& filter, const QString& defaultExt, bool overwritePrompt,
                   QWidget* parent)
{
    QFileDialog fileDialog(ActiveWindowOr(parent), title);
    fileDialog.setAcceptMode(mode);
    fileDialog.setFileMode(QFileDialog::AnyFile);
    fileDialog.setNameFilters(QtNameFilters(filter));
    fileDialog.setDefaultSuffix(defaultExt);
    fileDialog.setOption(QFileDialog::DontConfirmOverwrite, !overwritePrompt);
    if (!fileName.isEmpty())
        fileDialog.selectFile(fileName);
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return false;
    fileName = fileDialog.selectedFiles().constFirst();
    return true;
}

} // namespace

QStringList QtNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        const QString shown = QStringLiteral("(") + patterns + QStringLiteral(")");
        if (description.endsWith(shown))
            description = description.left(description.size() - shown.size()).trimmed();
        QStringList qtPatterns;
        for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            qtPatterns << (pattern.trimmed() == QStringLiteral("*.*") ? QStringLiteral("*")
                                                                     : pattern.trimmed());
        result << description + QStringLiteral(" (") + qtPatterns.join(QLatin1Char(' '))
                      + QStringLiteral(")");
    }
    return result;
}

bool TTopMostOpenDialog::Execute(QWidget* parent)
{
    return Dialogs().RunOpenDialog(*this, parent);
}

bool TTopMostSaveDialog::Execute(QWidget* parent)
{
    return Dialogs().RunSaveDialog(*this, parent);
}

bool TTopMostPrinterSetupDialog::Execute(QPrinter& printer, QWidget* parent)
{
    return Dialogs().RunPrinterSetupDialog(*this, printer, parent);
}

QMessageBox::StandardButton TQtDialogs::ShowMessage(QWidget* parent, const QString& caption,
                                                    const QString& text,
                                                    QMessageBox::Icon icon,
                                                    QMessageBox::StandardButtons buttons)
{
    // Messages quote file names and customer data: never read them as markup.
    QMessageBox box(icon, caption, text, buttons, ActiveWindowOr(parent));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    const int answer = box.exec();
    return static_cast<QMessageBox::StandardButton>(answer);
}

bool TQtDialogs::RunOpenDialog(TTopMostOpenDialog& dialog, QWidget* parent)
{
    return RunFileDialog(QFileDialog::AcceptOpen, dialog.Title, dialog.FileName, dialog.Filter,
                         dialog.DefaultExt, false, parent);
}

bool TQtDialogs::RunSaveDialog(TTopMostSaveDialog& dialog, QWidget* parent)
{
    return RunFileDialog(QFileDialog::AcceptSave, dialog.Title, dialog.FileName, dialog.Filter,
                         dialog.DefaultExt, dialog.OverwritePrompt, parent);
}

bool TQtDialogs::RunPrinterSetupDialog(TTopMostPrinterSetupDialog&, QPrinter& printer,
                                       QWidget* parent)
{
    QPrintDialog printDialog(&printer, ActiveWindowOr(parent));
    return printDialog.exec() == QDialog::Accepted;
}

void TQtDialogs::Beep()
{
    QApplication::beep();
}

TDialogs& Dialogs()
{
    return *gDialogs;
}

TDialogs* SetDialogs(TDialogs* dialogs)
{
    TDialogs* previous = gDialogs;
    gDialogs = dialogs != nullptr ? dialogs : &gQtDialogs;
    return previous;
}

QMessageBox::StandardButton MessageDlg(const QString& text, const QString& caption,
                                       QMessageBox::Icon icon,
                                       QMessageBox::StandardButtons buttons, QWidget* parent)
{
    return Dialogs().ShowMessage(parent, caption, text, icon, buttons);
}

} // namespace ov::ui
