#include "app/QtUserDialogs.h"

#include "chart/ChartBitmapDialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>
#include <QUrl>

namespace varnex {
namespace {

QString title() { return QApplication::applicationName(); }

int runBox(QWidget* owner, QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title(), text, buttons, owner);
    return box.exec();
}

} // namespace

void QtUserDialogs::information(const QString& text)
{
    runBox(owner_, QMessageBox::Information, text, QMessageBox::Ok);
}

void QtUserDialogs::error(const QString& text)
{
    runBox(owner_, QMessageBox::Critical, text, QMessageBox::Ok);
}

bool QtUserDialogs::askYesNo(const QString& text)
{
    return runBox(owner_, QMessageBox::Information, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString QtUserDialogs::unsavedQuestion(std::int64_t unsavedRows, UnsavedReason reason)
{
    const QString when = reason == UnsavedReason::Closing
                             ? QStringLiteral("before closing")
                             : QStringLiteral("before the XML file replaces them");
    return QStringLiteral("The log holds %1 row(s) that have not been saved.\n"
                          "Do you want to save them %2?").arg(unsavedRows).arg(when);
}

UnsavedChoice QtUserDialogs::askUnsaved(const UnsavedRowCount& unsavedRows, UnsavedReason reason)
{
    std::int64_t shown = unsavedRows();
    QMessageBox box(QMessageBox::Warning, title(), unsavedQuestion(shown, reason),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, owner_);
    box.setDefaultButton(QMessageBox::Save);
    // Rows keep arriving behind the box: the count in it follows them.
    QTimer refresh(&box);
    refresh.setInterval(kUnsavedCountRefreshMs);
    QObject::connect(&refresh, &QTimer::timeout, &box, [&] {
        const std::int64_t now = unsavedRows();
        if (now != shown) {
            shown = now;
            box.setText(unsavedQuestion(shown, reason));
        }
    });
    refresh.start();
    switch (box.exec()) {
    case QMessageBox::Save: return UnsavedChoice::Save;
    case QMessageBox::Discard: return UnsavedChoice::Discard;
    default: return UnsavedChoice::Cancel;
    }
}

QString QtUserDialogs::askSaveLogName()
{
    QFileDialog dialog(owner_, QString(), QString(),
                       QStringLiteral("Excel File(*.xls);;XML File(*.xml);;Txt File(*.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("xls"));
    dialog.selectFile(QString()); // an empty name each time
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtUserDialogs::askOpenLogName()
{
    QFileDialog dialog(owner_, QString(), QString(),
                       QStringLiteral("Excel data files (*.xls);;XML data files (*.xml);;notepad data files (*.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // the named file need not exist
    if (!lastOpenName_.isEmpty())
        dialog.selectFile(lastOpenName_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    lastOpenName_ = dialog.selectedFiles().constFirst();
    return lastOpenName_;
}

QString QtUserDialogs::askSaveBitmapName()
{
    return AskChartBitmapName(owner_);
}

void QtUserDialogs::showPrintPreview(const std::function<void(QPrinter*)>& paint)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, owner_);
    preview.setWindowTitle(QStringLiteral("Print Preview"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&paint](QPrinter* p) { paint(p); });
    preview.exec();
}

void QtUserDialogs::openDocument(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace varnex
