// Program entry of the desktop program OV2021DM.
#include "app/main_window.h"
#include "template/template_window.h"
#include "ui/error_handler.h"

#include <QIcon>
#include <QStyleFactory>

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
    ov::Form1->show();
    const int exitCode = QApplication::exec();
    ov::DestroyForms();
    return exitCode;
}
