#pragma once
// Qt's own texts (the buttons and labels of its file, colour and message dialogs, the edit
// boxes' context menus) in Japanese, whatever language the system is set to.
#include <memory>

class QTranslator;

// Loads Qt's Japanese catalogue and installs it in the running application; it stays in
// use while the returned translator lives. Null when the catalogue is not installed
// (the dialogs then keep Qt's English).
std::unique_ptr<QTranslator> installQtTranslations();
