#pragma once
// Everything the window asks of the user or the desktop: modal message boxes, file
// dialogs, the print preview and the help viewer. The window talks to this interface
// so that tests can answer for the user; QtUserDialogs is the real one.
#include <QString>

#include <cstdint>
#include <functional>

class QPrinter;

namespace varnex {

enum class UnsavedChoice { Save, Discard, Cancel };
// What would lose the unsaved rows.
enum class UnsavedReason { Closing, OpeningXmlLog };
// The number of unsaved rows now: readings are still logged while the question is open.
using UnsavedRowCount = std::function<std::int64_t()>;

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // Modal box with an information icon and OK.
    virtual void information(const QString& text) = 0;
    // Modal box with an error icon and OK.
    virtual void error(const QString& text) = 0;
    // Modal box with an information icon, Yes and No; true on Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // Rows that were never saved are about to be lost: Save, Discard or Cancel. The box
    // shows the count that unsavedRows gives while it is open, not the count at its opening.
    virtual UnsavedChoice askUnsaved(const UnsavedRowCount& unsavedRows, UnsavedReason reason) = 0;
    // SaveDialog2 (empty start name each time); empty when cancelled.
    virtual QString askSaveLogName() = 0;
    // OpenDialog1 (starts with the name chosen last time); empty when cancelled.
    virtual QString askOpenLogName() = 0;
    // The save-picture dialog of the chart: the name to write (".bmp" forced), asked
    // about when that file exists; empty when cancelled.
    virtual QString askSaveBitmapName() = 0;
    // Shows the print preview until the user closes it; paint renders the report.
    virtual void showPrintPreview(const std::function<void(QPrinter*)>& paint) = 0;
    // Opens a document with the desktop's default program; the result is not looked at.
    virtual void openDocument(const QString& path) = 0;
};

} // namespace varnex
