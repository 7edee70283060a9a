#include "app/main_window.h"

#include "checks/text_primitives.h"
#include "extract/extract_messages.h"
#include "extract/import_file.h"
#include "extract/line_reader.h"
#include "extract/record_builder.h"
#include "extract/template_document.h"
#include "extract/verification.h"
#include "platform/regional_settings.h"
#include "platform/registry_store.h"
#include "platform/safe_file.h"
#include "schema/schema.h"
#include "template/template_window.h"
#include "ui/dialogs.h"
#include "ui/error_handler.h"
#include "ui/qt_text.h"
#include "ui/wait_cursor.h"

#include <QComboBox>
#include <QDate>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QUrl>
#include <QValidator>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace ov {

TForm1* Form1 = nullptr;

namespace {

// Texts of the main window.
const QString kDesignCaption = QStringLiteral("Orvane Data Merge Module");
const QString kFirstColumnCaption =
    QStringLiteral("TO CREATE A NEW TEMPLATE, SELECT A TAX FORM FROM THE DROP DOWN LIST");
const QString kFieldColumnCaption =
    QStringLiteral("CHECK ALL FIELDS FOR WHICH YOU WILL BE SUPPLYING DATA");
const QString kDisplayCaption = QStringLiteral("&Display Template");
const QString kVerifyCaption = QStringLiteral("&Verify an Extract");
const QString kOpenFilter = QStringLiteral("Text files (*.txt)|*.txt|All files (*.*)|*.*");
const QString kOpenDefaultExt = QStringLiteral("TXT");
constexpr const char* kNoTemplateWindow = "The template window does not exist";

constexpr int kLabelColumn = 0;
constexpr int kTypeCodeColumn = 1;

// Letters typed into the form choice become capitals.
class TUpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int top)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(8, top, 102, 25);
    return button;
}

// The first entry whose title begins with `text` (letter case ignored), or -1.
int FirstEntryBeginningWith(const QComboBox* combo, const QString& text)
{
    if (text.isEmpty())
        return -1;
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).startsWith(text, Qt::CaseInsensitive))
            return i;
    return -1;
}

// A message of lines joined as every box of the extract road shows them.
QString MessageText(const std::vector<std::string>& lines)
{
    return ui::ToQString(JoinLines(lines, kCrLf));
}

