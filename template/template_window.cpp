#include "template/template_window.h"

#include "template/text_printer.h"
#include "ui/error_handler.h"
#include "ui/qt_text.h"
#include "ui/wait_cursor.h"

#include <QFont>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextDocument>

#include <stdexcept>

namespace ov {

TfmTemplate* fmTemplate = nullptr;

namespace {

// Texts of the template window.
const QString kCaption = QStringLiteral("Data Extract Template");
const QString kSaveTitle = QStringLiteral("SAVE %1 TEMPLATE");
const QString kProposedName = QStringLiteral("%1 TEMPLATE.txt");
const QString kSaveFilter = QStringLiteral("Text Files|*.txt");
const QString kSaveDefaultExt = QStringLiteral("txt");
const QString kJobName = QStringLiteral("%1 DATA EXTRACT TEMPLATE");

std::string CannotCreateFile(const QString& path, const QString& reason)
{
    return "Cannot create file \"" + ui::FromQString(path) + "\". " + ui::FromQString(reason);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int left)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, 9, 75, 25);
    return button;
}

} // namespace

TfmTemplate::TfmTemplate(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                              | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      Printer(QPrinter::HighResolution), FMainWindow(mainWindow)
{
    setObjectName(QStringLiteral("fmTemplate"));
    setWindowTitle(kCaption);
    setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    RzMemo1 = new QPlainTextEdit(this);
    RzMemo1->setObjectName(QStringLiteral("RzMemo1"));
    RzMemo1->setGeometry(0, 0, 688, 405);
    RzMemo1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    RzMemo1->setLineWidth(1);
    QFont memoFont(QStringLiteral("DejaVu Sans Mono"), 10, QFont::Bold);
    memoFont.setStyleHint(QFont::TypeWriter);
    memoFont.setFixedPitch(true);
    RzMemo1->setFont(memoFont);
    RzMemo1->setReadOnly(true);
    RzMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    RzMemo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RzMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RzMemo1->setFocusPolicy(Qt::ClickFocus);

    AutoSize1 = new ui::TAutoSize(this);
    AutoSize1->SetBounds(686, 444, 2, 2);

    RzPanel1 = new QFrame(this);
    RzPanel1->setObjectName(QStringLiteral("RzPanel1"));
    RzPanel1->setGeometry(0, 405, 688, 41);
    auto* bump = new QFrame(RzPanel1);
    bump->setFrameStyle(QFrame::HLine | QFrame::Raised);
    bump->setGeometry(0, 0, 688, 2);

    bPrint = MakeButton(RzPanel1, "bPrint", QStringLiteral("&Print"), 10);
    bSave = MakeButton(RzPanel1, "bSave", QStringLiteral("&Save"), 93);
    bClose = MakeButton(RzPanel1, "bClose", QStringLiteral("&Close"), 604);
    setTabOrder(bPrint, bSave);
    setTabOrder(bSave, bClose);

    SaveDialog.DefaultExt = kSaveDefaultExt;
    SaveDialog.Filter = kSaveFilter;
    SaveDialog.OverwritePrompt = true;

    connect(bPrint, &QPushButton::clicked, this, [this] { ui::Guarded([this] { bPrintClick(); }); });
    connect(bSave, &QPushButton::clicked, this, [this] { ui::Guarded([this] { bSaveClick(); }); });
    connect(bClose, &QPushButton::clicked, this, [this] { ui::Guarded([this] { bCloseClick(); }); });

    FormCreate();
}

TfmTemplate::~TfmTemplate()
{
    if (fmTemplate == this)
        fmTemplate = nullptr;
}

void TfmTemplate::SetDocument(const std::vector<std::string>& lines)
{
    QStringList text;
    text.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        text << ui::ToQString(line);
    RzMemo1->setPlainText(text.join(QLatin1Char('\n')));
}

QStringList TfmTemplate::Lines() const
{
    // Block by block: the document's plain text would turn non-breaking
    // spaces into blanks.
    const QTextDocument* document = RzMemo1->document();
    if (document->isEmpty())
        return {};
    QStringList lines;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

void TfmTemplate::FormCreate()
{
    if (FMainWindow != nullptr)
        setFixedSize(FMainWindow->frameGeometry().size());
}

void TfmTemplate::FormShow()
{
    if (FMainWindow != nullptr)
        move(FMainWindow->frameGeometry().topLeft());
}

void TfmTemplate::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        ui::Guarded([this] { FormShow(); });
}

void TfmTemplate::bSaveClick()
{
    const QString firstLine = Lines().value(0);
    SaveDialog.Title = kSaveTitle.arg(firstLine);
    SaveDialog.FileName = kProposedName.arg(firstLine);
    if (!SaveDialog.Execute(this))
        return;

    QByteArray bytes;
    for (const QString& line : Lines())
        bytes += line.toLatin1() + "\r\n";
    // Written beside the target and renamed over it at the end, so that a
    // failed save leaves an existing file as it was.
    QSaveFile file(SaveDialog.FileName);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(CannotCreateFile(SaveDialog.FileName, file.errorString()));
}

void TfmTemplate::bPrintClick()
{
    bool confirmed = false;
    {
        const ui::TWaitCursor wait;
        confirmed = TopMostPrinterSetupDialog1.Execute(Printer, this);
    }
    if (!confirmed)
        return;
    const QStringList lines = Lines();
    Printer.setDocName(kJobName.arg(lines.value(0)));
    PrintTextLines(Printer, RzMemo1->font(), lines);
}

void TfmTemplate::bCloseClick()
{
    close();
}

} // namespace ov
