#include "chart/ChartBitmapDialog.h"

#include "chart/ChartBitmapName.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace varnex {

QString ChartBitmapDialogFilter()
{
    return QStringLiteral("Bitmaps (*.bmp)");
}

QString ReplacePictureQuestion(const QString& writtenName)
{
    return QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(writtenName).fileName());
}

QString AskChartBitmapName(QWidget* parent)
{
    QFileDialog dialog(parent, QString(), QString(), ChartBitmapDialogFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        const QString chosen = dialog.selectedFiles().constFirst();
        const QString written = ChartBitmapFileName(chosen);
        const QFileInfo target(written);
        if (!target.exists() && !target.isSymLink())
            return written;
        QMessageBox box(QMessageBox::Warning, dialog.windowTitle(), ReplacePictureQuestion(written),
                        QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() == QMessageBox::Yes)
            return written;
        // No: back to the dialog with the typed name, as the dialog's own question does.
        dialog.selectFile(chosen);
    }
}

} // namespace varnex
