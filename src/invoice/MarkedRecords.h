#pragma once
// Records that already carry ※ before amounts: a shop may have used the mark for notes,
// and turning the qualified mode on taxes those lines at the reduced rate.
#include <QString>

class Dataset;

namespace invoice {

// The records of the whole file (whatever the view shows; the record in editing as
// edited) with a line of amount other than 0 whose item begins with ※.
int RecordsWithMarkedAmounts(const Dataset& records);

// The message telling how many records now print such lines at the reduced rate.
QString MarkedRecordsNotice(int count, double reducedRate);

} // namespace invoice
