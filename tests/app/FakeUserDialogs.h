#pragma once
// Answers for the user in window tests: every box and dialog the window opens is recorded
// in order with its text and kind, and the answers come from queues the test fills. An
// empty queue answers as a cautious user would: No, Cancel, no file name.
#include "app/UserDialogs.h"

#include <QPrinter>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace varnex::testing {

enum class DialogKind { Information, Error, YesNo, Unsaved, SaveLogName, OpenLogName, SaveBitmapName };

struct DialogRecord {
    DialogKind kind;
    QString text; // the message or question; empty for file dialogs and the unsaved box
    int unsavedRows = 0;         // the unsaved-rows box: the count when it opened
    std::int64_t unsavedRowsAtAnswer = 0; // and when it was answered
};

class FakeUserDialogs : public UserDialogs {
public:
    std::deque<bool> yesNoAnswers;
    std::deque<UnsavedChoice> unsavedAnswers;
    std::deque<QString> saveLogNames;
    std::deque<QString> openLogNames;
    std::deque<QString> bitmapNames;
    // When set, the print preview renders the report into this PDF file.
    QString previewPdfPath;
    // Runs while a box or dialog is "open", before its answer: a test can let the event
    // loop run there, as it does under a real modal box.
    std::function<void()> whileOpen;

    std::vector<DialogRecord> records;
    int printPreviews = 0;
    QStringList openedDocuments;

    void information(const QString& text) override { opened({DialogKind::Information, text}); }
    void error(const QString& text) override { opened({DialogKind::Error, text}); }
    bool askYesNo(const QString& text) override
    {
        opened({DialogKind::YesNo, text});
        return take(yesNoAnswers, false);
    }
    std::vector<UnsavedReason> unsavedReasons;
    UnsavedChoice askUnsaved(const UnsavedRowCount& unsavedRows, UnsavedReason reason) override
    {
        unsavedReasons.push_back(reason);
        const std::size_t at = records.size();
        opened({DialogKind::Unsaved, QString(), int(unsavedRows())});
        records[at].unsavedRowsAtAnswer = unsavedRows();
        return take(unsavedAnswers, UnsavedChoice::Cancel);
    }
    QString askSaveLogName() override
    {
        records.push_back({DialogKind::SaveLogName, QString()});
        return take(saveLogNames, QString());
    }
    QString askOpenLogName() override
    {
        records.push_back({DialogKind::OpenLogName, QString()});
        return take(openLogNames, QString());
    }
    QString askSaveBitmapName() override
    {
        records.push_back({DialogKind::SaveBitmapName, QString()});
        return take(bitmapNames, QString());
    }
    void showPrintPreview(const std::function<void(QPrinter*)>& paint) override
    {
        ++printPreviews;
        // The report paints into a printer that writes PDF: what the preview would show.
        if (!previewPdfPath.isEmpty() && paint) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(previewPdfPath);
            paint(&printer);
        }
    }
    void openDocument(const QString& path) override { openedDocuments << path; }

    // The messages (information and error boxes and questions), in order.
    QStringList texts() const
    {
        QStringList out;
        for (const auto& r : records)
            if (!r.text.isEmpty())
                out << r.text;
        return out;
    }
    int count(DialogKind kind) const
    {
        int n = 0;
        for (const auto& r : records)
            n += r.kind == kind ? 1 : 0;
        return n;
    }
    void clear() { records.clear(); }

private:
    void opened(const DialogRecord& record)
    {
        records.push_back(record);
        if (whileOpen)
            whileOpen();
    }

    template <typename T>
    static T take(std::deque<T>& queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace varnex::testing
