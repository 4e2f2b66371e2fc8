#pragma once
// The two datapacket forms. Readers take any bytes and answer a table or an error,
// never crash or allocate beyond what the bytes can hold.
#include "records/PacketTable.h"

class QIODevice;

namespace datapacket {

// The four bytes every binary datapacket begins with.
inline constexpr char BinaryMagic[] = "\x96\x19\xE0\xBD";

// Most field values (records × fields) a packet may hold. A value costs far more in
// memory than in the file (an empty record of one field is two bytes), so a
// hostile file is refused here; real data files stay far below it.
inline constexpr qint64 MaxCells = qint64(1) << 23;

PacketResult readBinary(const QByteArray& bytes);
// The binary packet that fills the rest of `device`, read into one array a piece at a
// time with each piece's rows read while it is fresh: the same answer as readBinary of
// the bytes, in less time than reading them whole and then reading the rows.
PacketResult readBinary(QIODevice& device);
PacketResult readXml(const QByteArray& bytes);
// The record at `index` (0-based, change log merged) of the binary datapacket that fills
// the rest of `device`, read forward in pieces, so a large file is never wholly in memory: the table
// holds that one row, or none when the packet has fewer records, and `recordCount` gets
// how many it has. Refuses what readBinary refuses, with the same error.
PacketResult readBinaryRecord(QIODevice& device, qint64 index, qint64& recordCount);
// Either form, chosen by the first bytes.
PacketResult read(const QByteArray& bytes);
// Either form from an open device: a binary packet in pieces where readableInPieces(),
// anything else read whole first. A read error is answered as the device gives it.
PacketResult read(QIODevice& device);
// Whether the device holds a binary packet and has a size to check its rows against
// (a pipe has none).
bool readableInPieces(QIODevice& device);

QByteArray writeBinary(const PacketTable& table);
QByteArray writeXml(const PacketTable& table);
// The same bytes written to `device` a piece at a time, each piece while it is fresh in
// the cache, so a large file is never wholly in memory. False when a write fails.
bool writeBinary(const PacketTable& table, QIODevice& device);
bool writeXml(const PacketTable& table, QIODevice& device);

// How much the writers gather before handing it to a device.
inline constexpr qsizetype WritePieceSize = qsizetype(1) << 19;

// The r8 text of the XML form: at most 16 significant digits, a sign, "0." and three
// zeros, or an exponent.
QByteArray realText(double v);
inline constexpr int RealTextRoom = 32;
// The same text written at `out`, which has RealTextRoom bytes; returns its end.
char* writeReal(char* out, double v);

// Day numbers of both forms count 0001-01-01 as day 1.
qint32 dayNumber(int year, int month, int day);
void dateOfDay(qint32 dayNumber, int& year, int& month, int& day);

} // namespace datapacket
