#pragma once
// The side panel's rules without widgets: how its number boxes read typed text, which keys
// and which arriving text they take, and the hint each control shows.
#include "platform/ColorNames.h"

#include <QColor>
#include <QString>
#include <QStringView>

#include <span>

namespace sidepanel {

// Fallbacks for text that does not read as a number, and the clamps of the typed values.
inline constexpr int kDefaultRowPitch = 22;
inline constexpr int kMinRowPitch = 16;
// Far beyond any page, yet small enough that the page's arithmetic over up to 10000 rows
// stays within int.
inline constexpr int kMaxRowPitch = 10000;
// Not the 20 rows of a new record: an emptied box gives 20 lines plus the title row.
inline constexpr int kDefaultRowCount = 21;
inline constexpr int kMinRowCount = 5;
inline constexpr int kDefaultTablePosition = 200;
inline constexpr int kMaxTablePosition = 1000000;
inline constexpr int kDefaultMargin = 10;
inline constexpr int kMinMargin = 10;
inline constexpr int kMaxMargin = 30;
inline constexpr int kBaseFontPoints = 12; // the memo editor's size before the offset

// Row pitch typed into Edit11: 22 when it is not a number, at least 16, at most 10000.
int RowPitchFromText(QStringView text);
// Rows (title row included) typed into Edit12: 21 when it is not a number, at least 5.
int RowCountFromText(QStringView text);
// Table position typed into Edit14: 200 when it is not a number, at most 1000000.
int TablePositionFromText(QStringView text);
// Margin typed into Edit7: 10 when it is not a number, held to 10..30.
int MarginFromText(QStringView text);
// Tax rate from the percentage typed into Edit10. Text that does not read as a decimal
// number keeps `currentRate`.
double TaxRateFromText(QStringView text, double currentRate);

// Whether a key press reaches a number box: digits 0-9, Backspace, and keys that type
// nothing (arrows, Delete, Tab). Every other character is dropped, so neither a sign nor a
// decimal point can be typed.
bool NumberBoxAcceptsKey(int key, QStringView text);
// What a number box takes of text that reaches it other than as a typed key (a paste, a
// drop, a commit of the input method): its digits, full-width ones as their half-width
// forms, without the spaces around them. Text with anything else in it is taken as
// nothing, so that "7.5" never becomes 75 nor "-5" 5.
QString NumberBoxDigits(QStringView arriving);

// A colour as the settings file keeps it (00BBGGRR).
colornames::ColorValue WindowsColorOf(const QColor& color);
// The value of a colour swatch that shows `shown` and was set from `kept`: `kept` while
// the swatch still shows it, so that a system colour stays one; else the shown colour.
colornames::ColorValue SwatchColorValue(const QColor& shown, colornames::ColorValue kept);

// One control's hint and the mouse events that show or clear it in the status bar.
struct ControlHint {
    const char* name;   // objectName
    const char* hint;   // UTF-8; empty: entering the control clears the status hint
    bool statusOnEnter; // entering shows the hint (or clears it when empty)
    bool clearOnLeave;  // leaving empties the status hint
};

// Every control with a hint or a hint handler, the main window ("Form1") included.
std::span<const ControlHint> ControlHints();
// The entry of a control; nullptr when it has none.
const ControlHint* FindControlHint(QStringView objectName);

} // namespace sidepanel
