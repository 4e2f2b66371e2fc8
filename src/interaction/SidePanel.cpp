#include "interaction/SidePanel.h"

#include "page/PageModel.h"
#include "platform/Cp932.h"
#include "table/NumberReading.h"

#include <Qt>

#include <algorithm>
#include <cmath>
#include <limits>

namespace sidepanel {

namespace {

qint32 integerOf(QStringView text, qint32 fallback) {
    return ReadInteger(cp932::encode(text.toString()), fallback);
}

// In the panel's order; the record list's controls and the window come last.
constexpr ControlHint kHints[] = {
    {"Button6", "レコード一覧⇔プレビュー編集画面の切り替え", true, true},
    {"B2", "選択タブ中のレコード一覧の先頭を表示します", true, true},
    {"B3", "選択タブ中の選択レコードの前を表示します", true, true},
    {"B4", "選択タブ中の選択レコードの次を表示します", true, true},
    {"B5", "選択タブ中のレコード一覧の最後を表示します", true, true},
    {"B6", "プリンター設定を開きます　用紙の変更など　", true, true},
    {"B1", "印刷します（1枚）確認ウィンドウを表示するようにしています", true, true},
    // The document kind has a pop-up hint only.
    {"RadioGroup1", "印刷する種別を選びます", false, false},
    {"Label8", "送り先の敬称　レコード毎に登録されます", true, true},
    {"Edit6", "送り先の敬称　レコード毎に登録されます", true, true},
    {"Label12", "消費税(%)　レコード毎に登録されます", true, true},
    {"Edit10", "　レコード毎に登録されます", true, true},
    {"Label13", "行間　レコード毎に登録されます", true, true},
    {"Edit11", "行間　レコード毎に登録されます", true, true},
    {"UpDown1", "行間　レコード毎に登録されます", true, true},
    {"Label14", "行数　レコード毎に登録されます", true, true},
    {"Edit12", "行数　レコード毎に登録されます", true, true},
    {"UpDown2", "行数　レコード毎に登録されます", true, true},
    {"Label2", "表示内容の一部の位置を少し調節できます　iniファイルで管理", true, true},
    {"Edit14", "表示内容の一部の位置を少し調節できます　iniファイルで管理", true, true},
    {"UpDown4", "表示内容の一部の位置を少し調節できます　iniファイルで管理", true, true},
    {"UpDown5", "表示内容の一部の位置を少し調節できます　iniファイルで管理", true, true},
    {"Label9", "このソフトによる余白設定（プリンター設定とは別）　iniファイルで管理", true, true},
    {"Edit7", "このソフトによる余白設定（プリンター設定とは別）　iniファイルで管理", true, true},
    {"Label6", "印刷倍率を変更。(編集し辛くなるので範囲のほうを拡大縮小）", true, true},
    {"Edit15", "印刷倍率を変更。(編集し辛くなるので範囲のほうを拡大縮小）", true, true},
    {"UpDown6", "印刷倍率を変更。(編集し辛くなるので範囲のほうを拡大縮小）", true, true},
    {"CheckBox1", "納期日の表示　チェックで表示、印刷されます　iniファイルで管理", true, true},
    {"CheckBox3", "表中の￥記号の表示　チェックで表示、印刷されます　iniファイルで管理", true,
     true},
    {"CheckBox2", "下部の備考表示　チェックで表示、印刷されます　iniファイルで管理", true, true},
    {"Label15", "フォントサイズ設定　－２～２　iniファイルで管理", true, true},
    {"Edit13", "フォントサイズ設定　－２～２　iniファイルで管理", true, true},
    {"UpDown3", "フォントサイズ設定　－２～２　iniファイルで管理", true, true},
    {"ComboBox1", "表示内容に使用するフォント　iniファイルで管理", true, true},
    {"Shape2", "フォントの色を変更　iniファイルで管理", true, true},
    {"Shape1", "ラインの色の変更　iniファイルで管理", true, true},
    {"Label7", "ラインの色の変更　iniファイルで管理", true, true},
    // The record buttons keep their hint when the mouse leaves them.
    {"Button4", "新しいレコードを追加します", true, false},
    {"Button9", "現在表示されているレコードを複製します", true, false},
    {"Button7", "表示されているレコードの内容をクリアーします", true, false},
    {"Button5", "表示されているレコードを削除します", true, false},
    // The record list's controls have no hint: entering them clears the status bar's.
    {"TabControl1", "", true, true},
    {"DBGrid1", "", true, true},
    {"Label16", "", true, true},
    {"Label17", "", true, true},
    {"Label18", "", true, true},
    {"Label19", "", true, true},
    {"Label20", "", true, true},
    {"Label21", "", true, true},
    {"Edit9", "", true, true},
    {"Edit8", "", true, true},
    {"Edit3", "", true, true},
    {"Edit5", "", true, true},
    {"Edit4", "", true, true},
    {"Memo1", "", true, true},
    {"Form1", "", true, false},
};

} // namespace

int RowPitchFromText(QStringView text) {
    return std::clamp<int>(integerOf(text, kDefaultRowPitch), kMinRowPitch, kMaxRowPitch);
}

int RowCountFromText(QStringView text) {
    return std::max<int>(integerOf(text, kDefaultRowCount), kMinRowCount);
}

int TablePositionFromText(QStringView text) {
    return std::min<int>(integerOf(text, kDefaultTablePosition), kMaxTablePosition);
}

int MarginFromText(QStringView text) {
    return std::clamp<int>(integerOf(text, kDefaultMargin), kMinMargin, kMaxMargin);
}

double TaxRateFromText(QStringView text, double currentRate) {
    // A NaN fallback tells "not a number" apart, so the rate is kept exactly, not as
    // rate * 100 / 100.
    const long double percent =
        ReadDecimal(cp932::encode(text.toString()), std::numeric_limits<long double>::quiet_NaN());
    if (std::isnan(percent))
        return currentRate;
    return static_cast<double>(percent / 100);
}

bool NumberBoxAcceptsKey(int key, QStringView text) {
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        break;
    }
    if (text.isEmpty())
        return true;
    return text.size() == 1 && text[0] >= u'0' && text[0] <= u'9';
}

QString NumberBoxDigits(QStringView arriving) {
    QString digits;
    for (const QChar c : arriving.trimmed()) {
        if (c >= u'0' && c <= u'9')
            digits += c;
        else if (c >= u'０' && c <= u'９')
            digits += QChar(char16_t(u'0' + (c.unicode() - u'０')));
        else
            return {};
    }
    return digits;
}

colornames::ColorValue WindowsColorOf(const QColor& color) {
    const QColor rgb = color.toRgb();
    return colornames::ColorValue(rgb.red()) | colornames::ColorValue(rgb.green()) << 8 |
           colornames::ColorValue(rgb.blue()) << 16;
}

colornames::ColorValue SwatchColorValue(const QColor& shown, colornames::ColorValue kept) {
    if (page::ColorFromWindows(kept).rgb() == shown.rgb())
        return kept;
    return WindowsColorOf(shown);
}

std::span<const ControlHint> ControlHints() {
    return kHints;
}

const ControlHint* FindControlHint(QStringView objectName) {
    for (const ControlHint& entry : kHints)
        if (objectName == QLatin1StringView(entry.name))
            return &entry;
    return nullptr;
}

} // namespace sidepanel
