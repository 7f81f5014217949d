// The main window: its fixed layout, its components and the creation handler FormCreate.
#include "app/TFCOMM.h"

#include "app/ConnectionBar.h"
#include "app/FunctionBoard.h"
#include "app/KeypadBox.h"
#include "app/LogGrid.h"
#include "app/MeterEnvironment.h"
#include "app/publisher/MqttPublisher.h"
#include "app/UserDialogs.h"
#include "app/journal/Journal.h"
#include "app/trend/TrendFeed.h"
#include "app/trend/TrendWindow.h"
#include "chart/ChartCommands.h"
#include "chart/ChartToolBar.h"
#include "chart/ChartWidget.h"
#include "chart/DigitKeyFilter.h"
#include "chart/TChartControl.h"
#include "display/MeterFace.h"
#include "display/VirtualLcd.h"
#include "keypad/LinkKeyAdapters.h"
#include "links/PosixSerialPlatform.h"
#include "links/TCommPortDriver.h"
#include "links/UsbLink.h"
#include "log/LogTableModel.h"
#include "log/MeasurementLog.h"
#include "log/RecordLimitMenu.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QScreen>
#include <QTableView>

namespace varnex {

TFCOMM::TFCOMM(MeterEnvironment& environment, UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), env_(environment), dialogs_(dialogs)
{
    setObjectName("FCOMM");
    // A fixed window: system menu, minimize and close boxes, no maximize box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    setFont(font);

    buildWindow();
    buildMenus();
    buildLinks();
    FormCreate();
    buildLog();
    buildChart();
    buildAnalysis();

    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    conTimer_.start();
    trecord_.start();
}

TFCOMM::~TFCOMM()
{
    // The serial component closes its port when it goes; the log model stops observing first.
    conTimer_.stop();
    timer1_.stop();
    trecord_.stop();
    // The trend window reads the feed: it goes first, and the log stops telling the feed.
    delete trendWindow_;
    log_->removeListener(trendFeed_.get());
    // The journal writes what waits, commits and marks the run ended.
    stopJournal();
    if (comm2_)
        comm2_->Disconnect();
    if (publisher_) {
        log_->removeListener(publisher_.get());
        publisher_.reset(); // says "offline" to the broker
    }
    delete DBGrid1;
    DBGrid1 = nullptr;
    delete model_;
    model_ = nullptr;
}

void TFCOMM::buildWindow()
{
    client_ = new QWidget(this);
    client_->setObjectName("ClientArea");
    client_->setFixedSize(kClientWidth, kClientHeight);
    client_->setAutoFillBackground(true);
    QPalette pal = client_->palette();
    pal.setColor(QPalette::Window, Qt::white);
    client_->setPalette(pal);
    setCentralWidget(client_);

    AA = new ConnectionBar(client_);
    AA->setGeometry(4, 0, 845, 48);

    face_ = new MeterFace(client_);
    face_->setGeometry(kMeterFaceLeft, kMeterFaceTop, kMeterFaceWidth, kMeterFaceHeight);

    Panel1 = new VirtualLcd(client_);
    Panel1->setGeometry(30, 80, 654, 177);

    Keyboard = new KeypadBox(client_);
    Keyboard->setGeometry(30, 256, kKeyboardWidth, kKeyboardHeight);
    connect(Keyboard, &KeypadBox::keyPressed, this, &TFCOMM::keyPressed);

    GroupBox1 = new FunctionBoard(client_);
    GroupBox1->setGeometry(4, 403, 428, 41);

    DBGrid1 = new LogGrid(client_);
    DBGrid1->setGeometry(4, 443, 428, 217);

    Panel19 = new ChartToolBar(client_);
    Panel19->setGeometry(432, 400, 417, 33);

    Chtshow = new ChartWidget(client_);
    Chtshow->setGeometry(432, 432, 417, 228);
    Panel19->raise();
}

void TFCOMM::buildMenus()
{
    Record1 = menuBar()->addMenu(QStringLiteral("Record"));
    Record1->setObjectName("Record1");
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (int i = 0; i < int(RecordLimitItems.size()); ++i) {
        QAction* item = Record1->addAction(QString::fromLatin1(RecordLimitItems[i].Caption));
        item->setObjectName(QString::fromLatin1(RecordLimitItems[i].Name));
        item->setCheckable(true);
        item->setChecked(i == DefaultRecordLimitItem);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { RecordLimitClick(i); });
        recordItems_[std::size_t(i)] = item;
    }
    // "Help" has no items: clicking the title itself opens the help file.
    help_ = menuBar()->addAction(QStringLiteral("Help"));
    help_->setObjectName("Help1");
    connect(help_, &QAction::triggered, this, &TFCOMM::HelpClick);
}

