#pragma once
// The real dialogs: QMessageBox, QFileDialog, QPrintPreviewDialog, QDesktopServices.
#include "app/UserDialogs.h"

class QWidget;

namespace varnex {

class QtUserDialogs : public UserDialogs {
public:
    // How often the unsaved-rows box looks at the count again.
    static constexpr int kUnsavedCountRefreshMs = 100;
    // The unsaved-rows question for a count of rows.
    static QString unsavedQuestion(std::int64_t unsavedRows, UnsavedReason reason);

    explicit QtUserDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    void information(const QString& text) override;
    void error(const QString& text) override;
    bool askYesNo(const QString& text) override;
    UnsavedChoice askUnsaved(const UnsavedRowCount& unsavedRows, UnsavedReason reason) override;
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
