#include "platform/PrinterPaper.h"

QPageSize pageSizeForPaperCode(int paperCode) {
    if (paperCode <= 0 || paperCode == kPaperCodeUser)
        return {};
    const QPageSize::PageSizeId id = QPageSize::id(paperCode);
    if (id == QPageSize::Custom)
        return {};
    return QPageSize(id);
}

int paperCodeForPageSize(const QPageSize& size) {
    if (!size.isValid())
        return kPaperCodeUser;
    const int code = size.windowsId();
    return code > 0 ? code : kPaperCodeUser;
}
