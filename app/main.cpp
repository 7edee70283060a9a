// Program entry of the desktop program OV2021DM.
#include "app/main_window.h"
#include "template/template_window.h"
#include "ui/error_handler.h"

#include <QIcon>
#include <QStyleFactory>

#include <algorithm>

int main(int argc, char** argv)
{
    ov::ui::TApplication application(argc, argv);
    ov::ui::SetApplicationTitle("Orvane Data Merge Module ");
    // One style everywhere, so that the controls keep their designed places.
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/OV2021DM.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("OV2021DM"));

    ov::CreateForms();
    // The arguments as the file system spells them; the application object
    // has taken out its own.
    ov::Form1->CommandLineArguments.assign(argv + std::min(argc, 1), argv + argc);
    ov::Form1->show();
    const int exitCode = QApplication::exec();
    // A calling program learns from the exit status whether its run failed.
    const bool runFailed = ov::Form1->CommandLineRunFailed();
    ov::DestroyForms();
    return runFailed ? 1 : exitCode;
}
