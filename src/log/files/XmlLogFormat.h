#pragma once
// The XML data packet of the log table (".xml"): version "2.0" packet with the field list
// (No as "i4", the six texts as strings of width 20) and one ROW element per row.
#include "log/LogStore.h"
#include "log/files/LogRowSink.h"

#include <functional>
#include <string_view>

class QIODevice;

namespace varnex {

class BufferedWriter;

inline constexpr std::string_view kXmlDeclaration = R"(<?xml version="1.0" standalone="yes"?>)";

// An attribute value: & < > " as entities, TAB, LF and CR as character references so that
// they survive attribute normalisation, bytes from 0x7F on as character references (the
// text is Latin-1, the packet declares no encoding, so any reader takes it as UTF-8).
// Other control bytes cannot appear in XML 1.0 at all and are written as "?".
void WriteXmlAttributeValue(BufferedWriter& out, std::string_view latin1);

// The whole packet for store; empty texts are left out of a row. False when the device
// refused a write.
bool WriteXmlLog(QIODevice& device, const LogStore& store);

// Reads a packet as the table engine and other writers of the packet produce it: any
// attribute order, extra attributes and elements, RowState, PARAMS with attributes, absent
// fields (empty texts; an absent No reads as 0), UTF-8 or ISO-8859-1 documents, and 8-bit
// packets that declare no encoding (read as Latin-1 when their bytes are no UTF-8; the
// reader then calls restart, which must drop the rows handed on so far, and reads again;
// without restart, or on a sequential device, such a packet is refused). Rows go to sink as
// they are read, so a caller that must not keep a half-read packet collects them aside.
// False when the packet is not well-formed, is no DATAPACKET, declares no No field, a
// row's No is not a whole number, or a piece of it passes XmlSizeGuard's limits.
bool ReadXmlLog(QIODevice& device, const LogRowSink& sink, const std::function<void()>& restart = {});

} // namespace varnex