// True when something other than a folder exists at `path`.
bool IsExistingFile(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

// A path as the file system spells it, from a name that Qt gives.
std::string FileSystemPath(const QString& fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

// The one local file that a drag carries, or an empty name.
QString DraggedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

// Lines 1 and 2 of `file`, split as the run splits them. Throws ExtractError
// (CannotOpen) when the file cannot be read.
std::vector<std::string> ReadHeadLines(const std::string& file)
{
    std::vector<std::string> lines;
    try {
        FileByteSource source(file);
        LineReader reader(source, std::size_t(64) << 10);
        std::string_view line;
        while (lines.size() < 2 && reader.Next(line))
            lines.emplace_back(line);
    } catch (const ReadFailure& failure) {
        throw ExtractError(ExtractFault::CannotOpen, CannotOpenFileMessage(file, failure.what()));
    }
    return lines;
}

// The entry whose title equals `text` (letter case ignored), or -1.
int EntryEqualTo(const QComboBox* combo, const QString& text)
{
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace

TForm1::TForm1()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kDesignCaption);
    setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    resize(686, 453);

    bDisplay = MakeButton(this, "bDisplay", kDisplayCaption, 333);
    bDisplay->setEnabled(false);

    coForm = new QComboBox(this);
    coForm->setObjectName(QStringLiteral("coForm"));
    coForm->setGeometry(8, 10, 102, 21);
    coForm->setEditable(true);
    coForm->setCompleter(nullptr); // completion is done by coFormTextEdited
    coForm->setInsertPolicy(QComboBox::NoInsert);
    coForm->setValidator(new TUpperCaseValidator(coForm));
    QPalette comboPalette = coForm->palette();
    comboPalette.setColor(QPalette::Text, Qt::black);
    coForm->setPalette(comboPalette);

    AutoSize1 = new ui::TAutoSize(this);
    AutoSize1->SetBounds(676, 417, 2, 2);

    lvDestination = new QTreeWidget(this);
    lvDestination->setObjectName(QStringLiteral("lvDestination"));
    lvDestination->setGeometry(118, 10, 549, 380);
    lvDestination->setColumnCount(2);
    lvDestination->setHeaderLabels({kFirstColumnCaption, QString()});
    lvDestination->setColumnHidden(kTypeCodeColumn, true);
    lvDestination->setRootIsDecorated(false);
    lvDestination->setItemsExpandable(false);
    lvDestination->setUniformRowHeights(true);
    lvDestination->setSelectionMode(QAbstractItemView::SingleSelection);
    lvDestination->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvDestination->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvDestination->header()->setSectionsClickable(false);
    lvDestination->header()->setSectionsMovable(false);
    lvDestination->header()->setMinimumSectionSize(300);
    lvDestination->header()->setSectionResizeMode(kLabelColumn, QHeaderView::Stretch);

    TypeStatus = new QLabel(this);
    TypeStatus->setObjectName(QStringLiteral("TypeStatus"));
    TypeStatus->setGeometry(118, 394, 552, 20);
    TypeStatus->setTextFormat(Qt::PlainText);
    TypeStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    TypeStatus->setIndent(3);
    TypeStatus->setAutoFillBackground(true);
    TypeStatus->setBackgroundRole(QPalette::Base);

    bVerify = MakeButton(this, "bVerify", kVerifyCaption, 364);

    OpenDialog.DefaultExt = kOpenDefaultExt;
    OpenDialog.Filter = kOpenFilter;

    setAcceptDrops(true);

    setTabOrder(coForm, bDisplay);
    setTabOrder(bDisplay, bVerify);
    setTabOrder(bVerify, lvDestination);

    connect(coForm, &QComboBox::activated, this,
            [this](int) { ui::Guarded([this] { coFormChange(); }); });
    connect(coForm->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { ui::Guarded([this, &text] { coFormTextEdited(text); }); });
    connect(coForm->lineEdit(), &QLineEdit::cursorPositionChanged, this,
            [this] { RememberEditState(); });
    connect(coForm->lineEdit(), &QLineEdit::selectionChanged, this,
            [this] { RememberEditState(); });
    connect(bDisplay, &QPushButton::clicked, this,
            [this] { ui::Guarded([this] { bDisplayClick(); }); });
    connect(bVerify, &QPushButton::clicked, this,
            [this] { ui::Guarded([this] { bVerifyClick(); }); });
    connect(lvDestination, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int column) {
                if (!FFilling && column == kLabelColumn)
                    ui::Guarded([this, item] { lvDestinationCheckStateChange(item); });
            });
    connect(lvDestination->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                if (FFilling)
                    return;
                // The row losing the selection first, then the row gaining it.
                ui::Guarded([&] {
                    for (const QModelIndex& index : deselected.indexes())
                        if (index.column() == kLabelColumn)
                            lvDestinationSelectItem(lvDestination->topLevelItem(index.row()), false);
                    for (const QModelIndex& index : selected.indexes())
                        if (index.column() == kLabelColumn)
                            lvDestinationSelectItem(lvDestination->topLevelItem(index.row()), true);
                });
            });

    FormCreate();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TForm1::~TForm1()
{
    // The controls go after this body; their last signals must not reach
    // handlers of a window that is being taken apart.
    for (QObject* sender : {static_cast<QObject*>(coForm), static_cast<QObject*>(coForm->lineEdit()),
                            static_cast<QObject*>(bDisplay), static_cast<QObject*>(bVerify),
                            static_cast<QObject*>(lvDestination),
                            static_cast<QObject*>(lvDestination->selectionModel())})
        sender->disconnect(this);
    FormDestroy();
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::FormCreate()
{
    ExtractLines = std::make_unique<std::vector<std::string>>();
    RecordValues = std::make_unique<std::vector<std::string>>();
    ImportLines = std::make_unique<std::vector<std::string>>();

    setWindowTitle(windowTitle() + QStringLiteral(" [ ") + ui::ToQString(kReportingYear)
                   + QStringLiteral(" ]"));

    coForm->clear();
    coForm->setMaxVisibleItems(kFormNameCount);
    for (std::string_view title : FormNames)
        coForm->addItem(ui::ToQString(title));
    // Forms 0 to 2 have no place in the choice.
    for (int i = kFirstOfferedForm - 1; i >= 0; --i)
        coForm->removeItem(i);
    coForm->setCurrentIndex(-1);
    coForm->setEditText(QString());
    RememberEditState();

    setFixedSize(size());
}

void TForm1::FormDestroy()
{
    ExtractLines.reset();
    RecordValues.reset();
    ImportLines.reset();
}

void TForm1::coFormChange()
{
    FillFieldList();
}

void TForm1::FillFieldList()
{
    lvDestination->headerItem()->setText(kLabelColumn, kFieldColumnCaption);

    std::vector<std::string> descriptors;
    const int formIndex = SelectedFormIndex();
    if (formIndex >= 0)
        GetFormFields(static_cast<unsigned char>(formIndex), descriptors);

    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(descriptors.size()));
    for (const std::string& descriptor : descriptors) {
        const FieldDescriptor field = SplitDescriptor(descriptor);
        auto* row = new QTreeWidgetItem;
        row->setText(kLabelColumn, ui::ToQString(field.label));
        row->setText(kTypeCodeColumn, ui::ToQString(std::string_view(&field.typeCode, 1)));
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(kLabelColumn, Qt::Unchecked);
        rows << row;
    }

    {
        FFilling = true;
        lvDestination->clear();
        lvDestination->addTopLevelItems(rows);
        FFilling = false;
    }
    // The new rows are all unticked; the button follows the ticks.
    UpdateDisplayButton();
}

