#pragma once
// The main window's controls, each under its component name. Built once by
// buildMainWindowUi(); the window wires their events.
#include "app/ColorSwatch.h"
#include "app/PaintBox.h"
#include "app/UpDown.h"

#include <QList>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QTabBar;
class QTableView;
class QWidget;

struct MainWindowUi {
    // Main menu (MainMenu1).
    QMenu* N1 = nullptr; // ファイル
    QAction* N2 = nullptr;
    QAction* N3 = nullptr;
    QMenu* N8 = nullptr;            // recent files, items o1..o5
    QList<QAction*> recent;         // o1..o5
    QAction* NOpenBackup = nullptr; // バックアップから開く
    QAction* NReload = nullptr;     // 再読み込み
    QAction* N5 = nullptr;
    QAction* N6 = nullptr;
    QAction* N14 = nullptr;
    QAction* N15 = nullptr;
    QAction* N16 = nullptr; // PDF output
    QAction* X1 = nullptr;
    QMenu* E1 = nullptr; // 編集
    QAction* ADelete1 = nullptr;
    QAction* AClear1 = nullptr;
    QAction* ADelete2 = nullptr;
    QAction* ADuplicate1 = nullptr;
    QAction* ALineClear1 = nullptr;
    QAction* N21 = nullptr;
    QAction* ALineUp1 = nullptr;
    QAction* AlineDown1 = nullptr;
    QAction* AdefaultLine1 = nullptr;
    QMenu* N10 = nullptr; // 表示
    QAction* N11 = nullptr;
    QAction* N13 = nullptr;
    QAction* N12 = nullptr;
    QMenu* N9 = nullptr; // ヘルプ
    QAction* N22 = nullptr;
    QAction* N23 = nullptr;
    QAction* About1 = nullptr;

    // Side panel.
    QFrame* Panel3 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* RadioGroup1Items = nullptr; // ids 0 見積書, 1 請求書, 2 納品書
    QLineEdit* Edit6 = nullptr;
    QLineEdit* Edit7 = nullptr;
    QLineEdit* Edit10 = nullptr;
    QLineEdit* Edit11 = nullptr;
    QLineEdit* Edit12 = nullptr;
    QLineEdit* Edit13 = nullptr;
    QLineEdit* Edit14 = nullptr;
    QLineEdit* Edit15 = nullptr;
    UpDown* UpDown1 = nullptr;
    UpDown* UpDown2 = nullptr;
    UpDown* UpDown3 = nullptr;
    UpDown* UpDown4 = nullptr;
    UpDown* UpDown5 = nullptr;
    UpDown* UpDown6 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    ColorSwatch* Shape1 = nullptr;
    ColorSwatch* Shape2 = nullptr;
    QPushButton* B1 = nullptr;
    QPushButton* B2 = nullptr;
    QPushButton* B3 = nullptr;
    QPushButton* B4 = nullptr;
    QPushButton* B5 = nullptr;
    QPushButton* B6 = nullptr;
    QPushButton* Button6 = nullptr;

    // Record buttons above the views.
    QPushButton* Button4 = nullptr;
    QPushButton* Button9 = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* Button5 = nullptr;

    // Record list view.
    QWidget* P1 = nullptr;
    QTabBar* TabControl1 = nullptr;
    QLineEdit* SearchBox = nullptr; // 検索, above the grid
    QTableView* DBGrid1 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QLineEdit* Edit9 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

    // Page view.
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* pageArea = nullptr; // the scrolled content holding PB1, Pl2 and the overlays
    PaintBox* PB1 = nullptr;
    QLabel* Pl2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QDateEdit* DateTimePicker1 = nullptr;
    QDateEdit* DateTimePicker2 = nullptr;

    QStatusBar* StatusBar1 = nullptr;
    QList<QLabel*> statusPanels;   // six panels, index 5 shows hints
    QLabel* backupPanel = nullptr; // says that a backup is open
    QLabel* readOnlyPanel = nullptr; // says that another PC holds the open file
};

// Creates every control, menu item and the status bar inside `window`. Actions and event
// handlers are connected by the window itself.
void buildMainWindowUi(QMainWindow* window, MainWindowUi& ui);

// Lays the page area out around PB1: PB1 at (0, 25), the strip Pl2 right under it.
void layoutPageArea(MainWindowUi& ui);

// Widens the drop-down list of `box` to its longest item, so that a list wider than the box
// (the typefaces in the narrow side panel) is not cut.
void fitListToItems(QComboBox* box);
