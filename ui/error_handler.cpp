#include "ui/error_handler.h"

#include "ui/dialogs.h"
#include "ui/qt_text.h"

#include <QFileInfo>

namespace ov::ui {

namespace {

std::string& Title()
{
    static std::string title;
    return title;
}

} // namespace

void SetApplicationTitle(std::string title)
{
    Title() = std::move(title);
}

const std::string& ApplicationTitle()
{
    return Title();
}

std::string ProgramFileName()
{
    return FromQString(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

std::string FormatErrorText(std::string_view message)
{
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}

void HandleCurrentException() noexcept
{
    std::string message;
    try {
        throw;
    } catch (const ESilentCancel&) {
        return;
    } catch (const std::exception& error) {
        message = error.what();
    } catch (...) {
        message = "Unknown error";
    }
    try {
        MessageDlg(ToQString(FormatErrorText(message)), ToQString(ApplicationTitle()),
                   QMessageBox::Critical, QMessageBox::Ok);
    } catch (...) {
        // The box itself failed; there is nobody left to tell.
    }
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleCurrentException();
        return false;
    }
}

} // namespace ov::ui
