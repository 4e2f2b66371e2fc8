// PDF output: the shown record as a one-page PDF, drawn and confirmed as printing is.
#include "app/TForm1.h"

#include "app/DialogService.h"
#include "page/PageRenderer.h"
#include "page/PrintCommand.h"

#include <QAction>
#include <QButtonGroup>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>

#include <algorithm>

namespace {

constexpr char kPdfFilter[] = "PDFファイル(*.pdf)";
constexpr char kPdfSuffix[] = "pdf";

} // namespace

void TForm1::connectPdfCommand() {
    connect(ui.N16, &QAction::triggered, this, [this] { N16Click(); });
}

void TForm1::N16Click() {
    TakeEditorText();
    ClearRowSelection();
    hideCellEditor();
    const PrintCommandInput input = shownPageForPrinting();

    // Proposed beside the data file; a file never saved has no folder of its own.
    const QString dataFile = shownFileName();
    const QString folder =
        !dataFile.isEmpty() ? QFileInfo(dataFile).absolutePath()
                            : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString proposed =
        pdfDefaultFileName(input.title, recipientWithHonorific(), CDS2.asInteger("num"));

    PrintCommandSeams seams;
    seams.confirm = [this](const QString& message) { return dialogs_->confirm(message); };
    seams.askPdfFileName = [this, folder, proposed] {
        return askSaveFileName(
            *dialogs_,
            {folder, QString::fromUtf8(kPdfFilter), QString::fromLatin1(kPdfSuffix), proposed},
            pdfFileNameWithSuffix);
    };
    const PrintCommandResult result =
        runPdfCommand(*printer_, settings.PaperName, Printing, input, seams);
    if (!result.error.isEmpty())
        dialogs_->error(result.error);
    RepaintPage();
}
