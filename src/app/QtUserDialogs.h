#pragma once
// The real dialogs: QMessageBox, QFileDialog, QPrintPreviewDialog, QDesktopServices.
#include "app/UserDialogs.h"

class QWidget;

namespace varnex {

class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    void information(const QString& text) override;
    void error(const QString& text) override;
    bool askYesNo(const QString& text) override;
    UnsavedChoice askUnsaved(int unsavedRows, UnsavedReason reason) override;
    QString askSaveLogName() override;
    QString askOpenLogName() override;
    QString askSaveBitmapName() override;
    void showPrintPreview(const std::function<void(QPrinter*)>& paint) override;
    void openDocument(const QString& path) override;

private:
    QWidget* owner_;
    QString lastOpenName_;
};

} // namespace varnex
