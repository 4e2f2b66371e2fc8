#pragma once
#include <QByteArray>

// The XML datapacket every new data file starts from: 29 lines, CR LF after each, CP932.
QByteArray NewFileTemplate();
