#include "param/ui/CSOM_View.h"

#include "link/LinkState.h"
#include "link/ui/CMessageEx.h"
#include "param/PageDriveCommands.h"
#include "param/PageFiles.h"
#include "param/PageMode.h"
#include "param/PageModeChoice.h"
#include "param/ParameterEdit.h"
#include "param/ui/CCompareDlg.h"
#include "tables/DriveType.h"
#include "texts/QtText.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

constexpr int kColumnWidths[5] = {80, 220, 110, 110, 90};
constexpr int kKeyHelpDelayMs = 100;
constexpr int kClickHelpDelayMs = 1;
constexpr qint64 kRepaintEveryMs = 30;
const QColor kUnusedText(180, 180, 180);

struct ButtonLook {
    const char* caption;
    unsigned tip;
    QStyle::StandardPixmap icon;
};

const ButtonLook kButtons[CSOM_View::CommandCount] = {
    {"&DL", 322, QStyle::SP_DialogOpenButton},     {"T&rans", 323, QStyle::SP_ArrowRight},
    {"&Pgm", 324, QStyle::SP_DriveHDIcon},         {"&Save", 325, QStyle::SP_DialogSaveButton},
    {"&Initial", 326, QStyle::SP_BrowserReload},   {"S&how", 327, QStyle::SP_ArrowLeft},
    {nullptr, 1118, QStyle::SP_FileDialogDetailedView}, {"&Exit", 328, QStyle::SP_DialogCloseButton},
};

}  // namespace

CSOM_View::CSOM_View(ParamEnvironment environment, ValueDialog valueDialog, QWidget* parent)
    : QWidget(parent), environment_(std::move(environment)), valueDialog_(std::move(valueDialog)),
      table_(new QTableWidget(this)), description_(new QLabel(this)), status_(new QLabel(this)),
      progress_(new QProgressBar(this)), mode_(new QLabel(this)), version_(new QLabel(this)),
      helpTimer_(new QTimer(this))
{
    setObjectName("CSOM_View");
    auto* layout = new QVBoxLayout(this);
    buildMenu(layout);

    auto* buttonRow = new QHBoxLayout;
    for (int c = 0; c < CommandCount; ++c) {
        const ButtonLook& look = kButtons[c];
        buttons_[c] = new QPushButton(style()->standardIcon(look.icon), look.caption ? look.caption : LoadQText(1117), this);
        buttons_[c]->setToolTip(LoadQText(look.tip));
        buttonRow->addWidget(buttons_[c]);
    }
    buttonRow->addStretch();
    layout->addLayout(buttonRow);
    const std::function<void()> actions[CommandCount] = {
        [this] { onLoad(); },    [this] { onTransfer(); }, [this] { onEeprom(); }, [this] { onSave(); },
        [this] { onFactory(); }, [this] { onRead(); },     [this] { onCompare(); }, [this] { onExit(); }};
    for (int c = 0; c < CommandCount; ++c)
        connect(buttons_[c], &QPushButton::clicked, this, actions[c]);

    table_->setColumnCount(5);
    table_->setHorizontalHeaderLabels({LoadQText(301), LoadQText(302), LoadQText(303), LoadQText(304), LoadQText(305)});
    for (int c = 0; c < 5; ++c)
        table_->setColumnWidth(c, kColumnWidths[c]);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setShowGrid(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->installEventFilter(this);
    table_->viewport()->installEventFilter(this);
    layout->addWidget(table_, 1);

    auto* descriptionBox = new QGroupBox(LoadQText(246), this);
    description_->setWordWrap(true);
    description_->setMinimumHeight(60);
    description_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    (new QVBoxLayout(descriptionBox))->addWidget(description_);
    layout->addWidget(descriptionBox);

    auto* bottom = new QHBoxLayout;
    status_->setObjectName("status");
    bottom->addWidget(status_, 1);
    bottom->addWidget(progress_);
    bottom->addWidget(mode_);
    bottom->addWidget(version_);
    layout->addLayout(bottom);
    progress_->setValue(0);

    helpTimer_->setSingleShot(true);
    connect(helpTimer_, &QTimer::timeout, this, &CSOM_View::showSelectedRowHelp);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { editSelectedRow(); });
    connect(table_, &QTableWidget::cellClicked, this, [this] { helpTimer_->start(kClickHelpDelayMs); });
    lastRepaint_.start();
    setBusy(true);
}

CSOM_View::~CSOM_View() = default;

void CSOM_View::buildMenu(QVBoxLayout* layout)
{
    auto* bar = new QMenuBar(this);
    bar->setNativeMenuBar(false);
    QMenu* menu = bar->addMenu(LoadQText(1119));
    const std::pair<unsigned, void (CSOM_View::*)()> items[] = {
        {287, &CSOM_View::onLoad}, {288, &CSOM_View::onTransfer}, {289, &CSOM_View::onEeprom},
        {290, &CSOM_View::onSave}, {291, &CSOM_View::onFactory}, {292, &CSOM_View::onRead},
        {1117, &CSOM_View::onCompare}};
    for (const auto& [id, slot] : items)
        menu->addAction(LoadQText(id), this, slot);
    menu->addSeparator();
    menu->addAction(LoadQText(1120), this, &CSOM_View::onMinimise);
    menu->addAction(LoadQText(281), this, &CSOM_View::onExit);
    layout->setMenuBar(bar);
}

