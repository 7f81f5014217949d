#pragma once
// The main window FCOMM: owns every component and all program state, lays out the fixed
// window and wires the libraries to its widgets. The rules live in the libraries; the
// handlers here only pass events on and show results.
#include "app/ChartFeedAdapter.h"
#include "keypad/KeypadRouter.h"
#include "links/ConnectionControl.h"
#include "log/LogStore.h"
#include "protocol/Decoder.h"
#include "protocol/FrameAssembler.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QPushButton;

namespace varnex {

class ChartCommands;
class ChartToolBar;
class ChartWidget;
class CommPortKeyLink;
class LinkReconnector;
class LogFileLoadTask;
class ConnectionBar;
class Journal;
struct JournalRecord;
struct RecoveryOffer;
class FunctionBoard;
class KeypadBox;
struct LinkReport;
class LogGrid;
class LogTableModel;
class MeasurementLog;
class MeterEnvironment;
class MqttPublisher;
class MeterFace;
class TChartControl;
class TCommPortDriver;
class ReadingsCsvExport;
class TrendFeed;
class TrendWindow;
class UsbLink;
class UsbLinkKeyLink;
class UserDialogs;
class VirtualLcd;

constexpr int kClientWidth = 857;
constexpr int kClientHeight = 667;
inline constexpr char kWindowCaption[] = "Varnex Interface Program _Ver: 3.03";
inline constexpr char kHelpFileName[] = "Varnexhelp.chm";

class TFCOMM : public QMainWindow {
    Q_OBJECT
public:
    TFCOMM(MeterEnvironment& environment, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~TFCOMM() override;

    // One decoder pass over FrameText, applied to the LCD, the chart axis and the log.
    void LcdDisplayVarnex();
    // COMM2's receive handler: a batch of received bytes for the serial assembler.
    void VarnexData(const std::uint8_t* data, int size);
    void INDataToTable();

    // Handlers of the window's controls (also driven by tests).
    void COMConClick();
    void USBClick();
    void RecordNewClick();
    void saveasClick();
    void SpeedButton2Click();
    void BtPrintClick();
    void BitBtn1Click();
    void HelpClick();
    void RecordLimitClick(int item);
    // "Analysis": "Trend and statistics…" and "Export readings as CSV…".
    void TrendClick();
    void ExportCsvClick();
    // Ended from outside (SIGTERM, SIGINT, SIGHUP): closes without any question, since
    // nobody is there to answer; the links close as the window goes.
    void EndWithoutQuestions();
    // Presses COMCon or USB as a click would (the --connect option).
    void PressLinkButton(ConnectionMode mode);

    // State for tests and the status line.
    const Reading& CurrentReading() const { return pass_.reading; }
    const QString& DecimalSeparatorText() const { return decimalSeparator_; }
    std::uint64_t DroppedFrames() const { return droppedFrames_; }
    std::uint64_t DecodedFrames() const { return decodedFrames_; }
    LogStore& cds1() { return cds1_; }
    MeasurementLog& Log() { return *log_; }
    TChartControl& ChartPager() { return *chartPager_; }
    TCommPortDriver& COMM2() { return *comm2_; }
    UsbLink& Usb() { return *usbLink_; }
    LinkReconnector& ComReconnect() { return *comReconnect_; }
    LinkReconnector& UsbReconnect() { return *usbReconnect_; }
    FrameAssembler& Assembler() { return assembler_; }
    ConnectionControl& Connection() { return connection_; }
    bool HasUnsavedRows() const { return unsavedRows_ > 0; }
    // A log file is being read on the worker thread (its rows are not in cds1 yet).
    bool LogLoadRunning() const;
    QTimer& ConTimer() { return conTimer_; }
    QTimer& Timer1() { return timer1_; }
    QTimer& Trecord() { return trecord_; }
    ChartCommands& ChartCommandHandlers() { return *chartCommands_; }
    // Every reading logged from now on also goes to this broker; the window owns it and
    // shows its state in the LCD's tooltip.
    void publishTo(std::unique_ptr<MqttPublisher> publisher);
    MqttPublisher* Publisher() const { return publisher_.get(); }
    TrendFeed& TrendData() { return *trendFeed_; }
    TrendWindow* Trend() const;
    ReadingsCsvExport& CsvExport() { return *csvExport_; }
    // The file dialog of "Export readings as CSV…" (tests answer for the user); empty: cancelled.
    void setAskCsvName(std::function<QString()> ask) { askCsvName_ = std::move(ask); }
    // Sets the decimal separator used by the decoder (start-up reads the locale's).
    void setDecimalSeparator(const QString& separator);
    // Journals every row into DIR/journal.sqlite from now on, and asks about the rows an
    // earlier run left unsaved.
    void startJournal(const QString& dataDir);
    Journal* journal() const { return journal_.get(); }
    // The LCD's tooltip: frame counters, the journal's state, the record limit.
    QString statusToolTip() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void buildMenus();
    void buildLog();
    void buildChart();
    void buildAnalysis();
    void buildLinks();
    void FormCreate();

    void applyConnectionView(const ConnectionViewState& view);
    // The links' actions, each followed by what the user is told about the link.
    bool connectSerialAndReport();
    void disconnectSerialAndReport();
    void openUsbAndReport();
    void closeUsbAndReport();
    void bindLinkLossReports();
    // On the button's and the connection indicator's tooltip; a failure also on stderr.
    void showLinkReport(const LinkReport& report, QPushButton* button);
    void ConTimerTimer();
    void keyPressed(const KeyDefinition* key, KeyTrigger trigger);
    void setPanelsVisible(bool visible);
    void setPageLabel(int page);
    // reportSuccess false: the window closes right after, and a success box would let in
    // readings that the file no longer gets.
    bool saveLogInteractively(bool reportSuccess = true);
    bool confirmCloseWithUnsavedRows();
    void askRecovery(const RecoveryOffer& offer);
    void putRecoveredRows(std::int64_t run, const std::vector<JournalRecord>& rows);
    // Rows [first, end) were loaded: the listeners (the journal) hear of them in slices, as
    // fast as the journal takes them, so a big file neither stalls the window nor
    // overflows the journal's queue. `replacedAll`: an XML packet replaced every row.
    void announceLoadedRows(std::size_t first, std::size_t end, bool replacedAll);
    void announceLoadedSlice();
    // The Record menu's title says when the record limit stops logging.
    void showRecordLimitState();
    void stopJournal();
    void takeLoadedRows();

    MeterEnvironment& env_;
    UserDialogs& dialogs_;

    // Decoder state: the assembler, the pass result (its reading is CurrentReading).
    FrameAssembler assembler_;
    DecodeResult pass_;
    QString decimalSeparator_;
    std::string decimalSeparatorBytes_;
    std::uint64_t droppedFrames_ = 0;
    std::uint64_t decodedFrames_ = 0;

    // Log and chart.
    LogStore cds1_;
    ChartFeedAdapter chartFeed_;
    std::unique_ptr<TChartControl> chartPager_;
    std::unique_ptr<MeasurementLog> log_;
    LogTableModel* model_ = nullptr;
    std::int64_t unsavedRows_ = 0;
    std::unique_ptr<MqttPublisher> publisher_;
    bool closingConfirmed_ = false;
    bool endingWithoutQuestions_ = false;
    std::unique_ptr<Journal> journal_;
    bool recordLimitShown_ = false;
    std::vector<std::pair<std::size_t, std::size_t>> loadedToAnnounce_; // [first, end) ranges of cds1
    bool loadedSliceScheduled_ = false;
    // The log file being read: whether it replaces the rows, and from which row on the rows
    // logged during the read stay after the packet's rows.
    LogFileLoadTask* logLoad_ = nullptr; // a child of the window
    bool loadReplaces_ = false;
    bool loadDiscarded_ = false; // the rows the packet replaces were thrown away unsaved
    std::size_t loadKeepsFrom_ = 0;

    // Links.
    std::unique_ptr<TCommPortDriver> comm2_;
    LinkReconnector* comReconnect_ = nullptr; // children of the window
    LinkReconnector* usbReconnect_ = nullptr;
    std::unique_ptr<UsbLink> usbLink_;
    std::unique_ptr<CommPortKeyLink> serialKeys_;
    std::unique_ptr<UsbLinkKeyLink> usbKeys_;
    // The keypad's messages: modal error boxes.
    class KeypadMessageBoxes : public KeypadMessages {
    public:
        explicit KeypadMessageBoxes(UserDialogs& dialogs) : dialogs_(dialogs) {}
        void showError(const std::string& text) override;
    private:
        UserDialogs& dialogs_;
    };
    KeypadMessageBoxes keypadMessages_{dialogs_};
    std::unique_ptr<KeypadRouter> keypad_;
    ConnectionControl connection_;
    QTimer conTimer_;
    QTimer timer1_;
    QTimer trecord_;

    // Widgets (owned by Qt's parent chain).
    QWidget* client_ = nullptr;
    ConnectionBar* AA = nullptr;
    MeterFace* face_ = nullptr;
    VirtualLcd* Panel1 = nullptr;
    KeypadBox* Keyboard = nullptr;
    FunctionBoard* GroupBox1 = nullptr;
    LogGrid* DBGrid1 = nullptr;
    ChartToolBar* Panel19 = nullptr;
    ChartWidget* Chtshow = nullptr;
    ChartCommands* chartCommands_ = nullptr;
    QMenu* Record1 = nullptr;
    std::array<QAction*, 6> recordItems_{};
    QAction* help_ = nullptr;

    // Analysis: the trend series is fed from start-up so the window covers every row.
    std::unique_ptr<TrendFeed> trendFeed_;
    QPointer<TrendWindow> trendWindow_;
    ReadingsCsvExport* csvExport_ = nullptr;
    std::function<QString()> askCsvName_;
    QMenu* Analysis1 = nullptr;
};

} // namespace varnex