void TFCOMM::buildLinks()
{
    comm2_ = std::make_unique<TCommPortDriver>(std::make_unique<PosixSerialPlatform>(env_.portNames()));
    // The window's stored values for this meter.
    comm2_->SetComPort(pnCOM1);
    comm2_->SetComPortDataBits(db7BITS);
    comm2_->SetComPortStopBits(sb2BITS);

    usbLink_ = std::make_unique<UsbLink>(env_.usbLibrary());
    usbLink_->setFrameSink(UsbFrameSink{
        [this](std::uint8_t b) { return assembler_.AddUsbByte(b); },
        [this] { assembler_.ResetUsbFrame(); },
    });
    usbLink_->setUi(UsbLinkUi{
        [this](const std::string& text) { dialogs_.information(QString::fromStdString(text)); },
        [this] { connection_.usbShowDisconnectedLook(); },
        [this] { connection_.usbStopPolling(); },
    });

    serialKeys_ = std::make_unique<CommPortKeyLink>(*comm2_);
    usbKeys_ = std::make_unique<UsbLinkKeyLink>(*usbLink_);
    keypad_ = std::make_unique<KeypadRouter>(*serialKeys_, *usbKeys_, keypadMessages_);

    connection_.setActions(ConnectionActions{
        [this] { return connectSerialAndReport(); },
        [this] { disconnectSerialAndReport(); },
        [this](TComPortNumber port) { comm2_->SetComPort(port); },
        [this] { openUsbAndReport(); },
        [this] { closeUsbAndReport(); },
    });
    bindLinkLossReports();
    connection_.setViewChanged([this](const ConnectionViewState& view) { applyConnectionView(view); });

    connect(AA->comButton(), &QPushButton::clicked, this, &TFCOMM::COMConClick);
    connect(AA->usbButton(), &QPushButton::clicked, this, &TFCOMM::USBClick);
    connect(AA->quitButton(), &QPushButton::clicked, this, &TFCOMM::BitBtn1Click);
    connect(AA, &ConnectionBar::portPanelClicked, this, [this](int) { connection_.clickPortPanel(); });

    conTimer_.setInterval(100);
    connect(&conTimer_, &QTimer::timeout, this, &TFCOMM::ConTimerTimer);
    timer1_.setInterval(10);
    timer1_.setTimerType(Qt::PreciseTimer);
    connect(&timer1_, &QTimer::timeout, this, [this] { usbLink_->Timer1Timer(); });
    applyConnectionView(connection_.view());
}

void TFCOMM::FormCreate()
{
    // 1. The system's decimal separator.
    setDecimalSeparator(QLocale::system().decimalPoint());
    // 2. The empty log table.
    cds1_.clear();
    // 3. The chart pager with 100 points a page.
    chartPager_ = std::make_unique<TChartControl>(*Chtshow, 100);
    chartFeed_.setPager(chartPager_.get());
    // 4. Shared state: NextRecordNo 1, LoggedCount 0, RecordLimit 10000.
    log_ = std::make_unique<MeasurementLog>(cds1_, chartFeed_);
    log_->setDecimalSeparator(decimalSeparatorBytes_);
    // 5. This meter's receive handler and caption.
    assembler_.SetFrameHandler([this](const std::string&) { LcdDisplayVarnex(); });
    comm2_->SetOnReceiveData([this](TCommPortDriver*, const std::uint8_t* data, int size) { VarnexData(data, size); });
    setWindowTitle(QString::fromLatin1(kWindowCaption));
    // 6. The chart's vertical axis at plus and minus the full-scale count.
    chartPager_->SetLeftMaximum(FullScaleCount);
    chartPager_->SetLeftMinimum(-FullScaleCount);
}

