#pragma once
// Texts the application shell shows. Multi-line messages keep the "\n\r" (LF, CR) line
// separator they have always had; messageForDisplay() turns it into one line break.

namespace apptext {

inline constexpr char kAppTitle[] = "Ledora";
inline constexpr char kMakerLine[] = "作成: Ledora 開発チーム";
// The application icon compiled in (packaging/ledora.png); the desktop entry's name.
inline constexpr char kIconResource[] = ":/icons/ledora.png";
inline constexpr char kDesktopFileName[] = "ledora";

inline constexpr char kErrorCaption[] = "エラー";
inline constexpr char kConfirmCaption[] = "確認";
inline constexpr char kVersionUnreadable[] = "バージョン情報を読み込めませんでした。";

// Exit dialog.
inline constexpr char kExitCaption[] = "終了確認";
inline constexpr char kExitQuestion[] = "終了してもよろしいですか？";
inline constexpr char kExitSave[] = "保存して終了";
inline constexpr char kExitQuit[] = "終了";
inline constexpr char kExitCancel[] = "キャンセル";

// Data file commands.
inline constexpr char kStartupLoadFailed[] =
    "最終編集したデータファイルが読込できませんでした。\n\r新規データファイルを作成します。";
inline constexpr char kLoadFailed[] =
    "データが違うか壊れているか読み込みが出来ません\n\r新規データファイルを作成します。";
inline constexpr char kRecentMissing[] = "ファイルが確認できないので一覧より削除します。";
inline constexpr char kConfirmNew[] =
    "現在開いているデータファイルは保存されません。\n\r(自動的に保存しないため毎回確認します)"
    "\n\r新規データファイル作成しますか？";
inline constexpr char kConfirmOpen[] =
    "現在開いているデータファイルは保存されません。\n\r(自動的に保存しないため毎回確認します)"
    "\n\rデータファイルを開きますか？";
inline constexpr char kCannotCreate[] = "ファイル「%1」を作成できません。%2";
inline constexpr char kDatFilter[] = "datファイル(*.dat)";
inline constexpr char kDatSuffix[] = "dat";
// An earlier version of the data file is open: after the title, and in the status bar.
inline constexpr char kBackupTitle[] = " のバックアップ (%1)";
inline constexpr char kBackupStatus[] = "バックアップを表示中";
// Another PC holds the open data file: after the title.
inline constexpr char kReadOnlyTitle[] = " (読み取り専用)";

} // namespace apptext