void TForm1::lvDestinationCheckStateChange(QTreeWidgetItem* item)
{
    if (item->checkState(kLabelColumn) == Qt::Checked) {
        ShowTypeHint(item);
        lvDestination->setCurrentItem(item);
    } else {
        TypeStatus->setText(QString());
    }
    UpdateDisplayButton();
}

void TForm1::lvDestinationSelectItem(QTreeWidgetItem* item, bool)
{
    ShowTypeHint(item);
}

void TForm1::ShowTypeHint(QTreeWidgetItem* item)
{
    TypeStatus->setText(QString());
    if (item == nullptr)
        return;
    const std::string code = ui::FromQString(item->text(kTypeCodeColumn));
    if (code.size() != 1)
        return;
    const std::string_view hint = TypeHint(code[0]);
    if (!hint.empty())
        TypeStatus->setText(ui::ToQString(hint));
}

std::int32_t TForm1::CheckedFieldCount() const
{
    std::int32_t count = 0;
    for (int i = 0; i < lvDestination->topLevelItemCount(); ++i)
        if (lvDestination->topLevelItem(i)->checkState(kLabelColumn) == Qt::Checked)
            ++count;
    return count;
}

void TForm1::bDisplayClick()
{
    if (fmTemplate == nullptr)
        throw std::logic_error(kNoTemplateWindow);
    std::vector<TemplateRow> rows;
    rows.reserve(static_cast<std::size_t>(FieldCount()));
    for (int i = 0; i < FieldCount(); ++i)
        rows.push_back({FieldLabel(i), FieldTicked(i)});
    fmTemplate->SetDocument(MakeTemplateDocument(FormText(), rows, ui::ProgramFileName()));
    fmTemplate->exec();
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (FShown || event->spontaneous())
        return;
    FShown = true;
    // The command-line run starts from the event loop once the window is up:
    // its boxes stand over the window, and a successful run can close it and
    // so end the program.
    QMetaObject::invokeMethod(
        this, [this] { ui::Guarded([this] { FormShow(); }); }, Qt::QueuedConnection);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DraggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QString file = DraggedFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    // The run and its boxes come after the drop has ended, so that the
    // program the file came from is not kept waiting.
    QMetaObject::invokeMethod(
        this,
        [this, file] {
            ui::Guarded([this, &file] {
                OpenDialog.FileName = file;
                VerifyExtract(FileSystemPath(file));
            });
        },
        Qt::QueuedConnection);
}

