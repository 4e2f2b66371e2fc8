#pragma once
// Everything the page drawing reads: the current record's fields, the settings, the
// record's layout, the side panel's options, the interaction state and the table.
// The main window fills one of these before every drawing; the renderer keeps nothing.
#include "invoice/InvoiceSettings.h"
#include "table/LineItemTable.h"
#include "table/RowSelection.h"

#include <QByteArray>
#include <QColor>
#include <QDate>
#include <QRect>
#include <array>

namespace page {

// Document kinds of the side panel's radio group.
enum DocumentKind : int { KindEstimate = 0, KindInvoice = 1, KindDeliveryNote = 2 };

struct PageModel {
    // Current record (text fields as CP932 bytes). A null date is an empty field.
    qint32 num = 0;
    QDate sday; // creation date
    QDate day;  // delivery date
    QByteArray name;
    QByteArray honorifics;
    QByteArray memo;

    // Settings. Colours are Windows colour values (0x00BBGGRR, or a system colour).
    QByteArray FontName = "Tahoma";
    quint32 FontColor = 0x00000000;
    quint32 LineColor = 0x00DBC6AA;
    int Margin = 10;
    int FontSizeOffset = 0;
    std::array<QByteArray, 5> Sender; // Sender1..Sender5
    std::array<int, 5> SenderAlign{}; // Sender1Align..Sender5Align: 0 left, 1 centre, 2 right
    int SenderSpaceWidth = 200;
    int SenderLineHeight = 22;
    // The qualified-invoice mode; off, nothing of it is drawn.
    invoice::InvoiceSettings invoice;

    // Layout of the current record. LineCount is the table's line count.
    std::array<int, 5> ColWidth{230, 40, 40, 90, 90}; // ColWidth1..ColWidth5
    int LineHeight = 22;
    double SalesTaxRate = 0.08;
    int TablePosition = 200;

    // Side panel.
    int documentKind = KindEstimate; // RadioGroup1
    bool showDeliveryDate = false;   // CheckBox1
    bool showRemarks = true;         // CheckBox2
    bool showYen = false;            // CheckBox3

    // Page interaction state.
    bool PageDrag = false;
    std::array<bool, 5> BorderDrag{}; // BorderDrag1..BorderDrag5
    bool SenderEdgeDrag = false;
    int PointerFormY = 0;
    // The block under the pointer, framed with a dotted line on screen; empty for none.
    QRect hoverFrame;
    int scrollY = 0; // vertical scroll position of the page view
    bool Printing = false;

    // Page size in page pixels (PB1's width and height).
    int pageWidth = 630;
    int pageHeight = 891;

    // The table of the current record; DrawPage rewrites its amount cells. Required.
    LineItemTable* table = nullptr;
    // `RowSelected`; none means nothing is highlighted.
    const RowSelection* selection = nullptr;
};

// A Windows colour value as a QColor: plain RGB as it is, system colours by their
// usual default values.
QColor ColorFromWindows(quint32 value);

} // namespace page
