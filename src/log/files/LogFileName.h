#pragma once
// File-name rules of the log files: which form a name picks, and the name a save really uses.
#include <QString>

namespace varnex {

enum class LogFileForm { Text, Xml };

// The extension of the last path component, from its last dot on, in lower case
// ("dir.v2/Log.XML" -> ".xml", "log" -> "", "log." -> ".").
QString LowerExtension(const QString& name);

// ".xml" in any letter case is the XML data packet; everything else is the text form.
LogFileForm FormForName(const QString& name);

// The name a save writes to: unchanged for ".xml", ".xls" and ".txt", otherwise with ".xls"
// appended (log.csv -> log.csv.xls).
QString SaveNameFor(const QString& name);

// The window's file dialogs, in Qt's filter form.
inline const QString kSaveDialogFilter =
    QStringLiteral("Excel File(*.xls);;XML File(*.xml);;Txt File(*.txt)");
inline const QString kSaveDialogDefaultSuffix = QStringLiteral("xls");
inline const QString kOpenDialogFilter = QStringLiteral(
    "Excel data files (*.xls);;XML data files (*.xml);;notepad data files (*.txt)");

} // namespace varnex