void TForm1::FormShow()
{
    ExtractFile.clear();
    if (!CommandLineArguments.empty())
        ExtractFile = std::string(TrimControls(CommandLineArguments.front()));
    if (ExtractFile.empty())
        return;

    // Until the import file is written, the caller is to learn that the run failed.
    FCommandLineRunFailed = true;
    if (!IsExistingFile(ExtractFile)) {
        ui::MessageDlg(MessageText(MissingFileMessageLines(ExtractFile, ui::ProgramFileName())),
                       windowTitle(), QMessageBox::Warning, QMessageBox::Ok, this);
        throw ui::ESilentCancel();
    }
    VerifyExtractFile();
    WriteImportFile();
    FCommandLineRunFailed = false;
    close();
}

void TForm1::bVerifyClick()
{
    if (!OpenDialog.Execute(this))
        return;
    VerifyExtract(FileSystemPath(OpenDialog.FileName));
}

void TForm1::VerifyExtract(std::string extractFile)
{
    ExtractFile = std::move(extractFile);
    VerifyExtractFile();
    ui::Dialogs().Beep();
    const QMessageBox::StandardButton answer = ui::MessageDlg(
        MessageText(SummaryMessageLines(ExtractFile, FormName, ImportLines->size())),
        ui::ToQString(kSummaryCaption), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
        this);
    if (answer == QMessageBox::Yes)
        WriteImportFile();
}

void TForm1::VerifyExtractFile()
{
    const auto closeExtract = qScopeGuard([this] { FRun.reset(); });
    LoadExtract();
    ReadFormSegment();
    ReadKeySegment();
    VerifyDataBlock();
}

void TForm1::LoadExtract()
{
    ExtractLines->clear();
    FRun.reset();
    FRun = std::make_unique<VerificationRun>(VerificationRun::LoadFile(ExtractFile));
    *ExtractLines = ReadHeadLines(ExtractFile);
}

void TForm1::ReadFormSegment()
{
    FRun->ReadFormSegment();
    FormName = FRun->FormName();
    SetFormText(FormName);
    FillFieldList();
}

void TForm1::ReadKeySegment()
{
    FRun->ReadKeySegment();
    KeyFlags = FRun->KeyFlags();
    // A flag other than "1" leaves its row unticked.
    const int rows = std::min(static_cast<int>(KeyFlags.size()), FieldCount());
    for (int row = 0; row < rows; ++row)
        if (KeyFlags[static_cast<std::size_t>(row)] == '1')
            SetFieldTicked(row, true);
}

void TForm1::VerifyDataBlock()
{
    const ui::TWaitCursor wait;
    const VerifySettings settings{ReadRegionalSettings(), QDate::currentDate().year(), 0};
    ImportLineList lines;
    try {
        FRun->VerifyDataBlock(settings, lines);
    } catch (const ExtractError& error) {
        if (error.fault() == ExtractFault::BadValue && error.valueFault()) {
            // The layout has passed and records were built up to the failing one.
            const ValueFault& fault = *error.valueFault();
            PrepareRecord();
            lines.lines.resize(std::min<std::uint64_t>(lines.lines.size(), fault.record - 1));
            *ImportLines = std::move(lines.lines);
            SelectField(fault.position - 1);
        }
        throw;
    }
    PrepareRecord();
    *ImportLines = std::move(lines.lines);
}

void TForm1::PrepareRecord()
{
    // Without supplied fields the builder starts every field at its default.
    RecordBuilder record(FRun->FormFields(), std::string_view(), RegionalSettings{}, 0);
    record.PrepareRecord();
    *RecordValues = record.RecordValues();
    TinTypeIndex = record.TinTypeIndex();
}