void CSOM_View::openPage()
{
    OpenedPage opened = OpenParameterPage(environment_, CurrentDriveType(), CurrentPageModeChoice(), *this);
    page_ = std::move(opened.page);
    driveCommandsAvailable_ = opened.driveCommandsAvailable;
    fillTable();
    mode_->setText(LoadQText(PageModeNameTextId(page_->pageMode())));
    version_->setText(q("Ver : " + page_->modelName()));
    setBusy(false);
    table_->setFocus();
    if (table_->rowCount() > 0)
        table_->selectRow(0);
}

void CSOM_View::fillTable()
{
    table_->setRowCount(page_->rowCount());
    for (int r = 0; r < page_->rowCount(); ++r)
        showRow(r);
}

void CSOM_View::showRow(int r)
{
    const PageRow& row = page_->row(r);
    const QString cells[5] = {q(page_->label(r)), q(row.definition).trimmed(), q(row.range).trimmed(),
                              q(row.unit).trimmed(), row.hasValue ? QString::number(row.value) : QString()};
    for (int c = 0; c < 5; ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        item->setToolTip(cells[c]);
        item->setForeground(row.grey ? kUnusedText : QColor(Qt::black));
        item->setBackground(Qt::white);
        if (c == 0 || c == 4)
            item->setTextAlignment(c == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(r, c, item);
    }
}

void CSOM_View::setBusy(bool busy)
{
    const bool page = page_ != nullptr && !busy;
    for (Command c : {Load, Save, Compare})
        buttons_[c]->setEnabled(page);
    for (Command c : {Transfer, Eeprom, Factory, Read})
        buttons_[c]->setEnabled(page && driveCommandsAvailable_);
}

int CSOM_View::selectedRow() const
{
    const auto rows = table_->selectionModel() ? table_->selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CSOM_View::onLoad()
{
    if (!page_)
        return;
    const std::string path = AskLoadPath(*page_, false);
    if (!path.empty())
        LoadPageFile(*page_, path, LoadSource::UserFile, LoadColumns::valuesOnly(), *this);
}

void CSOM_View::onSave()
{
    if (!page_)
        return;
    const std::string path = AskSavePath(*page_);
    if (!path.empty())
        SavePageFile(*page_, path, *this);
}

void CSOM_View::onTransfer()
{
    runOnDrive([this](ParameterPage& page) { TransferPage(page, *this); });
}

void CSOM_View::onEeprom()
{
    runOnDrive([this](ParameterPage& page) { SavePageToEeprom(page, *this); });
}

void CSOM_View::onFactory()
{
    runOnDrive([this](ParameterPage& page) { ResetDriveToFactory(page, *this); });
}

void CSOM_View::onRead()
{
    runOnDrive([this](ParameterPage& page) { RefreshPageFromDrive(page, *this); });
}

void CSOM_View::runOnDrive(const std::function<void(ParameterPage&)>& command)
{
    if (!page_ || !driveCommandsAvailable_)
        return;
    setBusy(true);
    command(*page_);
    setBusy(false);
}

void CSOM_View::onCompare()
{
    if (!page_)
        return;
    CCompareDlg dialog(*page_, *this, this);
    dialog.exec();
}

void CSOM_View::onExit()
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}

void CSOM_View::onMinimise()
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->showMinimized();
    else
        showMinimized();
}

void CSOM_View::editSelectedRow()
{
    if (!page_)
        return;
    setBusy(true);
    EditParameter(*page_, selectedRow(), *this);
    setBusy(false);
}

void CSOM_View::showSelectedRowHelp()
{
    if (page_)
        ShowRowHelp(*page_, selectedRow(), *this);
}

void CSOM_View::showFirmwareVersion()
{
    if (page_)
        setStatus(FirmwareVersionText(*page_));
}

bool CSOM_View::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            editSelectedRow();
            return true;
        }
        helpTimer_->start(kKeyHelpDelayMs);  // after the key has moved the selection
    }
    if (watched == table_->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        showFirmwareVersion();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CSOM_View::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        showFirmwareVersion();
    else
        QWidget::mouseDoubleClickEvent(event);
}

void CSOM_View::repaintNowAndThen(QWidget* widget)
{
    // The commands block the event loop; paint now and then so progress shows.
    if (lastRepaint_.elapsed() >= kRepaintEveryMs && widget->isVisible()) {
        widget->repaint();
        lastRepaint_.restart();
    }
}

void CSOM_View::setProgressRange(int minimum, int maximum)
{
    progress_->setRange(minimum, maximum);
}

void CSOM_View::setProgress(int position)
{
    progress_->setValue(position);
    repaintNowAndThen(progress_);
}

void CSOM_View::setStatus(const std::string& line)
{
    status_->setText(q(line));
    repaintNowAndThen(status_);
}

void CSOM_View::setDescription(const std::string& line, bool red)
{
    description_->setText(q(line));
    description_->setStyleSheet(red ? "color: rgb(255,0,0);" : "color: black;");
}

void CSOM_View::valueChanged(int row)
{
    if (page_ && row >= 0 && row < table_->rowCount())
        showRow(row);
}

void CSOM_View::textsChanged()
{
    if (page_)
        fillTable();
}

bool CSOM_View::runCommandWait()
{
    CMessageEx dialog(this);
    dialog.exec();
    return dialog.commandWait().accepted();
}

bool CSOM_View::askValue(int parameter, const std::string& definition, int32_t current, int32_t& newValue)
{
    // The file pads definitions; the dialog shows the words.
    return valueDialog_ && valueDialog_(parameter, q(definition).trimmed().toStdString(), current, newValue);
}
