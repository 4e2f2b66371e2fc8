#include "platform/ColorNames.h"

#include "platform/ProfileValue.h"

#include <array>

namespace colornames {
namespace {

struct NamedColor {
    const char* name;
    ColorValue value;
};

constexpr ColorValue sys(unsigned index) {
    return systemColorBase + index;
}

constexpr std::array<NamedColor, 52> namedColors{{
    {"clBlack", 0x00000000},
    {"clMaroon", 0x00000080},
    {"clGreen", 0x00008000},
    {"clOlive", 0x00008080},
    {"clNavy", 0x00800000},
    {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},
    {"clGray", 0x00808080},
    {"clSilver", 0x00C0C0C0},
    {"clRed", 0x000000FF},
    {"clLime", 0x0000FF00},
    {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},
    {"clFuchsia", 0x00FF00FF},
    {"clAqua", 0x00FFFF00},
    {"clWhite", 0x00FFFFFF},
    {"clMoneyGreen", 0x00C0DCC0},
    {"clSkyBlue", 0x00F0CAA6},
    {"clCream", 0x00F0FBFF},
    {"clMedGray", 0x00A4A0A0},
    {"clScrollBar", sys(0)},
    {"clBackground", sys(1)},
    {"clActiveCaption", sys(2)},
    {"clInactiveCaption", sys(3)},
    {"clMenu", sys(4)},
    {"clWindow", sys(5)},
    {"clWindowFrame", sys(6)},
    {"clMenuText", sys(7)},
    {"clWindowText", sys(8)},
    {"clCaptionText", sys(9)},
    {"clActiveBorder", sys(10)},
    {"clInactiveBorder", sys(11)},
    {"clAppWorkSpace", sys(12)},
    {"clHighlight", sys(13)},
    {"clHighlightText", sys(14)},
    {"clBtnFace", sys(15)},
    {"clBtnShadow", sys(16)},
    {"clGrayText", sys(17)},
    {"clBtnText", sys(18)},
    {"clInactiveCaptionText", sys(19)},
    {"clBtnHighlight", sys(20)},
    {"cl3DDkShadow", sys(21)},
    {"cl3DLight", sys(22)},
    {"clInfoText", sys(23)},
    {"clInfoBk", sys(24)},
    {"clHotLight", sys(26)},
    {"clGradientActiveCaption", sys(27)},
    {"clGradientInactiveCaption", sys(28)},
    {"clMenuHighlight", sys(29)},
    {"clMenuBar", sys(30)},
    {"clNone", clNone},
    {"clDefault", clDefault},
}};

} // namespace

std::optional<ColorValue> colorFromName(const QByteArray& name) {
    for (const auto& color : namedColors) {
        if (name.compare(color.name, Qt::CaseInsensitive) == 0) {
            return color.value;
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> nameOfColor(ColorValue value) {
    for (const auto& color : namedColors) {
        if (color.value == value) {
            return QByteArray(color.name);
        }
    }
    return std::nullopt;
}

QByteArray colorToText(ColorValue value) {
    if (auto name = nameOfColor(value)) {
        return *name;
    }
    return '$' + QByteArray::number(value, 16).toUpper().rightJustified(8, '0');
}

std::optional<ColorValue> colorFromText(const QByteArray& text) {
    if (auto value = colorFromName(text)) {
        return value;
    }
    if (auto number = profilevalue::readInteger(text)) {
        return static_cast<ColorValue>(*number);
    }
    return std::nullopt;
}

} // namespace colornames