void TForm1::WriteImportFile()
{
    const std::string importFile = ImportFilePath(ExtractFile);
    SafeFileWriter writer(importFile);
    for (const std::string& line : *ImportLines) {
        writer.Write(line);
        writer.Write(kCrLf);
    }
    writer.Commit();
    WriteUserRegistryString(kImportKeyPath, kTextDirectoryValue, FolderPart(importFile));
    ui::MessageDlg(MessageText(InstructionsMessageLines(ExtractFile, importFile, FormName)),
                   ui::ToQString(kInstructionsCaption), QMessageBox::NoIcon, QMessageBox::Ok, this);
}

void TForm1::SelectField(int row)
{
    QTreeWidgetItem* item = lvDestination->topLevelItem(row);
    if (item == nullptr)
        return;
    lvDestination->setCurrentItem(item);
    lvDestination->scrollToItem(item);
    // The row may have been the selected one already.
    ShowTypeHint(item);
}

void TForm1::SetFormText(std::string_view text)
{
    const QString shown = ui::ToQString(text);
    SelectFormEntry(FirstEntryBeginningWith(coForm, shown), shown, false);
}

std::string TForm1::FormText() const
{
    return ui::FromQString(coForm->currentText());
}

int TForm1::SelectedFormIndex() const
{
    const int entry = coForm->currentIndex();
    return entry < 0 ? -1 : entry + kFirstOfferedForm;
}

int TForm1::FieldCount() const
{
    return lvDestination->topLevelItemCount();
}

std::string TForm1::FieldLabel(int row) const
{
    return ui::FromQString(lvDestination->topLevelItem(row)->text(kLabelColumn));
}

char TForm1::FieldTypeCode(int row) const
{
    const std::string code = ui::FromQString(lvDestination->topLevelItem(row)->text(kTypeCodeColumn));
    return code.empty() ? '\0' : code[0];
}

bool TForm1::FieldTicked(int row) const
{
    return lvDestination->topLevelItem(row)->checkState(kLabelColumn) == Qt::Checked;
}

void TForm1::SetFieldTicked(int row, bool ticked)
{
    lvDestination->topLevelItem(row)->setCheckState(kLabelColumn,
                                                    ticked ? Qt::Checked : Qt::Unchecked);
}

void TForm1::coFormTextEdited(const QString& text)
{
    // Typing completes to the first title beginning with the text; erasing
    // does not, or the user could never take back a completion.
    const bool added = text.size() > FEditLength - FEditSelected;
    const int entry = added ? FirstEntryBeginningWith(coForm, text) : EntryEqualTo(coForm, text);
    SelectFormEntry(entry, text, added);
    coFormChange();
}

void TForm1::SelectFormEntry(int index, const QString& text, bool complete)
{
    QLineEdit* edit = coForm->lineEdit();
    const int cursor = edit->cursorPosition();
    {
        const QSignalBlocker blocker(coForm);
        coForm->setCurrentIndex(index);
    }
    if (index >= 0 && complete) {
        // The completed part stays selected, so that typing on replaces it.
        const QString title = coForm->itemText(index);
        edit->setText(title);
        edit->setSelection(static_cast<int>(title.size()), static_cast<int>(text.size() - title.size()));
    } else {
        edit->setText(text);
        edit->setCursorPosition(cursor);
    }
    RememberEditState();
}

void TForm1::RememberEditState()
{
    const QLineEdit* edit = coForm->lineEdit();
    FEditLength = edit->text().size();
    FEditSelected = edit->selectedText().size();
}

void TForm1::UpdateDisplayButton()
{
    bDisplay->setEnabled(CheckedFieldCount() > 0);
}

void CreateForms()
{
    Form1 = new TForm1;
    fmTemplate = new TfmTemplate(Form1);
}

void DestroyForms()
{
    delete fmTemplate;
    fmTemplate = nullptr;
    delete Form1;
    Form1 = nullptr;
}

} // namespace ov
