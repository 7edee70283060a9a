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
    QFileDialog fileDialog(ActiveWindowOr(parent), dialog.Title);
    fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The name of a missing file is accepted; opening it reports the fault.
    fileDialog.setFileMode(QFileDialog::AnyFile);
    fileDialog.setNameFilters(QtNameFilters(dialog.Filter));
    fileDialog.setDefaultSuffix(dialog.DefaultExt);
    if (!dialog.FileName.isEmpty())
        fileDialog.selectFile(dialog.FileName);
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return false;
    dialog.FileName = fileDialog.selectedFiles().constFirst();
    return true;
}

bool TQtDialogs::RunSaveDialog(TTopMostSaveDialog& dialog, QWidget* parent)
{
    QFileDialog fileDialog(ActiveWindowOr(parent), dialog.Title);
    fileDialog.setAcceptMode(QFileDialog::AcceptSave);
    fileDialog.setFileMode(QFileDialog::AnyFile);
    fileDialog.setNameFilters(QtNameFilters(dialog.Filter));
    fileDialog.setDefaultSuffix(dialog.DefaultExt);
    fileDialog.setOption(QFileDialog::DontConfirmOverwrite, !dialog.OverwritePrompt);
    if (!dialog.FileName.isEmpty())
        fileDialog.selectFile(dialog.FileName);
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return false;
    dialog.FileName = fileDialog.selectedFiles().constFirst();
    return true;
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
