#include "records/UntouchedHonorifics.h"

void UntouchedHonorifics::forget(std::optional<qint32> num) {
    if (num)
        untouched_.remove(*num);
}

bool UntouchedHonorifics::isUntouched(std::optional<qint32> num) const {
    return num && untouched_.contains(*num);
}