void TFCOMM::buildLog()
{
    model_ = new LogTableModel(cds1_);
    DBGrid1->setLogModel(model_);

    auto* board = GroupBox1;
    connect(board->repeatSet(), &QCheckBox::toggled, this, [this](bool on) { log_->Sampling().RepeatSet = on; });
    connect(board->recordSI(), &QCheckBox::toggled, this, [this](bool on) { log_->Sampling().RecordSI = on; });
    board->recordSITime()->installEventFilter(new DigitKeyFilter(board->recordSITime()));
    connect(board->recordSITime(), &QLineEdit::textChanged, this,
            [this](const QString& text) { log_->Sampling().RecordSITimeChange(text.toStdString()); });
    connect(board->recordNew(), &QToolButton::clicked, this, &TFCOMM::RecordNewClick);
    connect(board->openDataFiles(), &QToolButton::clicked, this, &TFCOMM::SpeedButton2Click);
    connect(board->saveAs(), &QToolButton::clicked, this, &TFCOMM::saveasClick);
    connect(board->btPrint(), &QToolButton::clicked, this, &TFCOMM::BtPrintClick);

    trecord_.setInterval(1000);
    connect(&trecord_, &QTimer::timeout, this, [this] { log_->Sampling().TrecordTimer(); });
}

void TFCOMM::buildChart()
{
    chartCommands_ = new ChartCommands(*chartPager_, *Panel19, *Chtshow, this);
    connect(chartCommands_, &ChartCommands::messageRequested, this, [this](const QString& text) { dialogs_.error(text); });
    connect(chartCommands_, &ChartCommands::saveRequested, this, [this] {
        const QString name = dialogs_.askSaveBitmapName();
        if (!name.isEmpty())
            chartCommands_->SaveChartAs(name);
    });
    connect(chartCommands_, &ChartCommands::enlargeRestoreRequested, this,
            [this] { chartCommands_->ToggleEnlarge(frameGeometry().size()); });
    connect(chartCommands_, &ChartCommands::panelsVisibilityChanged, this, &TFCOMM::setPanelsVisible);
}

void TFCOMM::setPanelsVisible(bool visible)
{
    Panel1->setVisible(visible);
    GroupBox1->setVisible(visible);
    Keyboard->setVisible(visible);
    AA->setVisible(visible);
}

void TFCOMM::setDecimalSeparator(const QString& separator)
{
    decimalSeparator_ = separator;
    decimalSeparatorBytes_ = separator.toStdString();
    if (log_)
        log_->setDecimalSeparator(decimalSeparatorBytes_);
}

void TFCOMM::RecordLimitClick(int item)
{
    log_->RecordLimits().Select(item);
    for (int i = 0; i < int(recordItems_.size()); ++i)
        recordItems_[std::size_t(i)]->setChecked(log_->RecordLimits().IsChecked(i));
    showRecordLimitState();
}

void TFCOMM::publishTo(std::unique_ptr<MqttPublisher> publisher)
{
    if (publisher_)
        log_->removeListener(publisher_.get());
    publisher_ = std::move(publisher);
    if (publisher_)
        log_->addListener(publisher_.get());
}

void TFCOMM::HelpClick()
{
    // Asked again at every click; whatever the desktop does with the file is all the user sees.
    dialogs_.openDocument(QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(kHelpFileName));
}

} // namespace varnex
